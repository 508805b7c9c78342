// Generated example files for the reading benchmarks, written to /tmp at
// run time: sparse real features with ascending indices, and optionally
// string and tree features.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "base/OutputFile.h"

namespace kelvor::bench {

struct ExampleFileShape {
  std::int32_t lines;
  int realFeatures;
  bool stringsAndTrees;
  std::uint32_t seed = 20240611;
  int maxGap = 40;  // between neighbouring indices; 1 gives indices 1..realFeatures
  // Targets by a hidden rule (the sign of the features' values at odd
  // indices less those at even ones), one in twenty flipped, so that the
  // data can be learnt as real data can; otherwise drawn at random.
  bool ruleTargets = false;
};

// Gives the rule's score of the features written.
inline double appendRealFeatures(std::string& out, std::mt19937& rng, int n, int maxGap) {
  std::uniform_int_distribution<int> gap(1, maxGap), coin(0, 1), digits(1, 99);
  int index = 0;
  double score = 0.0;
  for (int i = 0; i < n; ++i) {
    index += gap(rng);
    out += ' ';
    out += std::to_string(index);
    out += ':';
    double value = 1.0;
    if (coin(rng) == 0) {
      out += '1';
    } else {
      const std::string fraction = "0." + std::to_string(digits(rng));
      out += fraction;
      value = std::stod(fraction);
    }
    score += index % 2 == 1 ? value : -value;
  }
  return score;
}

inline void appendStringsAndTrees(std::string& out, std::mt19937& rng) {
  static constexpr std::string_view kWords[] = {"the", "dog", "barks", "at",   "a",
                                                "cat", "big", "tree",  "runs", "quickly"};
  std::uniform_int_distribution<int> word(0, 9);
  for (int s = 1; s <= 2; ++s) {
    out += " string:" + std::to_string(s) + ":";
    for (int t = 0; t < 5; ++t) {
      if (t > 0) out += '#';
      out += kWords[word(rng)];
      out += std::to_string(word(rng) * 100 + word(rng));
    }
  }
  // A small sentence tree, blanks written as "#".
  out += " tree:1:(S#(NP#(DT#";
  out += kWords[word(rng)];
  out += ")#(NN#";
  out += kWords[word(rng)];
  out += "))#(VP#(VBZ#";
  out += kWords[word(rng)];
  out += ")#(PP#(IN#at)#(NP#(DT#a)#(NN#";
  out += kWords[word(rng)];
  out += ")))))";
}

// Writes the file and gives its size in bytes.
inline std::int64_t writeExampleFile(const std::string& path, const ExampleFileShape& shape) {
  std::mt19937 rng(shape.seed);
  std::uniform_int_distribution<int> sign(0, 1), percent(0, 99);
  OutputFile file = OutputFile::create(path);
  std::int64_t size = 0;
  std::string line, features;
  for (std::int32_t i = 0; i < shape.lines; ++i) {
    if (shape.ruleTargets) {
      features.clear();
      const bool positive = appendRealFeatures(features, rng, shape.realFeatures, shape.maxGap) > 0;
      line = positive != (percent(rng) < 5) ? "1" : "-1";
      line += features;
    } else {
      line = sign(rng) == 0 ? "1" : "-1";
      appendRealFeatures(line, rng, shape.realFeatures, shape.maxGap);
    }
    if (shape.stringsAndTrees) appendStringsAndTrees(line, rng);
    line += '\n';
    size += static_cast<std::int64_t>(line.size());
    file.write(line);
  }
  file.close();
  return size;
}

inline constexpr ExampleFileShape kRealFile{1'000'000, 30, false};
inline constexpr ExampleFileShape kMixedFile{200'000, 20, true};

}  // namespace kelvor::bench
