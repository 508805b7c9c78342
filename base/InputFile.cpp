#include "base/InputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Fatal.h"

namespace kelvor {

namespace {

// Sequential passes read large blocks. A lookup by offset usually wants one
// short line, so after a jump the blocks start small and grow while the
// reading goes on from there.
constexpr std::size_t kMaxBlock = 1 << 17;
constexpr std::size_t kFirstBlockAfterSeek = 1 << 12;

}  // namespace

InputFile InputFile::open(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) fail(path + ": cannot open for reading: " + std::strerror(errno));
  return InputFile(fd, path);
}

InputFile InputFile::standardInput() {
  static bool taken = false;
  if (taken) fail("stdin: standard input has already been read");
  taken = true;
  return InputFile(STDIN_FILENO, "stdin", /*owned=*/false);
}

InputFile::InputFile(int fd, std::string path, bool owned)
    : fd_(fd),
      owned_(owned),
      path_(std::move(path)),
      buffer_(std::make_unique<char[]>(kMaxBlock)),
      readSize_(kMaxBlock) {}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(other.fd_),
      owned_(other.owned_),
      path_(std::move(other.path_)),
      buffer_(std::move(other.buffer_)),
      pos_(other.pos_),
      end_(other.end_),
      bufferStart_(other.bufferStart_),
      readSize_(other.readSize_),
      lineEnded_(other.lineEnded_) {
  other.fd_ = -1;
}

InputFile::~InputFile() {
  if (fd_ >= 0 && owned_) ::close(fd_);
}

void InputFile::failWith(const char* what, int err) const {
  fail("Error " + std::string(what) + " " + path_ + ": " + std::strerror(err));
}

bool InputFile::refill() {
  bufferStart_ += static_cast<std::int64_t>(end_);
  pos_ = end_ = 0;
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.get(), readSize_);
  } while (n < 0 && errno == EINTR);
  if (n < 0) failWith("reading", errno);
  end_ = static_cast<std::size_t>(n);
  readSize_ = std::min(readSize_ * 2, kMaxBlock);
  return n > 0;
}

bool InputFile::readLine(std::string& line) {
  line.clear();
  bool any = false;
  while (true) {
    if (pos_ == end_ && !refill()) {
      if (any) lineEnded_ = false;
      return any;
    }
    any = true;
    const char* start = buffer_.get() + pos_;
    const std::size_t avail = end_ - pos_;
    const char* feed = static_cast<const char*>(std::memchr(start, '\n', avail));
    if (feed != nullptr) {
      const auto length = static_cast<std::size_t>(feed - start);
      line.append(start, length);
      pos_ += length + 1;
      lineEnded_ = true;
      return true;
    }
    line.append(start, avail);
    pos_ = end_;
  }
}

void InputFile::readLineOrFail(std::string& line) {
  if (!readLine(line)) fail("Error reading " + path_ + ": unexpected end of file");
}

std::int64_t InputFile::lineNumberAt(std::int64_t offset) {
  seek(0);
  std::int64_t line = 1;
  while (tell() < offset) {
    if (pos_ == end_ && !refill()) break;
    const char* start = buffer_.get() + pos_;
    const auto take =
        static_cast<std::size_t>(std::min<std::int64_t>(end_ - pos_, offset - tell()));
    line += std::count(start, start + take, '\n');
    pos_ += take;
  }
  return line;
}

bool InputFile::canSeek() const { return ::lseek(fd_, 0, SEEK_CUR) >= 0; }

void InputFile::seek(std::int64_t offset) {
  // A position inside the buffered block needs no system call: walks over
  // consecutive lines stay in the block they have read.
  if (offset >= bufferStart_ && offset <= bufferStart_ + static_cast<std::int64_t>(end_)) {
    pos_ = static_cast<std::size_t>(offset - bufferStart_);
    return;
  }
  if (offset < 0) failWith("seeking", EINVAL);
  if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) failWith("seeking", errno);
  bufferStart_ = offset;
  pos_ = end_ = 0;
  readSize_ = kFirstBlockAfterSeek;
}

}  // namespace kelvor
