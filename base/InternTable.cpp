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

const char* InternTable::store(std::string_view key) {
  if (key.size() > left_) {
    // A long key gets a block of its own; the current block stays in use.
    if (key.size() > kBlockBytes / 4) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(key.size() + 1));
      std::memcpy(blocks_.back().get(), key.data(), key.size());
      return blocks_.back().get();
    }
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
    free_ = blocks_.back().get();
    left_ = kBlockBytes;
  }
  char* at = free_;
  if (!key.empty()) std::memcpy(at, key.data(), key.size());
  free_ += key.size();
  left_ -= key.size();
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
  if ((starts_.size() + 1) * 2 > slots_.size()) grow();
  if (key.size() > std::numeric_limits<std::uint32_t>::max())
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
      lengths_.push_back(static_cast<std::uint32_t>(key.size()));
      slots_[i] = Slot{h, id + 1};
      return id;
    }
    if (s.hash == h && this->key(s.idPlusOne - 1) == key) return s.idPlusOne - 1;
  }
}

}  // namespace kelvor
