// A file that replaces its target only when it is complete: it is written
// as a temporary file beside the target and renamed over it at commit().
// Until then, and whenever writing fails, the target keeps its old content;
// a temporary file that was not committed is removed.
//
// What the target is decides how it is written:
// - a symbolic link is followed, and the file it reaches is replaced; the
//   link stays a link;
// - a regular file that is replaced keeps its permission bits, and its
//   owner and group; where the process may not give the new file that
//   owner and group, the file is written in place instead, so that its
//   content never goes to another group;
// - standard output or error (base/FileIdentity.h) is written through
//   its descriptor, as OutputFile::create does;
// - anything else that exists (a device such as /dev/null, a FIFO) is
//   opened and written in place, as a plain creation would;
// - where no temporary file can be made beside the target (a directory
//   the process may not write, a path at its length limit), the target is
//   truncated and written in place rather than the run failing there.
// Every write failure names the target, never the temporary file.
#pragma once

#include <string>
#include <string_view>

#include "base/OutputFile.h"

namespace kelvor {

// How an output file is going to be written: replaced when complete
// (ReplacementFile), or created and written in place (OutputFile::create).
enum class WriteMode { Replaced, InPlace };

// Stops the program when `path` cannot be written the way `mode` says, so
// that a run finds out before its work rather than after it: "The <role>
// <path> cannot be written: <reason>". A file that exists must open for
// writing; a file to be created (or, replaced, a regular file) needs a
// directory in which a file can be made, and a replaced file one whose
// owner and group the new file can take. Nothing that exists is changed.
void requireWritable(const std::string& path, std::string_view role, WriteMode mode);

class ReplacementFile {
 public:
  explicit ReplacementFile(std::string target);
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile();

  void write(std::string_view text) { file_.write(text); }
  // For writers that take an OutputFile; they write and flush it, and leave
  // closing it to commit().
  OutputFile& output() { return file_; }
  // Flushes, forces the data to the device, and renames over the target
  // (or, written in place, closes it).
  void commit();

 private:
  // Whether the file is written as a temporary file that replaces the
  // target (else in place).
  bool replaces() const { return !temporary_.empty(); }

  struct Opened;
  // Decides, by what the target is, between a temporary file and the
  // target itself, and opens it.
  static Opened open(const std::string& target);
  explicit ReplacementFile(Opened opened);

  std::string target_;     // as named, for messages
  std::string final_;      // the file the name reaches, links followed
  std::string temporary_;  // empty when written in place
  OutputFile file_;
  bool committed_ = false;
};

}  // namespace kelvor
