// The back-transformation of a ranking model: the support vectors of a
// ranking run are pair examples (the real features of the later example of
// a pair minus the earlier's); their coefficients are spread onto the pairs' input examples,
// which then stand as the support vectors of the model.
#pragma once

#include <cstdint>
#include <span>

#include "core/examples/ExampleCollection.h"
#include "core/examples/RankingCollections.h"

namespace kelvor {

// pairNumbers[k - 1] is the pair of support vector k. For each support
// vector with coefficient c, the pair's later example (lmr_low_index, the
// minuend of the pair vector) gets -c and the earlier (lmr_high_index) +c,
// so that every pair's vector contributes in its own direction. The result
// holds the input examples whose sum is not 0.0, in input order, with
// their real features only: those are what the pairs held.
Examples transformSVS(const LowMemRankingCollection& pairs, const ExampleCollection& supportVectors,
                      std::span<const std::int32_t> pairNumbers);

}  // namespace kelvor
