// A file in memory with a path, for feeding fuzz inputs to the readers that
// take file names, without touching the disk.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace kelvor::fuzz {

class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("kelvor-fuzz", MFD_CLOEXEC)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() { ::close(fd_); }

  // Replaces the contents; the path then reads them from the start.
  const std::string& holding(std::string_view contents) {
    if (::ftruncate(fd_, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < contents.size()) {
      const ssize_t n =
          ::pwrite(fd_, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
      if (n <= 0) std::abort();
      done += static_cast<std::size_t>(n);
    }
    return path_;
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace kelvor::fuzz
