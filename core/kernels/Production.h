// Productions of parse-tree nodes (a tag with the list of its children's
// tags) interned process-wide: equal productions get equal ids, so the tree
// kernel matches nodes by comparing integers. The table only grows, like the
// grammar of the trees read.
#pragma once

#include <cstdint>
#include <span>

#include "core/examples/Token.h"

namespace kelvor {

using ProductionId = std::uint32_t;

// Tags are interned with internToken.
ProductionId internProduction(TokenId tag, std::span<const TokenId> childTags);

}  // namespace kelvor
