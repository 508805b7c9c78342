// Recycling of small fixed-size nodes held by std::shared_ptr. A persistent
// structure allocates one node per level on every update and frees as many
// when an old version goes, so nodes come from per-thread free lists of
// fixed-size blocks instead of the general heap. Blocks are carved from
// chunks that are kept for reuse and never handed back: memory stays at the
// peak number of live nodes of each size. A block freed on another thread
// than the one that took it simply joins that thread's list.
//
// Sanitizer builds bypass the pool so that every node is a heap object of
// its own and misuse is caught.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace kelvor {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPoolNodes = false;
#else
inline constexpr bool kPoolNodes = true;
#endif

template <std::size_t Size, std::size_t Align>
class BlockPool {
 public:
  static void* take() {
    FreeBlock*& head = freeList();
    if (head == nullptr) refill(head);
    FreeBlock* b = head;
    head = b->next;
    return b;
  }

  static void give(void* p) {
    FreeBlock*& head = freeList();
    FreeBlock* b = static_cast<FreeBlock*>(p);
    b->next = head;
    head = b;
  }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  static constexpr std::size_t kAlign = Align < alignof(FreeBlock) ? alignof(FreeBlock) : Align;
  static constexpr std::size_t kRaw = Size < sizeof(FreeBlock) ? sizeof(FreeBlock) : Size;
  static constexpr std::size_t kBlock = (kRaw + kAlign - 1) / kAlign * kAlign;
  static constexpr std::size_t kBlocksPerChunk = 1024;

  static FreeBlock*& freeList() {
    static thread_local constinit FreeBlock* head = nullptr;
    return head;
  }

  static void refill(FreeBlock*& head) {
    constexpr std::size_t kChunkBytes = kBlock * kBlocksPerChunk;
    auto* chunk = static_cast<std::byte*>(::operator new (kChunkBytes, std::align_val_t{kAlign}));
    for (std::size_t i = kBlocksPerChunk; i-- > 0;) {
      auto* b = ::new (chunk + i * kBlock) FreeBlock{head};
      head = b;
    }
  }
};

// An allocator for std::allocate_shared that takes single objects from the
// pool and anything else from the heap.
template <class T>
struct PoolAllocator {
  using value_type = T;

  PoolAllocator() = default;
  template <class U>
  PoolAllocator(const PoolAllocator<U>& /*other*/) {}

  T* allocate(std::size_t n) {
    if (kPoolNodes && n == 1) return static_cast<T*>(BlockPool<sizeof(T), alignof(T)>::take());
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, std::size_t n) {
    if (kPoolNodes && n == 1) {
      BlockPool<sizeof(T), alignof(T)>::give(p);
    } else {
      std::allocator<T>().deallocate(p, n);
    }
  }

  friend bool operator==(const PoolAllocator&, const PoolAllocator&) { return true; }
};

// A node owned by a shared pointer, with the control block in a pooled
// block of its own size.
template <class T, class... Args>
std::shared_ptr<T> makePooled(Args&&... args) {
  return std::allocate_shared<T>(PoolAllocator<T>(), std::forward<Args>(args)...);
}

}  // namespace kelvor
