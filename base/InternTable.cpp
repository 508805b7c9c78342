#include "base/InternTable.h"

#include <cstring>
#include <limits>

#include "base/Fatal.h"

namespace kelvor {

namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 16;

// One multiply per eight bytes, and the high bits folded down: keys are
// short (tags, words, a few ids), so the hash must be cheap more than
// strong.
std::uint32_t hashOf(std::string_view s) {
  const char* p = s.data();
  std::size_t n = s.size();
  std::uint64_t h = 0x9e3779b97f4a7c15ull * (n + 1);
  while (n >= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    h = (h ^ w) * 0xbf58476d1ce4e5b9ull;
    h ^= h >> 29;
    p += 8;
    n -= 8;
  }
  std::uint64_t w = 0;
  for (std::size_t i = 0; i < n; ++i)
    w |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  h = (h ^ w) * 0x94d049bb133111ebull;
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

std::string_view InternTable::keyAt(const char* stored) {
  std::uint32_t length;
  std::memcpy(&length, stored, sizeof length);
  return {stored + sizeof length, length};
}

const char* InternTable::store(std::string_view key) {
  const std::size_t need = sizeof(std::uint32_t) + key.size();
  char* at;
  if (need > left_ && need > kBlockBytes / 4) {
    // A long key gets a block of its own; the current block stays in use.
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(need));
    at = blocks_.back().get();
  } else {
    if (need > left_) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
      free_ = blocks_.back().get();
      left_ = kBlockBytes;
    }
    at = free_;
    free_ += need;
    left_ -= need;
  }
  const auto length = static_cast<std::uint32_t>(key.size());
  std::memcpy(at, &length, sizeof length);
  if (!key.empty()) std::memcpy(at + sizeof length, key.data(), key.size());
  return at;
}

void InternTable::grow() {
  std::vector<Slot> bigger(slots_.empty() ? 1024 : slots_.size() * 2, Slot{0, 0});
  const std::size_t mask = bigger.size() - 1;
  for (const Slot& s : slots_) {
    if (s.idPlusOne == 0) continue;
    std::size_t i = s.hash & mask;
    while (bigger[i].idPlusOne != 0) i = (i + 1) & mask;
    bigger[i] = s;
  }
  slots_ = std::move(bigger);
}

std::uint32_t InternTable::intern(std::string_view key) {
  if ((starts_.size() + 1) * 4 > slots_.size() * 3) grow();
  if (key.size() > std::numeric_limits<std::uint32_t>::max() - sizeof(std::uint32_t))
    fail("A token or tree tag of more than 4 GB");
  const std::uint32_t h = hashOf(key);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = h & mask;; i = (i + 1) & mask) {
    const Slot s = slots_[i];
    if (s.idPlusOne == 0) {
      if (starts_.size() >= std::numeric_limits<std::uint32_t>::max() - 1)
        fail("More than 4 billion distinct tokens, tags or productions");
      const auto id = static_cast<std::uint32_t>(starts_.size());
      starts_.push_back(store(key));
      slots_[i] = Slot{h, id + 1};
      return id;
    }
    if (s.hash == h && this->key(s.idPlusOne - 1) == key) return s.idPlusOne - 1;
  }
}

}  // namespace kelvor
