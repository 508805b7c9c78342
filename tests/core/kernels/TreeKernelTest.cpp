// The tree kernel: worked values, agreement bit for bit with the plain
// table transcription, numbering and productions, and deep trees.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>

#include "base/Fatal.h"
#include "core/kernels/KernelParams.h"
#include "core/kernels/TreeKernel.h"
#include "core/kernels/TreeNodes.h"
#include "tests/core/KernelReference.h"
#include "tests/core/KernelSamples.h"
#include "tests/trees/TreeBuilders.h"
#include "trees/TreePrinter.h"

namespace kelvor {
namespace {

using testing::leaf;
using testing::node;
using testing::UTree;

const UTree A = node("NP", {leaf("DT", "a"), leaf("NN", "b")});
const UTree B = node("NP", {leaf("NN", "a"), leaf("NN", "b")});
UTree sentence(const char* verbTag, const char* verb) {
  return node("S", {node("NP", {leaf("NN", "x")}), node("VP", {leaf(verbTag, verb)})});
}
const UTree C = sentence("VB", "y");

double kernel(double lambda, std::int32_t maxd, const UTree& t1, const UTree& t2) {
  return treeKernel(lambda, maxd, *KernelTree::make(t1), *KernelTree::make(t2));
}

std::string failureOf(double lambda, std::int32_t maxd, const UTree& t1, const UTree& t2,
                      bool useReference) {
  try {
    if (useReference)
      reference::treeKernel(lambda, maxd, t1, t2);
    else
      kernel(lambda, maxd, t1, t2);
  } catch (const FatalError& e) {
    return e.what();
  }
  return "";
}

TEST(TreeKernel, WorkedValues) {
  struct Case {
    UTree t1, t2;
    double lambda;
    std::int32_t maxd;
    double expected;
  };
  const UTree dog = leaf("NN", "dog"), cat = leaf("NN", "cat");
  const std::vector<Case> cases{{A, A, 0.5, 2, 2.125},
                                {A, A, 0.5, 4, 2.125},
                                {A, A, 0.5, 1, 1.5},
                                {A, A, 0.5, 0, 0.0},
                                {A, A, 0.5, -3, 0.0},
                                {B, B, 0.5, 2, 4.53125},
                                {B, B, 0.5, 1, 2.5},
                                {C, C, 0.5, 3, 4.03125},
                                {C, C, 0.5, 2, 3.625},
                                {C, C, 0.5, 1, 2.5},
                                {C, C, 1.0, 4, 15.0},
                                {A, B, 0.5, 4, 1.0},
                                {C, C, 0.0, 4, 0.0},
                                {dog, cat, 0.5, 7, 0.5},
                                {C, sentence("VB", "z"), 0.5, 4, 4.03125},
                                {C, sentence("VBD", "z"), 0.5, 4, 2.125}};
  for (const Case& c : cases) {
    EXPECT_EQ(kernel(c.lambda, c.maxd, c.t1, c.t2), c.expected) << c.maxd;
    EXPECT_EQ(kernel(c.lambda, c.maxd, c.t2, c.t1), c.expected) << c.maxd;
  }
  // Any annotation, ignored.
  auto [next, numbered] = numberTreeNodes(1, C);
  EXPECT_EQ(treeKernel(0.5, 3, numbered, numberTreeNodes(40, C).second), 4.03125);
}

TEST(TreeKernel, MatchesTheTableBitForBit) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> lambdas{0.5, 1.0, 0.0, -0.0, -0.5, -2.0, 3.0, 1e200, -1e200, inf, nan};
  const std::vector<std::int32_t> depths{-1, 0, 1, 2, 3, 4, 6, 9};
  std::mt19937 rng(77);
  for (int round = 0; round < 4000; ++round) {
    // Every tenth pair may hold childless inner nodes, which meet leaves of
    // the same tag.
    const bool childless = round % 10 == 0;
    const UTree t1 = samples::randomTree(rng, 1 + static_cast<int>(rng() % 8), childless);
    const UTree t2 =
        round % 7 == 0 ? t1 : samples::randomTree(rng, 1 + static_cast<int>(rng() % 8), childless);
    const double lambda = lambdas[rng() % lambdas.size()];
    const std::int32_t maxd = depths[rng() % depths.size()];
    const std::string slowFailure = failureOf(lambda, maxd, t1, t2, true);
    if (!slowFailure.empty()) {
      EXPECT_NE(
          failureOf(lambda, maxd, t1, t2, false).find("Non-exhaustive patterns in function calcC"),
          std::string::npos);
      continue;
    }
    const double fast = kernel(lambda, maxd, t1, t2);
    const double slow = reference::treeKernel(lambda, maxd, t1, t2);
    ASSERT_TRUE(samples::sameBits(fast, slow))
        << "round " << round << " lambda=" << lambda << " maxd=" << maxd << " fast=" << fast
        << " slow=" << slow;
  }
}

TEST(TreeKernel, LeafMeetingChildlessInnerNode) {
  const UTree word = node("S", {leaf("X", "w")});
  const UTree empty = node("S", {NonTerm<Unit>("X", {}, Unit{})});
  EXPECT_EQ(kernel(0.5, 1, word, empty), 1.0);  // depth 1 never looks below the pair
  EXPECT_EQ(failureOf(0.5, 2, word, empty, false),
            "Kelvor: Non-exhaustive patterns in function calcC");
  EXPECT_EQ(failureOf(0.5, 2, empty, empty, false), "");
  EXPECT_THROW(reference::add({}, {}), FatalError);
}

TEST(TreeKernel, NumberingAndProductions) {
  auto [next, numbered] = numberTreeNodes(5, C);
  EXPECT_EQ(next, 10);
  const auto& kids = numbered.treeChildren();
  EXPECT_EQ((std::vector<std::int32_t>{numbered.treeAnn(), kids[0].treeAnn(),
                                       kids[0].treeChildren()[0].treeAnn(), kids[1].treeAnn(),
                                       kids[1].treeChildren()[0].treeAnn()}),
            (std::vector<std::int32_t>{5, 6, 7, 8, 9}));
  EXPECT_EQ(numbered.treeChildren()[1].treeChildren()[0].treeText(), "y");

  EXPECT_EQ(treeProduction(B), (reference::Production{"NP", {"NN", "NN"}}));
  EXPECT_EQ(treeProduction(leaf("NN", "dog")), (reference::Production{"NN", {}}));
}

TEST(TreeKernel, KernelFormGivesTheTreeBack) {
  // Texts of every length (a leaf text of 300 bytes needs a two-byte
  // length), empty tags and texts, childless inner nodes, shared subtrees.
  const UTree shared = leaf("NN", "x");
  const UTree trees[] = {
      A,
      C,
      leaf("", ""),
      leaf("W", std::string(300, 'w') + "\n\"(\\"),
      node("", {}),
      node("S", {node("NP", {}), leaf("NP", "a"), shared, shared}),
      testing::deepChain(5000, ""),
  };
  for (const UTree& t : trees) EXPECT_TRUE(KernelTree::make(t)->tree() == t);
  // Read straight from text, as examples read their trees.
  const auto read = KernelTree::read("  (S (NP (DT the) (NN \"big dog\")) (VP (VBZ barks)))) rest");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(showTree((*read)->tree()),
            "(S (NP (DT \"the\") (NN \"big dog\")) (VP (VBZ \"barks\")))");
  EXPECT_FALSE(KernelTree::read("(S (NN x)").has_value());
}

TEST(TreeKernel, DeepTreesNeedNoRecursion) {
  const UTree deep = testing::deepChain(1000000);
  EXPECT_EQ(numberTreeNodes(1, deep).first, 1000002);
  const KernelTreePtr big = KernelTree::make(deep);
  EXPECT_EQ(big->shape().size(), 1000001);
  EXPECT_EQ(big->shape().maxHeight(), 1000000);
  // Only the bottom (A (X y)) and its leaf match: 0.5 * 1.5 + 0.5.
  EXPECT_EQ(treeKernel(0.5, 4, *big, *KernelTree::make(testing::deepChain(1))), 1.25);
}

TreeFeature feature(const UTree& t) {
  KernelTreePtr k = KernelTree::make(t);
  const double self = selfTreeKernel(*k);
  return TreeFeature{1, std::move(k), self};
}

bool normalisedValuesHold() {
  tmaxdRef().store(4);
  const bool ab = normalizedTreeKernel(feature(A), feature(B)) == 0.3222637978043043;
  const bool same = normalizedTreeKernel(feature(C), feature(sentence("VB", "z"))) == 1.0;
  tmaxdRef().store(0);  // too late: the depth is fixed
  const bool fixed = selfTreeKernel(*KernelTree::make(B)) == 4.53125;
  return ab && same && fixed;
}

// The tree parameters are process-wide and fixed at first use, so this runs
// in a fresh process with the defaults (lambda 0.5, depth 4).
TEST(TreeKernelDeathTest, NormalisedWithDefaultParameters) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(normalisedValuesHold() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kelvor
