#include "core/examples/Token.h"

#include <algorithm>

#include "base/InternTable.h"

namespace kelvor {

namespace {

InternTable& table() {
  static InternTable t;
  return t;
}

}  // namespace

TokenId internToken(std::string_view text) { return table().intern(text); }

std::string_view tokenText(TokenId id) { return table().key(id); }

TokenSeq::TokenSeq(std::span<const TokenId> tokens)
    : data_(std::make_unique_for_overwrite<std::uint32_t[]>(2 * tokens.size())),
      size_(tokens.size()) {
  std::copy(tokens.begin(), tokens.end(), data_.get());
  std::uint32_t* positions = data_.get() + size_;
  for (std::size_t i = 0; i < size_; ++i) positions[i] = static_cast<std::uint32_t>(i + 1);
  std::sort(positions, positions + size_, [&](std::uint32_t a, std::uint32_t b) {
    return tokens[a - 1] != tokens[b - 1] ? tokens[a - 1] < tokens[b - 1] : a < b;
  });
}

TokenSeq::TokenSeq(const TokenSeq& other)
    : data_(std::make_unique_for_overwrite<std::uint32_t[]>(2 * other.size_)), size_(other.size_) {
  std::copy(other.data_.get(), other.data_.get() + 2 * size_, data_.get());
}

bool packedListEq(const TokenSeq& a, const TokenSeq& b) {
  return std::ranges::equal(a.ids(), b.ids());
}

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
