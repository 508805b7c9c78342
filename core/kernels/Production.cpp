#include "core/kernels/Production.h"

#include <unordered_map>
#include <vector>

namespace kelvor {

namespace {

// The key is the tag followed by the child tags.
struct KeyHash {
  std::size_t operator()(const std::vector<TokenId>& key) const {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (TokenId id : key) h = (h ^ id) * 0x100000001b3ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
};

using Table = std::unordered_map<std::vector<TokenId>, ProductionId, KeyHash>;

Table& table() {
  static Table t;
  return t;
}

}  // namespace

ProductionId internProduction(TokenId tag, std::span<const TokenId> childTags) {
  static std::vector<TokenId> key;  // reused: no allocation for a known production
  key.clear();
  key.push_back(tag);
  key.insert(key.end(), childTags.begin(), childTags.end());
  Table& t = table();
  if (auto it = t.find(key); it != t.end()) return it->second;
  const auto id = static_cast<ProductionId>(t.size());
  t.emplace(key, id);
  return id;
}

}  // namespace kelvor
