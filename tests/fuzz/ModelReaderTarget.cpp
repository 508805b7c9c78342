// The model reader on any file.
#include <string>

#include "core/model/ModelFile.h"
#include "core/model/RecordShow.h"
#include "tests/core/KernelCellGuard.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/MemoryFile.h"

namespace kelvor::fuzz {

void fuzzModelReader(std::string_view input) {
  static MemoryFile file;
  // The next input starts from the default cells (the read-once readers
  // stay as the first model of the process fixed them).
  testing::KernelCellGuard cells;
  endsNormally([&] {
    const Model m =
        readModel([](KernelType, double stored) { return stored; }, file.holding(input));
    showModel(m);
  });
}

}  // namespace kelvor::fuzz
