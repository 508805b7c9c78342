// The indexing passes of the on-disk collections: the byte offset of every
// example line and the highest feature number, without parsing the lines.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/InputFile.h"

namespace kelvor {

// Where an example line of one of several files begins. The file is owned
// by the collection that holds the entry; no file marks a slot the
// recording pass never reached.
struct ExampleLocation {
  InputFile* file = nullptr;
  std::int64_t offset = 0;
};

// Every reader of example files reads a file twice (a counting or
// indexing pass, then the examples), so an example file must be able to
// seek back. A pipe, a FIFO or a terminal cannot: the program stops with
// "<file>: cannot seek: example files must be regular files" before
// anything of it is read.
void requireSeekable(const InputFile& file);

// Adds one example line to a count, stopping the program before the count
// leaves the range of an Int.
void countExampleLine(std::int32_t& count, const InputFile& file);

// Raises `highest` to the line's highest feature number, the one reading
// the line into memory finds; a line without any feature word leaves it
// alone.
void raiseToLineFeatureNumber(std::int32_t& highest, std::string_view line);

// Appends the offsets of the example lines from the file's current position
// to its end, in file order, and raises `highest` over them.
void scanExampleHandle(std::int32_t& highest, InputFile& file, std::vector<std::int64_t>& offsets);

// The example lines of all files from their current positions on, added to
// `count`. Writes "." to standard error for every line read, the read that
// meets the end of each file included, while the count stands at a
// multiple of 10000.
std::int32_t countExampleLines(const std::vector<std::shared_ptr<InputFile>>& files,
                               std::int32_t count);

// Stores the location of every example line of the files, in list order
// and file order, from entry written + 1 on (an entry past the end stops
// the program), and raises `highest` over them. Writes "." to standard
// error before the 1st, 10001st, ... entry.
void scanExampleHandles(std::vector<ExampleLocation>& entries, std::int32_t written,
                        std::int32_t& highest,
                        const std::vector<std::shared_ptr<InputFile>>& files);

}  // namespace kelvor
