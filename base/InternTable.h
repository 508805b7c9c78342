// Byte strings interned to dense ids 0, 1, 2, ... in the order they are
// first seen: equal strings get equal ids, so the kernels compare integers.
// The strings live in large blocks that never move, so the views handed out
// stay valid as long as the table; the index is open addressing over
// (hash, id) pairs. Some 25 bytes a string beside its own bytes, a tenth of
// what a node-based hash map of strings costs, which matters for the
// vocabulary of a large training set.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kelvor {

class InternTable {
 public:
  std::uint32_t intern(std::string_view key);
  std::string_view key(std::uint32_t id) const { return keyAt(starts_[id]); }
  std::size_t size() const { return starts_.size(); }

 private:
  struct Slot {
    std::uint32_t hash;
    std::uint32_t idPlusOne;  // 0: empty
  };
  // A key is stored as its length (four bytes) and then its bytes, so that
  // a lookup finds both in one place.
  static std::string_view keyAt(const char* stored);
  const char* store(std::string_view key);
  void grow();

  std::vector<Slot> slots_;  // a power of two, at most three quarters full
  std::vector<const char*> starts_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t left_ = 0;
};

}  // namespace kelvor
