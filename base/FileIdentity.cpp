#include "base/FileIdentity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "base/Fatal.h"

namespace kelvor {

namespace {

// As the kernel follows links before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

// Whether `path` is a symbolic link; if so, `target` receives its text.
bool readLink(const std::string& path, std::string& target) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
  while (true) {
    const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) < buf.size()) {
      target.assign(buf.data(), static_cast<std::size_t>(n));
      return true;
    }
    buf.resize(buf.size() * 2);  // the link grew since lstat
  }
}

// The name with "." and ".." resolved and the links of its existing part
// followed, for comparing names of files that do not exist.
std::string normalName(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return std::filesystem::path(path).lexically_normal().string();
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
  return (error ? absolute.lexically_normal() : canonical).string();
}

}  // namespace

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string finalPath(const std::string& path) {
  std::string current = path;
  std::string target;
  for (int i = 0; i < kMaxLinks && readLink(current, target) && !target.empty(); ++i)
    current = target.front() == '/' ? target : directoryOf(current) + "/" + target;
  return current;
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  const bool aExists = ::stat(a.c_str(), &sa) == 0;
  const bool bExists = ::stat(b.c_str(), &sb) == 0;
  if (aExists && bExists)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino && !S_ISCHR(sa.st_mode);
  if (aExists || bExists) return false;
  return normalName(finalPath(a)) == normalName(finalPath(b));
}

std::optional<int> standardStreamOf(const std::string& path) {
  struct stat target;
  if (::stat(path.c_str(), &target) != 0) return std::nullopt;
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_dev == target.st_dev && st.st_ino == target.st_ino)
      return fd;
  }
  return std::nullopt;
}

void refuseToOverwrite(const std::string& written, std::string_view role, const std::string& other,
                       std::string_view otherRole) {
  if (!standardStreamOf(written) && sameFile(written, other))
    fail("The " + std::string(role) + " " + written + " is the " + std::string(otherRole) + " " +
         other + "; writing it would destroy that file");
}

}  // namespace kelvor
