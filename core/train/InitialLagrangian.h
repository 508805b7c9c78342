// A restart value for training, as read back from a lagrangian dump.
#pragma once

#include <cstdint>

namespace kelvor {

struct InitialLagrangian {
  std::int32_t index;  // from 1
  double value;
};

}  // namespace kelvor
