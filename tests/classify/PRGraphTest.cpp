#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <ranges>

#include "base/NumberText.h"
#include "classify/PRGraph.h"

namespace kelvor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The graph as its definition reads: per threshold, one prediction per
// value and counts over the paired labels and predictions. The sort puts
// NaN last and equal NaNs count as one threshold.
std::string literalGraph(const std::vector<double>& values,
                         const std::vector<std::int8_t>& labels) {
  std::vector<double> sorted = values;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); });
  std::vector<double> thresholds;
  for (double v : sorted)
    if (thresholds.empty() ||
        !(thresholds.back() == v || (std::isnan(v) && std::isnan(thresholds.back()))))
      thresholds.push_back(v);
  std::string out;
  for (double t : thresholds) {
    std::vector<std::pair<int, int>> pairs;
    for (std::size_t i = 0; i < std::min(values.size(), labels.size()); ++i)
      pairs.push_back({labels[i], values[i] > t ? 1 : -1});
    auto count = [&](int label, int prediction) {
      return countAsDouble(pairs | std::views::filter([&](const std::pair<int, int>& p) {
                             return p.first == label && p.second == prediction;
                           }));
    };
    const double tp = count(1, 1);
    if (tp == 0) {
      out += "0.0 0.0\n";
      continue;
    }
    const double fn = count(1, -1), fp = count(-1, 1);
    out += showDouble(tp / (tp + fn)) + " " + showDouble(tp / (tp + fp)) + "\n";
  }
  return out;
}

std::string fastGraph(const std::vector<double>& values, const std::vector<std::int8_t>& labels) {
  std::string out;
  emitPRGraph(values, labels, [&](std::string_view line) { out += line; });
  return out;
}

TEST(PRGraph, Cases) {
  struct Case {
    std::vector<double> values;
    std::vector<std::int8_t> labels;
    std::string graph;
  };
  const std::vector<double> twenty(20, 1.0);
  std::vector<double> oneOfTwenty = twenty;
  oneOfTwenty[0] = 2.0;
  const Case cases[] = {
      {{0.9, 0.4, 0.4, -0.3}, {1, -1, 1, -1}, "1.0 0.6666666666666666\n0.5 1.0\n0.0 0.0\n"},
      {{0.5, 0.5, 0.5}, {1, -1, 1}, "0.0 0.0\n"},
      {{3.0, 1.0, 2.0}, {-1, -1, -1}, "0.0 0.0\n0.0 0.0\n0.0 0.0\n"},
      {{}, {}, ""},
      // Twenty positives, one above the lowest threshold: recall 1/20.
      {oneOfTwenty, std::vector<std::int8_t>(20, 1), "5.0e-2 1.0\n0.0 0.0\n"},
      // NaN is never above a threshold, and all NaNs make one last line.
      {{kNaN, 1.0, kNaN, 0.0}, {1, 1, 1, -1}, "0.3333333333333333 1.0\n0.0 0.0\n0.0 0.0\n"},
      // -0.0 and 0.0 are one threshold; infinity is an ordinary one.
      {{-0.0, 0.0, INFINITY}, {1, -1, 1}, "0.5 1.0\n0.0 0.0\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fastGraph(c.values, c.labels), c.graph);
    EXPECT_EQ(literalGraph(c.values, c.labels), c.graph);
  }
}

TEST(PRGraph, OneSweepMatchesThePerThresholdPasses) {
  std::mt19937_64 rng(7);
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = rng() % 60;
    // Few distinct values, so ties are common; now and then a NaN.
    const int spread = 1 + static_cast<int>(rng() % 12);
    std::vector<double> values(n);
    std::vector<std::int8_t> labels(n);
    for (std::size_t i = 0; i < n; ++i) {
      const int k = static_cast<int>(rng() % (spread + 1));
      values[i] = k == spread && rng() % 3 == 0 ? kNaN : (k - spread / 2) * 0.25;
      labels[i] = rng() % 2 ? 1 : -1;
    }
    ASSERT_EQ(fastGraph(values, labels), literalGraph(values, labels)) << "round " << round;
  }
}

}  // namespace
}  // namespace kelvor
