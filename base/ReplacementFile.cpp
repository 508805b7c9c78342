#include "base/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/Fatal.h"
#include "base/FileIdentity.h"

namespace kelvor {

struct ReplacementFile::Opened {
  std::string target;
  std::string final;
  std::string temporary;
  OutputFile file;
};

namespace {

// A short name, so that a target whose own name is near the length limit
// still has room beside it.
constexpr std::string_view kTemporaryName = "/.kelvor-XXXXXX";

// mkstemp in the directory of the file to replace, so that the final
// rename stays within one file system and is atomic; -1 when no file can
// be made there.
int makeTemporary(const std::string& final, std::string& name) {
  std::string pattern = directoryOf(final);
  pattern += kTemporaryName;
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  const int fd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd >= 0) name = buf.data();
  return fd;
}

// Gives the temporary file what the replaced file had: its owner and group
// (first, since a change of owner clears set-id bits), then its permission
// bits; a new file gets the bits a plain creation would. False when the
// owner and group cannot be given.
bool takeOver(int fd, const struct stat* old) {
  if (old == nullptr) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return ::fchmod(fd, 0666 & ~mask) == 0;
  }
  return ::fchown(fd, old->st_uid, old->st_gid) == 0 && ::fchmod(fd, old->st_mode & 07777) == 0;
}

// Whether a temporary file beside `final` can be made and given what the
// replaced file has (`old`, or what a new file gets); sets errno when not.
bool canReplaceBeside(const std::string& final, const struct stat* old) {
  std::string temporary;
  const int fd = makeTemporary(final, temporary);
  if (fd < 0) return false;
  const bool given = takeOver(fd, old);
  const int err = errno;
  ::close(fd);
  ::unlink(temporary.c_str());
  errno = err;
  return given;
}

// Opening for writing changes nothing without O_TRUNC. A FIFO is not
// opened: its reader would take the close for the end of the data.
bool opensForWriting(const std::string& final, const struct stat& st) {
  if (S_ISFIFO(st.st_mode)) return ::faccessat(AT_FDCWD, final.c_str(), W_OK, AT_EACCESS) == 0;
  const int fd = ::open(final.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace

void requireWritable(const std::string& path, std::string_view role, WriteMode mode) {
  // Written through the open descriptor: a failure shows when writing.
  if (standardStreamOf(path)) return;
  const std::string final = finalPath(path);
  struct stat st;
  bool writable;
  if (::stat(final.c_str(), &st) != 0)
    writable = canReplaceBeside(final, nullptr);
  else  // a file that cannot be replaced is written in place
    writable =
        (mode == WriteMode::Replaced && S_ISREG(st.st_mode) && canReplaceBeside(final, &st)) ||
        opensForWriting(final, st);
  if (!writable)
    fail("The " + std::string(role) + " " + path + " cannot be written: " + std::strerror(errno));
}

ReplacementFile::Opened ReplacementFile::open(const std::string& target) {
  std::string final = finalPath(target);
  struct stat st;
  const bool exists = ::stat(final.c_str(), &st) == 0;
  // Standard output or error is written through, never replaced.
  if (!standardStreamOf(target) && (!exists || S_ISREG(st.st_mode))) {
    std::string temporary;
    const int fd = makeTemporary(final, temporary);
    if (fd >= 0) {
      if (takeOver(fd, exists ? &st : nullptr))
        return Opened{target, std::move(final), std::move(temporary),
                      OutputFile::adopt(fd, target)};
      ::close(fd);
      ::unlink(temporary.c_str());
    }
  }
  OutputFile inPlace = OutputFile::create(target);
  return Opened{target, std::move(final), "", std::move(inPlace)};
}

ReplacementFile::ReplacementFile(std::string target) : ReplacementFile(open(target)) {}

ReplacementFile::ReplacementFile(Opened opened)
    : target_(std::move(opened.target)),
      final_(std::move(opened.final)),
      temporary_(std::move(opened.temporary)),
      file_(std::move(opened.file)) {}

ReplacementFile::~ReplacementFile() {
  if (!committed_ && replaces()) ::unlink(temporary_.c_str());
}

void ReplacementFile::commit() {
  file_.sync();
  file_.close();
  if (!replaces()) {
    committed_ = true;
    return;
  }
  if (std::rename(temporary_.c_str(), final_.c_str()) != 0)
    fail(target_ + ": cannot replace the file: " + std::strerror(errno));
  committed_ = true;
  // Make the rename itself durable; a failure here loses nothing written.
  const int dir = ::open(directoryOf(final_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace kelvor
