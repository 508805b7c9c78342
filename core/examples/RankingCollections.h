// The preference-pair collections of ranking: pair k stands for two
// examples of one query run, the later (lmr_low_index) and the earlier
// (lmr_high_index); its example is the difference of their real vectors.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Array.h"
#include "core/examples/ExampleCollection.h"

namespace kelvor {

// Builds every pair example again at each access; stores two ints a pair.
class LowMemRankingCollection final : public ExampleCollection {
 public:
  LowMemRankingCollection(Examples lmr_original, std::int32_t lmr_size,
                          Array<std::int32_t> lmr_low_index, Array<std::int32_t> lmr_high_index)
      : lmr_original(std::move(lmr_original)),
        lmr_size(lmr_size),
        lmr_low_index(std::move(lmr_low_index)),
        lmr_high_index(std::move(lmr_high_index)) {}

  Element at(std::int32_t i) const override;  // rankingPairExample
  std::int32_t collectionSize() const override { return lmr_size; }

  const Examples lmr_original;
  const std::int32_t lmr_size;
  const Array<std::int32_t> lmr_low_index;
  const Array<std::int32_t> lmr_high_index;
};

Element rankingPairExample(const LowMemRankingCollection& c, std::int32_t i);

// The sparse difference of two index-sorted real vectors: every index of
// either, with value a - b, a missing value counting as absent.
Array<RealFeature> mergeL(std::span<const RealFeature> a, std::span<const RealFeature> b);

// Keeps each pair element once it has been built.
class HighMemRankingCollection final : public ExampleCollection {
 public:
  explicit HighMemRankingCollection(std::shared_ptr<const LowMemRankingCollection> hmr_lmr);

  Element at(std::int32_t i) const override;
  std::int32_t collectionSize() const override { return hmr_lmr->lmr_size; }

  const std::shared_ptr<const LowMemRankingCollection> hmr_lmr;

 private:
  mutable std::vector<std::optional<Element>> hmr_examples_;
};

}  // namespace kelvor
