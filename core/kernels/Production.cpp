#include "core/kernels/Production.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/InternTable.h"

namespace kelvor {

namespace {

InternTable& tags() {
  static InternTable t;
  return t;
}

// A production's key is the bytes of its tag's id followed by those of its
// child tags' ids.
InternTable& productions() {
  static InternTable t;
  return t;
}

}  // namespace

TagId internTag(std::string_view tag) { return tags().intern(tag); }

std::string_view tagText(TagId id) { return tags().key(id); }

ProductionId internProduction(TagId tag, std::span<const TagId> childTags) {
  // Most nodes are leaves: their productions are found by tag alone.
  static std::vector<ProductionId> leafProductions;  // by tag, kNone when not yet made
  constexpr ProductionId kNone = ~ProductionId{0};
  if (childTags.empty() && tag < leafProductions.size() && leafProductions[tag] != kNone)
    return leafProductions[tag];
  static std::string key;  // reused: no allocation for a known production
  key.resize(sizeof(TagId) * (1 + childTags.size()));
  std::memcpy(key.data(), &tag, sizeof tag);
  if (!childTags.empty())
    std::memcpy(key.data() + sizeof tag, childTags.data(), sizeof(TagId) * childTags.size());
  const ProductionId id = productions().intern(key);
  if (childTags.empty()) {
    if (tag >= leafProductions.size()) leafProductions.resize(tag + 1, kNone);
    leafProductions[tag] = id;
  }
  return id;
}

TagId productionTag(ProductionId id) {
  TagId tag;
  std::memcpy(&tag, productions().key(id).data(), sizeof tag);
  return tag;
}

}  // namespace kelvor
