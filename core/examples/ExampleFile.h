// Reading a whole example file into memory: every example line parsed and
// completed at once, in an array sized by a first counting pass.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "base/InputFile.h"
#include "core/examples/ExampleCollection.h"

namespace kelvor {

struct LineTally {
  std::int64_t allLines;
  std::int32_t exampleLines;
};

// Counts the lines from the file's current position to its end, and the
// example lines among them (a line of blanks is one).
LineTally tallyExampleLines(InputFile& file);

// The examples of the file in line order, each with the bias feature (0,
// bias), and the highest of the last real index, last string number and
// last tree number of every example. Writes a "." to standard output before
// the line read while the number of the next example is a multiple of 1000.
std::pair<Examples, std::int32_t> readExampleFile(const std::string& path, double bias);
// The same for a file already open, read from its start.
std::pair<Examples, std::int32_t> readExampleFile(InputFile& file, double bias);

}  // namespace kelvor
