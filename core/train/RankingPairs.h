// Building the preference-pair collections of ranking (the records are in
// core/examples/RankingCollections.h).
//
// Pairs form only inside a query run: a maximal stretch of consecutive
// examples with equal ex_qid (examples before the first identifier count
// as identifier 0). Two examples of a run pair when the greater target
// exceeds the smaller plus the margin; equal targets, or a NaN, never pair.
// Within a run, taking its examples from the last to the first, each
// example pairs with every earlier one in turn: for targets 1, 2, 3 and
// margin 0 the pairs are (3,2), (3,1), (2,1), written (later, earlier).
// Runs contribute their pairs in file order.
#pragma once

#include <memory>

#include "core/examples/ExampleCollection.h"
#include "core/examples/RankingCollections.h"

namespace kelvor {

// Every element of `examples` is fetched once. Progress on standard error:
// a "." before each example whose index is a multiple of 10000, a "/"
// between counting and filling, and the dots again while filling; no line
// break. More pairs than a collection can number (2^31 - 1) stop the program.
std::shared_ptr<const LowMemRankingCollection> makeLowMemRankingCollection(double margin,
                                                                           Examples examples);

// The same pairs, each pair example built at its first use and kept.
std::shared_ptr<const HighMemRankingCollection> makeHighMemRankingCollection(
    std::shared_ptr<const LowMemRankingCollection> pairs);

}  // namespace kelvor
