// Sends standard output and standard error to a sink while it lives: the
// progress marks would flood a benchmark's report.
#pragma once

#include <iostream>
#include <sstream>

namespace kelvor::bench {

class QuietStreams {
 public:
  QuietStreams()
      : oldOut_(std::cout.rdbuf(sink_.rdbuf())), oldErr_(std::cerr.rdbuf(sink_.rdbuf())) {}
  ~QuietStreams() {
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
  }
  QuietStreams(const QuietStreams&) = delete;
  QuietStreams& operator=(const QuietStreams&) = delete;

 private:
  std::ostringstream sink_;
  std::streambuf* oldOut_;
  std::streambuf* oldErr_;
};

}  // namespace kelvor::bench
