// A FIFO in the test directory with a thread at its other end, for a
// program under test that opens the FIFO by its name.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "TempFile.h"

namespace kelvor::testing {

class FifoPeer {
 public:
  enum class Program { Reads, Writes };

  // `peer` runs on the thread with the other end open: for reading when the
  // program writes, for writing when it reads. The peer may meet a closed
  // end; SIGPIPE is ignored in this process, so that it gets an error.
  FifoPeer(const std::string& name, Program program, std::function<void(int fd)> peer)
      : path_(testDir() + name), program_(program) {
    std::signal(SIGPIPE, SIG_IGN);
    std::filesystem::remove(path_);
    if (::mkfifo(path_.c_str(), 0600) != 0) ADD_FAILURE() << "cannot make the FIFO " << path_;
    thread_ = std::thread([this, peer = std::move(peer)] {
      const int fd = ::open(path_.c_str(), program_ == Program::Writes ? O_RDONLY : O_WRONLY);
      if (fd < 0) return;
      peer(fd);
      ::close(fd);
    });
  }
  FifoPeer(const FifoPeer&) = delete;
  FifoPeer& operator=(const FifoPeer&) = delete;

  // Frees a peer still waiting for a program that never opened the FIFO,
  // then waits for it.
  ~FifoPeer() {
    const int unblock =
        ::open(path_.c_str(), (program_ == Program::Writes ? O_WRONLY : O_RDONLY) | O_NONBLOCK);
    if (unblock >= 0) ::close(unblock);
    thread_.join();
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  Program program_;
  std::thread thread_;
};

// Everything readable from the descriptor until the other end closes.
inline std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

}  // namespace kelvor::testing
