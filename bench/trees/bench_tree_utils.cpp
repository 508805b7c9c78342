// The tree utilities over 10,000 parse-like trees of 20 to 60 nodes: counts,
// numbering with spans, printing with spans, and a tree file read through
// withTree against parseFile on the whole text.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "trees/DTree.h"
#include "trees/ParseFile.h"
#include "trees/TreePrinter.h"
#include "trees/TreeQueries.h"
#include "trees/WithTree.h"

namespace {

using kelvor::AnnTree;
using kelvor::DTree;
using kelvor::Unit;
using UTree = AnnTree<Unit>;

constexpr int kTrees = 10'000;

// A tree of exactly `nodes` nodes, its children splitting the rest.
UTree randomTree(std::mt19937& rng, int nodes) {
  auto uniform = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  if (nodes == 1) return kelvor::Term("NN", "w" + std::to_string(uniform(1000)), Unit{});
  int rest = nodes - 1;
  const int children = std::min(rest, 1 + uniform(3));
  std::vector<UTree> kids;
  for (int i = children; i > 0; --i) {
    const int share = i == 1 ? rest : 1 + uniform(rest - i + 1);
    rest -= share;
    kids.push_back(randomTree(rng, share));
  }
  return kelvor::NonTerm("NP", std::move(kids), Unit{});
}

const std::vector<UTree>& trees() {
  static const std::vector<UTree> all = [] {
    std::mt19937 rng(7);
    std::vector<UTree> out;
    for (int i = 0; i < kTrees; ++i)
      out.push_back(randomTree(rng, 20 + std::uniform_int_distribution<int>(0, 40)(rng)));
    return out;
  }();
  return all;
}

const std::vector<DTree>& numbered() {
  static const std::vector<DTree> all = [] {
    std::vector<DTree> plain;
    for (const UTree& t : trees()) plain.push_back(kelvor::mkDTree(t));
    return kelvor::numberTrees(0, plain).second;
  }();
  return all;
}

const std::string& treeFile() {
  static const std::string path = [] {
    std::string text;
    for (const UTree& t : trees()) {
      text += "SProb = -12.5\n";
      kelvor::showTree(text, t);
      text += '\n';
    }
    const std::string p = "/tmp/kelvor_bench_tree_utils.trees";
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }();
  return path;
}

void BM_TreeSize(benchmark::State& state) {
  trees();
  for (auto _ : state) {
    std::int64_t n = 0;
    for (const UTree& t : trees()) n += kelvor::treeSize(t);
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations() * kTrees);
}
BENCHMARK(BM_TreeSize)->Unit(benchmark::kMillisecond);

void BM_MkDTreeAndNumber(benchmark::State& state) {
  trees();
  for (auto _ : state) {
    std::int64_t next = 0;
    for (const UTree& t : trees()) {
      auto [after, d] = kelvor::numberTree(0, kelvor::mkDTree(t));
      next += after;
      benchmark::DoNotOptimize(d);
    }
    benchmark::DoNotOptimize(next);
  }
  state.SetItemsProcessed(state.iterations() * kTrees);
}
BENCHMARK(BM_MkDTreeAndNumber)->Unit(benchmark::kMillisecond);

void BM_ShowDTreeWithSpans(benchmark::State& state) {
  const kelvor::DynamicPrinter printer = kelvor::rangeDShow();
  numbered();
  std::string out;
  for (auto _ : state) {
    out.clear();
    for (const DTree& t : numbered()) kelvor::showDTreeWith(out, printer, t);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kTrees);
}
BENCHMARK(BM_ShowDTreeWithSpans)->Unit(benchmark::kMillisecond);

void BM_WithTree(benchmark::State& state) {
  treeFile();
  for (auto _ : state) {
    std::int64_t leaves = 0;
    kelvor::withTree(treeFile(), [&](const kelvor::TreeResult& r) {
      leaves += kelvor::numLeaves(r.scoredTree().tree);
    });
    benchmark::DoNotOptimize(leaves);
  }
  state.SetItemsProcessed(state.iterations() * kTrees);
}
BENCHMARK(BM_WithTree)->Unit(benchmark::kMillisecond);

// The same file read whole and parsed at once, for comparison.
void BM_ParseWholeFile(benchmark::State& state) {
  treeFile();
  for (auto _ : state) {
    std::ifstream in(treeFile(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::int64_t leaves = 0;
    for (const kelvor::TreeResult& r : kelvor::parseFile(treeFile(), text))
      leaves += kelvor::numLeaves(r.scoredTree().tree);
    benchmark::DoNotOptimize(leaves);
  }
  state.SetItemsProcessed(state.iterations() * kTrees);
}
BENCHMARK(BM_ParseWholeFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
