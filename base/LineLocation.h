// Where in an input file a failure arose. A failure raised while a line of
// a file is read or converted keeps its own message and gains one last line
// that names the file and the 1-based line number:
//
//   <message>
//   at <path>:<line>
//
// so that editors and terminals can jump to the place. Every reader of line-based
// input files reports through these helpers, so the form is the same
// everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/InputFile.h"

namespace kelvor {

// "at <path>:<line>"
std::string locationLine(std::string_view path, std::int64_t line);

// The message with the location line appended.
std::string withLocation(std::string message, std::string_view path, std::int64_t line);

// A line of a file, for failures raised long after the line was read.
struct FileLine {
  std::string path;
  std::int64_t line;
};

// Only inside a catch block: stops the program with the failure being
// handled (a FatalError, or an exhausted resource, see failureMessage in
// base/Fatal.h) and the location line appended. A failure that already
// names its line (a value of one line converted while another is read)
// keeps its own, the more precise one.
[[noreturn]] void rethrowAtLine(std::string_view path, std::int64_t line);

// Runs body; a failure that escapes it names the line.
template <class Body>
decltype(auto) atLine(std::string_view path, std::int64_t line, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    rethrowAtLine(path, line);
  }
}

template <class Body>
decltype(auto) atLine(const FileLine& where, Body&& body) {
  return atLine(where.path, where.line, std::forward<Body>(body));
}

// As rethrowAtLine, for a line known by the byte offset at which it begins
// in an open file: the line number is worked out (by reading the file up to
// the offset) only when a failure needs it.
[[noreturn]] void rethrowAtOffset(InputFile& file, std::int64_t offset);

template <class Body>
decltype(auto) atOffset(InputFile& file, std::int64_t offset, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    rethrowAtOffset(file, offset);
  }
}

}  // namespace kelvor
