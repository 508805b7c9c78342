#include "base/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/Fatal.h"

namespace kelvor {

namespace {

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// mkstemp in the target's directory, so that the final rename stays within
// one file system and is atomic.
std::pair<std::string, int> makeTemporary(const std::string& target) {
  std::string name = directoryOf(target) + "/." + baseNameOf(target) + ".tmp.XXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  const int fd = ::mkstemp(buf.data());
  if (fd < 0) fail(target + ": cannot create a temporary file beside it: " + std::strerror(errno));
  // mkstemp creates the file private; give it the mode a plain creation
  // would have.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  return {std::string(buf.data()), fd};
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target)
    : ReplacementFile(makeTemporary(target), target) {}

ReplacementFile::ReplacementFile(std::pair<std::string, int> temporary, std::string target)
    : target_(std::move(target)),
      temporary_(std::move(temporary.first)),
      file_(OutputFile::adopt(temporary.second, temporary_)) {}

ReplacementFile::~ReplacementFile() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void ReplacementFile::commit() {
  file_.sync();
  file_.close();
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
    fail(target_ + ": cannot replace the file: " + std::strerror(errno));
  committed_ = true;
  // Make the rename itself durable; a failure here loses nothing written.
  const int dir = ::open(directoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace kelvor
