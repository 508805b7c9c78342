// The tree and string kernels against their plain table transcriptions:
// tree kernels of parser-like trees of 20, 50 and 200 nodes, string kernels
// of 20 and 200 tokens with gram lengths 1 to 4.
#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/kernels/StringKernel.h"
#include "core/kernels/TreeKernel.h"
#include "tests/core/KernelReference.h"
#include "tests/core/KernelSamples.h"

namespace {

using kelvor::KernelTree;
using kelvor::KernelTreePtr;
using kelvor::ParseTree;
using kelvor::TokenSeq;

constexpr int kPairs = 16;
constexpr double kTreeLambda = 0.5;
constexpr std::int32_t kTreeDepth = 4;
constexpr double kStringLambda = 0.9;

struct TreePairs {
  std::vector<ParseTree> trees;
  std::vector<KernelTreePtr> kernelTrees;
};

const TreePairs& treePairs(int nodes) {
  static std::map<int, TreePairs> cache;
  TreePairs& p = cache[nodes];
  if (p.trees.empty()) {
    std::mt19937 rng(static_cast<unsigned>(nodes));
    for (int i = 0; i < 2 * kPairs; ++i) {
      p.trees.push_back(kelvor::samples::parseLikeTree(rng, nodes));
      p.kernelTrees.push_back(KernelTree::make(p.trees.back()));
    }
  }
  return p;
}

// Evaluates `kernel` on the pairs (items[0], items[1]), (items[2], items[3]),
// ... in turn.
template <class Items, class Kernel>
void runOnPairs(benchmark::State& state, const Items& items, Kernel kernel) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kernel(items[2 * i], items[2 * i + 1]));
    i = (i + 1) % kPairs;
  }
}

void BM_TreeKernelFast(benchmark::State& state) {
  runOnPairs(state, treePairs(static_cast<int>(state.range(0))).kernelTrees,
             [](const KernelTreePtr& a, const KernelTreePtr& b) {
               return kelvor::treeKernel(kTreeLambda, kTreeDepth, *a, *b);
             });
}

void BM_TreeKernelReference(benchmark::State& state) {
  runOnPairs(state, treePairs(static_cast<int>(state.range(0))).trees,
             [](const ParseTree& a, const ParseTree& b) {
               return kelvor::reference::treeKernel(kTreeLambda, kTreeDepth, a, b);
             });
}

// Building the per-tree precomputation, which happens once per tree read.
void BM_KernelTreeMake(benchmark::State& state) {
  const TreePairs& p = treePairs(static_cast<int>(state.range(0)));
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(KernelTree::make(p.trees[i]));
    i = (i + 1) % (2 * kPairs);
  }
}

BENCHMARK(BM_TreeKernelFast)->Arg(20)->Arg(50)->Arg(200);
BENCHMARK(BM_TreeKernelReference)->Arg(20)->Arg(50)->Arg(200);
BENCHMARK(BM_KernelTreeMake)->Arg(20)->Arg(50)->Arg(200);

struct WordPairs {
  std::vector<std::vector<std::string>> words;
  std::vector<TokenSeq> seqs;
};

// Sentences over a vocabulary of 30 words, so tokens repeat as in text.
const WordPairs& wordPairs(std::size_t length) {
  static std::map<std::size_t, WordPairs> cache;
  WordPairs& p = cache[length];
  if (p.words.empty()) {
    std::mt19937 rng(static_cast<unsigned>(length));
    for (int i = 0; i < 2 * kPairs; ++i) {
      p.words.push_back(kelvor::samples::randomWords(rng, length, 30));
      std::vector<kelvor::TokenId> ids;
      for (const auto& w : p.words.back()) ids.push_back(kelvor::internToken(w));
      p.seqs.emplace_back(std::move(ids));
    }
  }
  return p;
}

void BM_StringKernelFast(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(1));
  runOnPairs(state, wordPairs(static_cast<std::size_t>(state.range(0))).seqs,
             [n](const TokenSeq& a, const TokenSeq& b) {
               return kelvor::stringKernelWith(n, kStringLambda, a, b);
             });
}

void BM_StringKernelReference(benchmark::State& state) {
  const auto n = static_cast<std::int32_t>(state.range(1));
  runOnPairs(state, wordPairs(static_cast<std::size_t>(state.range(0))).words,
             [n](const std::vector<std::string>& a, const std::vector<std::string>& b) {
               return kelvor::reference::stringKernel(n, kStringLambda, a, b);
             });
}

BENCHMARK(BM_StringKernelFast)->ArgsProduct({{20, 200}, {1, 2, 3, 4}});
BENCHMARK(BM_StringKernelReference)->ArgsProduct({{20, 200}, {1, 2, 3, 4}});

}  // namespace

BENCHMARK_MAIN();
