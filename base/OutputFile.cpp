#include "base/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Fatal.h"
#include "base/FileIdentity.h"

namespace kelvor {

namespace {

constexpr std::size_t kBufferLimit = 1 << 16;

int openOrFail(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) fail(path + ": cannot open for writing: " + std::strerror(errno));
  return fd;
}

[[noreturn]] void failWriting(const char* what, const std::string& name, int err) {
  fail("Error " + std::string(what) + " " + name + ": " + std::strerror(err));
}

}  // namespace

void writeFully(int fd, std::string_view text, const std::string& name) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failWriting("writing", name, errno);
    }
    done += static_cast<std::size_t>(n);
  }
}

OutputFile OutputFile::create(const std::string& path) {
  if (const std::optional<int> stream = standardStreamOf(path))
    return OutputFile(*stream, path, /*owned=*/false);
  return OutputFile(openOrFail(path, O_TRUNC), path);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(other.fd_),
      owned_(other.owned_),
      path_(std::move(other.path_)),
      buffer_(std::move(other.buffer_)) {
  other.fd_ = -1;
}

OutputFile::~OutputFile() {
  if (fd_ >= 0 && owned_) ::close(fd_);
}

void OutputFile::failWith(const char* what, int err) const { failWriting(what, path_, err); }

void OutputFile::write(std::string_view text) {
  buffer_ += text;
  if (buffer_.size() >= kBufferLimit) flush();
}

void OutputFile::flush() {
  if (fd_ < 0) failWith("writing", EBADF);
  try {
    writeFully(fd_, buffer_, path_);
  } catch (...) {
    buffer_.clear();  // what failed is not tried again
    throw;
  }
  buffer_.clear();
}

void OutputFile::sync() {
  flush();
  // A pipe, a terminal or a device has nothing to force to storage.
  if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) failWith("syncing", errno);
}

void OutputFile::close() {
  flush();
  const int fd = fd_;
  fd_ = -1;
  if (owned_ && ::close(fd) != 0 && errno != EINTR) failWith("closing", errno);
}

}  // namespace kelvor
