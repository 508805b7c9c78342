#include "learn/TransformSVS.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/Fatal.h"
#include "core/examples/Collections.h"

namespace kelvor {

namespace {

// A pair holds the difference of its examples' real features alone, so
// that is all training saw of them: string and tree features written into
// the model would add kernel terms to every decision value that the
// training never weighed.
ExamplePtr realFeaturesOnly(ExamplePtr x) {
  if (x->vectorString().empty() && x->vectorTree().empty()) return x;
  return mkExampleQID(x->vectorReal(), x->ex_qid());
}

}  // namespace

Examples transformSVS(const LowMemRankingCollection& pairs, const ExampleCollection& supportVectors,
                      std::span<const std::int32_t> pairNumbers) {
  const std::int32_t count = supportVectors.collectionSize();
  if (static_cast<std::size_t>(std::max(count, 0)) != pairNumbers.size())
    fail("Internal error: " + std::to_string(pairNumbers.size()) + " pair numbers for " +
         std::to_string(count) + " support vectors");
  const std::int32_t n = pairs.lmr_original.collectionSize();
  std::vector<double> sums(static_cast<std::size_t>(std::max(n, 0)), 0.0);
  // The slot of an example number, checked like every array access.
  auto slot = [&](std::int32_t k) -> double& {
    if (k < 1 || k > n) failIndex(k, 1, n);
    return sums[static_cast<std::size_t>(k - 1)];
  };
  for (std::int32_t k = 1; k <= count; ++k) {
    const double c = supportVectors.at(k).value;
    const std::int32_t p = pairNumbers[static_cast<std::size_t>(k - 1)];
    slot(pairs.lmr_low_index.at(p)) += -c;
    slot(pairs.lmr_high_index.at(p)) += c;
  }
  std::vector<Element> kept;
  kept.reserve(static_cast<std::size_t>(
      std::count_if(sums.begin(), sums.end(), [](double v) { return v != 0.0; })));
  for (std::int32_t k = 1; k <= n; ++k) {
    const double v = sums[static_cast<std::size_t>(k - 1)];
    if (v != 0.0) kept.push_back({realFeaturesOnly(pairs.lmr_original.at(k).example), v});
  }
  return Examples(std::make_shared<const ArrayCollection>(
      Array<Element>(std::move(kept)), "transformed value not filled in properly"));
}

}  // namespace kelvor
