// A file read through checked system calls, line by line, with byte
// positions for seeking back to a line. Every read error stops the program
// naming the file: a failed read is never taken for the end of the file, so
// a damaged disk cannot silently shorten a data set.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kelvor {

class InputFile {
 public:
  // Opens for reading in binary form (no translation of line ends); a file
  // that cannot be opened stops the program with the system's reason.
  static InputFile open(const std::string& path);
  // Standard input, named "stdin" in failures. It is taken at most once in
  // a process, as a whole: a second taking stops the program rather than
  // giving the nothing that is left. It is never closed.
  static InputFile standardInput();

  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&&) = delete;
  InputFile(const InputFile&) = delete;
  ~InputFile();

  // The next line, without its line feed, into `line` (whose capacity is
  // reused, so a steady loop does not allocate). A carriage return before
  // the line feed stays. A last line without a line feed is a line. False
  // at the end of the file, with `line` empty.
  bool readLine(std::string& line);
  // Whether the last line readLine gave ended with a line feed: false only
  // for a last line without one (and before any line is read).
  bool lineEnded() const { return lineEnded_; }
  // As readLine, but the end of the file is an error: for reading a line
  // that an earlier pass has seen.
  void readLineOrFail(std::string& line);

  // The byte offset of the next unread byte.
  std::int64_t tell() const { return bufferStart_ + static_cast<std::int64_t>(pos_); }
  // Moves to a byte offset counted from the start of the file.
  void seek(std::int64_t offset);
  // Whether seek can work: false for a pipe, a FIFO or a terminal, whose
  // bytes are gone once read.
  bool canSeek() const;

  // The 1-based number of the line that begins at a byte offset: one more
  // than the line feeds before it. Reads the file from its start, so it is
  // for reporting a failure, not for every line; moves the read position.
  std::int64_t lineNumberAt(std::int64_t offset);

  const std::string& path() const { return path_; }

 private:
  InputFile(int fd, std::string path, bool owned = true);
  // Reads the next block after the buffered bytes; false at the end.
  bool refill();
  [[noreturn]] void failWith(const char* what, int err) const;

  int fd_;
  bool owned_;  // closed by the destructor
  std::string path_;
  std::unique_ptr<char[]> buffer_;
  std::size_t pos_ = 0;           // next unread byte in buffer_
  std::size_t end_ = 0;           // bytes held in buffer_
  std::int64_t bufferStart_ = 0;  // file offset of buffer_[0]
  std::size_t readSize_;          // size of the next block read
  bool lineEnded_ = false;        // see lineEnded()
};

}  // namespace kelvor
