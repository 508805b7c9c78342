#include "core/train/RankingPairs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "base/Console.h"
#include "base/Fatal.h"
#include "base/NumberText.h"

namespace kelvor {

namespace {

constexpr std::int64_t kMostPairs = std::numeric_limits<std::int32_t>::max();

// Writes the pairs of one query run (its targets in index order, the first
// with index `first`) in pair order, from position `found` on, and gives the
// number found so far. The margin test runs without branches, as equal
// targets make it unpredictable: every candidate is written and the position
// advances past kept ones only, so the arrays hold one spare slot, and
// writes never go past it even if the count were wrong.
std::size_t fillRunPairs(std::span<const double> run, double margin, std::int32_t first,
                         std::span<std::int32_t> low, std::span<std::int32_t> high,
                         std::size_t found) {
  const std::size_t spare = low.size() - 1;
  for (std::size_t later = run.size(); later-- > 1;) {
    const double a = run[later];
    const double aPlusMargin = a + margin;
    const std::int32_t laterIndex = first + static_cast<std::int32_t>(later);
    for (std::size_t earlier = later; earlier-- > 0;) {
      const double b = run[earlier];
      // The greater target beyond the smaller plus the margin; equal
      // targets, or a NaN, fail every comparison.
      const bool kept = ((b > a) & (b > aPlusMargin)) | ((a > b) & (a > b + margin));
      const std::size_t at = std::min(found, spare);
      low[at] = laterIndex;
      high[at] = first + static_cast<std::int32_t>(earlier);
      found += kept;
    }
  }
  return found;
}

void markEvery10000(std::int32_t i) {
  if (i % 10000 == 0) printErr(".");
}

// The first pass: every target, and where each query run starts (0-based).
struct Runs {
  std::vector<double> targets;
  std::vector<std::int32_t> starts;

  std::span<const double> run(std::size_t r) const {
    const std::size_t begin = static_cast<std::size_t>(starts[r]);
    const std::size_t end =
        r + 1 < starts.size() ? static_cast<std::size_t>(starts[r + 1]) : targets.size();
    return std::span<const double>(targets).subspan(begin, end - begin);
  }
};

// The number of pairs of one run, without testing every candidate: with the
// targets sorted, the smaller target s of a pair takes every target above
// both s and s + margin (computed as the margin test computes it), so each
// s needs one binary search. A NaN target pairs with nothing, and a NaN
// s + margin fails every comparison.
std::int64_t countRunPairs(std::span<const double> run, double margin,
                           std::vector<double>& sorted) {
  sorted.clear();
  for (double t : run)
    if (!std::isnan(t)) sorted.push_back(t);
  std::sort(sorted.begin(), sorted.end());
  std::int64_t count = 0;
  for (double s : sorted) {
    const double shifted = s + margin;
    if (std::isnan(shifted)) continue;
    const double above = std::max(s, shifted);
    count += sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), above);
  }
  return count;
}

}  // namespace

std::shared_ptr<const LowMemRankingCollection> makeLowMemRankingCollection(double margin,
                                                                           Examples examples) {
  const std::int32_t n = examples.collectionSize();
  Runs runs;
  runs.targets.reserve(static_cast<std::size_t>(std::max(n, 0)));
  std::vector<double> scratch;
  std::int64_t count = 0;
  auto closeRun = [&](std::int32_t lastExample) {
    count += countRunPairs(runs.run(runs.starts.size() - 1), margin, scratch);
    if (count > kMostPairs)
      fail("Ranking: the query runs up to example " + showInt(lastExample) + " form " +
           showInt(count) + " pairs, more than a collection can hold (" + showInt(kMostPairs) +
           ")");
  };
  std::int32_t qid = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    markEvery10000(i);
    const Element e = examples.at(i);
    const std::int32_t q = e.example->ex_qid();
    if (i == 1 || q != qid) {
      if (i > 1) closeRun(i - 1);
      runs.starts.push_back(i - 1);
      qid = q;
    }
    runs.targets.push_back(e.value);
  }
  if (n > 0) closeRun(n);

  std::vector<std::int32_t> low(static_cast<std::size_t>(count) + 1);
  std::vector<std::int32_t> high(static_cast<std::size_t>(count) + 1);
  printErr("/");
  std::size_t found = 0;
  std::size_t r = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    markEvery10000(i);
    // A run is filled once its last example has gone by.
    const bool runEnds = r + 1 < runs.starts.size() ? runs.starts[r + 1] == i : i == n;
    if (!runEnds) continue;
    found = fillRunPairs(runs.run(r), margin, runs.starts[r] + 1, low, high, found);
    ++r;
  }
  if (found != static_cast<std::size_t>(count))
    fail("Ranking: internal error: the pairs found differ from the pairs counted");
  low.pop_back();
  high.pop_back();
  return std::make_shared<const LowMemRankingCollection>(
      std::move(examples), static_cast<std::int32_t>(count), Array<std::int32_t>(std::move(low)),
      Array<std::int32_t>(std::move(high)));
}

std::shared_ptr<const HighMemRankingCollection> makeHighMemRankingCollection(
    std::shared_ptr<const LowMemRankingCollection> pairs) {
  return std::make_shared<const HighMemRankingCollection>(std::move(pairs));
}

}  // namespace kelvor
