// The three kinds of features an example carries.
#pragma once

#include <cstdint>
#include <memory>

#include "core/examples/Token.h"
#include "trees/AnnTree.h"

namespace kelvor {

using ParseTree = AnnTree<Unit>;

// A parse tree together with what the tree kernel precomputes for it once
// (see core/TreeKernel.h).
class KernelTree;
using KernelTreePtr = std::shared_ptr<const KernelTree>;

struct RealFeature {
  std::int32_t index;
  double value;
};

struct StringFeature {
  std::int32_t number;
  TokenSeq tokens;
};

struct TreeFeature {
  std::int32_t number;
  KernelTreePtr tree;
  double selfKernel;
};

}  // namespace kelvor
