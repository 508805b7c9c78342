// Tokens of string features are interned: equal byte strings get equal ids,
// so the string kernel compares integers. The table lives for the process
// and only grows, like the vocabulary of the files read.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

namespace kelvor {

using TokenId = std::uint32_t;

TokenId internToken(std::string_view text);
std::string_view tokenText(TokenId id);

// A string feature's value: the token sequence, with its positions grouped
// by token for the string kernel's matching, in one block of memory.
class TokenSeq {
 public:
  TokenSeq() = default;
  explicit TokenSeq(std::span<const TokenId> tokens);
  TokenSeq(const TokenSeq& other);
  TokenSeq(TokenSeq&&) noexcept = default;
  TokenSeq& operator=(TokenSeq other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }

  std::span<const TokenId> ids() const { return {data_.get(), size_}; }
  std::size_t size() const { return size_; }
  std::string_view text(std::size_t i) const { return tokenText(data_[i]); }

  // The 1-based positions sorted by token (by id), then by position.
  std::span<const std::uint32_t> positionsByToken() const { return {data_.get() + size_, size_}; }
  TokenId tokenAt(std::uint32_t position) const { return data_[position - 1]; }

 private:
  std::unique_ptr<std::uint32_t[]> data_;  // the ids, then the positions by token
  std::size_t size_ = 0;
};

// Token lists compared as sequences of byte strings: equal length and equal
// tokens; lexicographic order, a proper prefix being less.
bool packedListEq(const TokenSeq& a, const TokenSeq& b);
int packedListCompare(const TokenSeq& a, const TokenSeq& b);

}  // namespace kelvor
