// Reading one iteration of a lagrangian dump back, for a restart. A dump is
// a sequence of blocks: a line "Iteration <t>", one line "<index> <value>"
// per lagrangian, and an empty line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/InputFile.h"
#include "core/train/InitialLagrangian.h"

namespace kelvor {

// Prints "Reading lagrangians from <path>", finds the block of the
// iteration and gives its records ordered by index. The indices must name
// examples 1 to `examples` (the training set the restart trains on), each
// once, and no value may be NaN, which training would carry into every
// decision value. The file is closed on every path. A failure about a line
// of the file names it in a last line of its own, "at <path>:<line>".
std::vector<InitialLagrangian> readLagrangians(const std::string& path, std::int32_t iteration,
                                               std::int32_t examples);

// The records from the file's position up to the empty line that closes
// the block, in file order; a block that the end of the file cuts short is
// refused. `lineNumber` is the number of the last line read before them
// and is advanced over the lines read. The whole block is read before any
// record is parsed.
std::vector<InitialLagrangian> readLagrangianRecords(InputFile& file, std::int64_t& lineNumber,
                                                     std::int32_t examples);

}  // namespace kelvor
