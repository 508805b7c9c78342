#include "core/train/RankingPairs.h"

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

// Symmetric in a and b; a NaN fails every comparison and so never pairs.
bool formsPair(double a, double b, double margin) {
  if (b > a) return b > a + margin;
  if (a > b) return a > b + margin;
  return false;
}

// The targets of one query run in index order; calls kept(later, earlier)
// with 0-based positions in the run, in pair order, and stops early when
// kept returns false.
template <class Kept>
void forEachPair(std::span<const double> run, double margin, Kept&& kept) {
  for (std::size_t later = run.size(); later-- > 1;)
    for (std::size_t earlier = later; earlier-- > 0;)
      if (formsPair(run[later], run[earlier], margin) && !kept(later, earlier)) return;
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

std::int64_t countPairs(std::span<const double> run, double margin, std::int64_t before,
                        std::int32_t lastExample) {
  std::int64_t count = before;
  forEachPair(run, margin, [&](std::size_t, std::size_t) { return ++count <= kMostPairs; });
  if (count > kMostPairs)
    fail("Ranking: the query runs up to example " + showInt(lastExample) + " form more than " +
         showInt(kMostPairs) + " pairs, the most a collection can hold");
  return count;
}

}  // namespace

std::shared_ptr<const LowMemRankingCollection> makeLowMemRankingCollection(double margin,
                                                                           Examples examples) {
  const std::int32_t n = examples.collectionSize();
  Runs runs;
  runs.targets.reserve(static_cast<std::size_t>(std::max(n, 0)));
  std::int64_t count = 0;
  std::int32_t qid = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    markEvery10000(i);
    const Element e = examples.at(i);
    const std::int32_t q = e.example->ex_qid();
    if (i == 1 || q != qid) {
      if (i > 1) count = countPairs(runs.run(runs.starts.size() - 1), margin, count, i - 1);
      runs.starts.push_back(i - 1);
      qid = q;
    }
    runs.targets.push_back(e.value);
  }
  if (n > 0) count = countPairs(runs.run(runs.starts.size() - 1), margin, count, n);

  std::vector<std::int32_t> low(static_cast<std::size_t>(count), 0);
  std::vector<std::int32_t> high(static_cast<std::size_t>(count), 0);
  printErr("/");
  std::size_t next = 0;
  std::size_t r = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    markEvery10000(i);
    // Fill a run once its last example has gone by.
    const bool runEnds = r + 1 < runs.starts.size() ? runs.starts[r + 1] == i : i == n;
    if (!runEnds) continue;
    const std::int32_t first = runs.starts[r] + 1;  // 1-based index of position 0
    forEachPair(runs.run(r), margin, [&](std::size_t later, std::size_t earlier) {
      low[next] = first + static_cast<std::int32_t>(later);
      high[next] = first + static_cast<std::int32_t>(earlier);
      ++next;
      return true;
    });
    ++r;
  }
  return std::make_shared<const LowMemRankingCollection>(
      std::move(examples), static_cast<std::int32_t>(count), Array<std::int32_t>(std::move(low)),
      Array<std::int32_t>(std::move(high)));
}

std::shared_ptr<const HighMemRankingCollection> makeHighMemRankingCollection(
    std::shared_ptr<const LowMemRankingCollection> pairs) {
  return std::make_shared<const HighMemRankingCollection>(std::move(pairs));
}

}  // namespace kelvor
