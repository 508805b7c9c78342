// Standard output swallowed for a scope: the progress output of the code
// under measurement would flood the benchmark's report.
#pragma once

#include <iostream>
#include <sstream>

namespace kelvor::bench {

class QuietStdout {
 public:
  QuietStdout() : old_(std::cout.rdbuf(sink_.rdbuf())) {}
  ~QuietStdout() { std::cout.rdbuf(old_); }
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;

 private:
  std::ostringstream sink_;
  std::streambuf* old_;
};

}  // namespace kelvor::bench
