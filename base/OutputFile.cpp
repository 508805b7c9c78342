#include "base/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Fatal.h"

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

}  // namespace

OutputFile OutputFile::create(const std::string& path) {
  return OutputFile(openOrFail(path, O_TRUNC), path);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), buffer_(std::move(other.buffer_)) {
  other.fd_ = -1;
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

void OutputFile::failWith(const char* what, int err) const {
  fail("Error " + std::string(what) + " " + path_ + ": " + std::strerror(err));
}

void OutputFile::write(std::string_view text) {
  buffer_ += text;
  if (buffer_.size() >= kBufferLimit) flush();
}

void OutputFile::flush() {
  if (fd_ < 0) failWith("writing", EBADF);
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      buffer_.clear();
      failWith("writing", err);
    }
    done += static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

void OutputFile::sync() {
  flush();
  if (::fsync(fd_) != 0 && errno != EINVAL) failWith("syncing", errno);
}

void OutputFile::close() {
  flush();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) failWith("closing", errno);
}

}  // namespace kelvor
