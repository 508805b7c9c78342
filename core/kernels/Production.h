// Tags of parse-tree nodes and productions (a tag with the list of its
// children's tags), interned process-wide: equal ones get equal ids, so the
// tree kernel matches nodes by comparing integers. The tables only grow,
// like the grammar of the trees read. Tags have a table of their own, apart
// from the tokens of string features: a few hundred tags are met at every
// node, and a small table stays in the fastest cache.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kelvor {

using TagId = std::uint32_t;
using ProductionId = std::uint32_t;

TagId internTag(std::string_view tag);
std::string_view tagText(TagId id);

ProductionId internProduction(TagId tag, std::span<const TagId> childTags);

// The tag of the nodes that carry the production.
TagId productionTag(ProductionId id);

}  // namespace kelvor
