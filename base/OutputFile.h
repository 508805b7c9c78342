// A file written through checked system calls: every write, flush and close
// that fails (a full disk, a lost device) stops the program naming the
// file, so a failed run never reports success.
#pragma once

#include <string>
#include <string_view>

namespace kelvor {

// Writes all of `text` to the open descriptor, through short writes and
// interruptions. A failure stops the program: "Error writing <name>:
// <reason>".
void writeFully(int fd, std::string_view text, const std::string& name);

class OutputFile {
 public:
  // Creates or truncates the file; failure to open is fatal. A path that
  // reaches standard output or error (base/FileIdentity.h) is written
  // through that descriptor instead, which is neither truncated nor closed.
  static OutputFile create(const std::string& path);
  // Takes over an open descriptor.
  static OutputFile adopt(int fd, std::string path) { return OutputFile(fd, std::move(path)); }

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  OutputFile(const OutputFile&) = delete;
  ~OutputFile();  // closes without reporting; call close() to check

  // Buffered; the buffer goes to the operating system at flush().
  void write(std::string_view text);
  void flush();
  // Flushes and forces the data to the storage device.
  void sync();
  void close();

  const std::string& path() const { return path_; }

 private:
  OutputFile(int fd, std::string path, bool owned = true)
      : fd_(fd), owned_(owned), path_(std::move(path)) {}
  [[noreturn]] void failWith(const char* what, int err) const;

  int fd_;
  bool owned_;  // closed by close() and the destructor
  std::string path_;
  std::string buffer_;
};

}  // namespace kelvor
