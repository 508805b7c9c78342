#include "core/examples/Token.h"

#include <algorithm>
#include <deque>
#include <string>
#include <unordered_map>

namespace kelvor {

namespace {

struct TokenTable {
  std::deque<std::string> texts;  // a deque keeps the views below valid as it grows
  std::unordered_map<std::string_view, TokenId> ids;
};

TokenTable& table() {
  static TokenTable t;
  return t;
}

}  // namespace

TokenId internToken(std::string_view text) {
  TokenTable& t = table();
  if (auto it = t.ids.find(text); it != t.ids.end()) return it->second;
  const auto id = static_cast<TokenId>(t.texts.size());
  t.texts.emplace_back(text);
  t.ids.emplace(t.texts.back(), id);
  return id;
}

std::string_view tokenText(TokenId id) { return table().texts[id]; }

TokenSeq::TokenSeq(std::vector<TokenId> tokens) : ids_(std::move(tokens)) {
  byToken_.reserve(ids_.size());
  for (std::size_t i = 0; i < ids_.size(); ++i)
    byToken_.emplace_back(ids_[i], static_cast<std::int32_t>(i + 1));
  std::sort(byToken_.begin(), byToken_.end());
}

bool packedListEq(const TokenSeq& a, const TokenSeq& b) { return a.ids() == b.ids(); }

int packedListCompare(const TokenSeq& a, const TokenSeq& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a.ids()[i] == b.ids()[i]) continue;
    const int c = a.text(i).compare(b.text(i));
    if (c != 0) return c < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace kelvor
