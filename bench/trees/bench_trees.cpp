// Throughput of reading parser output: 100,000 trees of 20 to 60 nodes, each
// led by its score line.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "base/NumberText.h"
#include "trees/ParseFile.h"
#include "trees/TreePrinter.h"

namespace {

using kelvor::parseFile;

class TreeTextGenerator {
 public:
  explicit TreeTextGenerator(unsigned seed) : rng_(seed) {}

  // One tree of exactly `nodes` nodes, in the bracketed form a parser writes.
  void appendTree(std::string& out, int nodes) {
    if (nodes == 1) {
      out += '(';
      out += pick(kLeafTags);
      out += ' ';
      out += pick(kWords);
      out += ')';
      return;
    }
    out += '(';
    out += pick(kPhraseTags);
    // Split the nodes below this one among one to three children.
    int rest = nodes - 1;
    const int children = std::min(rest, 1 + uniform(3));
    for (int i = children; i > 0; --i) {
      const int share = i == 1 ? rest : 1 + uniform(rest - i + 1);
      rest -= share;
      out += ' ';
      appendTree(out, share);
    }
    out += ')';
  }

  std::string parserOutput(int trees) {
    std::string out;
    for (int i = 0; i < trees; ++i) {
      out += "SProb = ";
      kelvor::appendDouble(out, -std::uniform_real_distribution<double>(1.0, 300.0)(rng_));
      out += '\n';
      appendTree(out, 20 + uniform(41));
      out += '\n';
    }
    return out;
  }

 private:
  static constexpr std::string_view kPhraseTags[] = {"S", "NP", "VP", "PP", "SBAR", "ADJP", "S1"};
  static constexpr std::string_view kLeafTags[] = {"DT", "NN", "NNS", "VBZ", "IN", "JJ", ",", "."};
  static constexpr std::string_view kWords[] = {"the",  "dog",     "barks", "at",   "a",
                                                "cat",  "quickly", "big",   "tree", "''",
                                                "with", "of",      "house", "runs", "parser"};

  int uniform(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  template <std::size_t N>
  std::string_view pick(const std::string_view (&xs)[N]) {
    return xs[static_cast<std::size_t>(uniform(static_cast<int>(N)))];
  }

  std::mt19937 rng_;
};

const std::string& parserOutputText() {
  static const std::string text = TreeTextGenerator(42).parserOutput(100'000);
  return text;
}

// Reading alone: the results are dropped with the clock stopped.
void BM_ParseFile(benchmark::State& state) {
  const std::string& text = parserOutputText();
  for (auto _ : state) {
    auto results = parseFile("bench", text);
    benchmark::DoNotOptimize(results.data());
    state.PauseTiming();
    results = {};
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseFile)->Unit(benchmark::kMillisecond);

// Reading and dropping the trees again.
void BM_ParseFileAndDrop(benchmark::State& state) {
  const std::string& text = parserOutputText();
  for (auto _ : state) {
    auto results = parseFile("bench", text);
    benchmark::DoNotOptimize(results.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseFileAndDrop)->Unit(benchmark::kMillisecond);

// Printing back, into one buffer that keeps its capacity between rounds.
void BM_ShowTree(benchmark::State& state) {
  const auto results = parseFile("bench", parserOutputText());
  std::string out;
  std::size_t bytes = 0;
  for (auto _ : state) {
    out.clear();
    for (const auto& r : results) {
      kelvor::showTree(out, r.scoredTree().tree);
      out += '\n';
    }
    bytes += out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ShowTree)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
