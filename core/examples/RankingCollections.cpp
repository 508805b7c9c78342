#include "core/examples/RankingCollections.h"

#include <algorithm>

#include "base/Fatal.h"

namespace kelvor {

Array<RealFeature> mergeL(std::span<const RealFeature> a, std::span<const RealFeature> b) {
  std::vector<RealFeature> out;
  out.reserve(a.size() + b.size());
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].index == b[j].index) {
      out.push_back({a[i].index, a[i].value - b[j].value});
      ++i;
      ++j;
    } else if (a[i].index < b[j].index) {
      out.push_back(a[i++]);
    } else {
      out.push_back({b[j].index, -b[j].value});
      ++j;
    }
  }
  for (; i < a.size(); ++i) out.push_back(a[i]);
  for (; j < b.size(); ++j) out.push_back({b[j].index, -b[j].value});
  return Array<RealFeature>(std::move(out));
}

Element rankingPairExample(const LowMemRankingCollection& c, std::int32_t i) {
  const std::int32_t lo = c.lmr_low_index.at(i);
  const std::int32_t hi = c.lmr_high_index.at(i);
  const Element later = c.lmr_original.at(lo);
  const Element earlier = c.lmr_original.at(hi);
  ExamplePtr pair = mkExampleQID(
      mergeL(later.example->vectorReal().elems(), earlier.example->vectorReal().elems()), 0);
  return {std::move(pair), later.value > earlier.value ? -1.0 : 1.0};
}

Element LowMemRankingCollection::at(std::int32_t i) const { return rankingPairExample(*this, i); }

HighMemRankingCollection::HighMemRankingCollection(
    std::shared_ptr<const LowMemRankingCollection> lmr)
    : hmr_lmr(std::move(lmr)) {}

Element HighMemRankingCollection::at(std::int32_t i) const {
  if (hmr_examples_.empty() && hmr_lmr->lmr_size > 0)
    hmr_examples_.resize(static_cast<std::size_t>(hmr_lmr->lmr_size));
  if (i < 1 || i > static_cast<std::int32_t>(hmr_examples_.size()))
    failIndex(i, 1, static_cast<std::int64_t>(hmr_examples_.size()));
  auto& slot = hmr_examples_[static_cast<std::size_t>(i - 1)];
  if (!slot) slot = hmr_lmr->at(i);
  return *slot;
}

}  // namespace kelvor
