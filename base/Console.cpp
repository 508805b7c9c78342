#include "base/Console.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "base/Fatal.h"
#include "base/OutputFile.h"

namespace kelvor {

namespace {

const std::string kStandardOutput = "standard output";

// Whether the last text written to standard error ended mid-line.
bool errMidLine = false;

}  // namespace

void printOut(std::string_view text) { writeFully(STDOUT_FILENO, text, kStandardOutput); }

void printErr(std::string_view text) {
  std::cerr << text << std::flush;
  if (!text.empty()) errMidLine = text.back() != '\n';
}

void printWarning(std::string_view text) {
  std::string line = errMidLine ? "\nWarning: " : "Warning: ";
  line.append(text);
  line += '\n';
  printErr(line);
}

void finishStandardOutput() {
  errno = 0;
  std::cout.flush();
  const bool lost = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
  if (!lost) return;
  const int err = errno;
  fail("Error writing " + kStandardOutput +
       (err != 0 ? ": " + std::string(std::strerror(err)) : ""));
}

}  // namespace kelvor
