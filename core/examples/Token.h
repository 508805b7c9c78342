// Tokens of string features are interned: equal byte strings get equal ids,
// so the string kernel compares integers. The table lives for the process
// and only grows, like the vocabulary of the files read.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvor {

using TokenId = std::uint32_t;

TokenId internToken(std::string_view text);
std::string_view tokenText(TokenId id);

// A string feature's value: the token sequence, with its positions grouped
// by token for the string kernel's matching.
class TokenSeq {
 public:
  TokenSeq() = default;
  explicit TokenSeq(std::vector<TokenId> tokens);

  const std::vector<TokenId>& ids() const { return ids_; }
  std::size_t size() const { return ids_.size(); }
  std::string_view text(std::size_t i) const { return tokenText(ids_[i]); }

  // (token, 1-based position) sorted by token, then position.
  const std::vector<std::pair<TokenId, std::int32_t>>& byToken() const { return byToken_; }

 private:
  std::vector<TokenId> ids_;
  std::vector<std::pair<TokenId, std::int32_t>> byToken_;
};

// Token lists compared as sequences of byte strings: equal length and equal
// tokens; lexicographic order, a proper prefix being less.
bool packedListEq(const TokenSeq& a, const TokenSeq& b);
int packedListCompare(const TokenSeq& a, const TokenSeq& b);

}  // namespace kelvor
