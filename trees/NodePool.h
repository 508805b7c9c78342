// Memory for tree nodes: fixed-size blocks carved from large slabs and kept
// on a free list. Reading a file of trees makes millions of equal-sized
// nodes and drops them together; the general-purpose allocator handles that
// pattern poorly (its freed small blocks pile up and are merged and sorted
// again on later requests), a free list of one size does not.
//
// Blocks go back to the free list of the thread that frees them and slabs
// are never returned to the system. Sanitizer builds use the ordinary
// allocator so that every node keeps its own checked allocation.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace kelvor::detail {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPoolNodes = false;
#else
inline constexpr bool kPoolNodes = true;
#endif

template <std::size_t kSize, std::size_t kAlign>
class BlockPool {
 public:
  static void* take() {
    Free*& head = freeList();
    if (head == nullptr) refill(head);
    Free* block = head;
    head = block->next;
    return block;
  }
  static void give(void* p) noexcept {
    Free*& head = freeList();
    head = ::new (p) Free{head};
  }

 private:
  struct Free {
    Free* next;
  };
  static constexpr std::size_t kAlignment = kAlign < alignof(Free) ? alignof(Free) : kAlign;
  static constexpr std::size_t kBlock =
      ((kSize < sizeof(Free) ? sizeof(Free) : kSize) + kAlignment - 1) / kAlignment * kAlignment;
  static constexpr std::size_t kBlocksPerSlab = 65536 / kBlock + 1;

  static Free*& freeList() {
    thread_local Free* head = nullptr;
    return head;
  }
  static void refill(Free*& head) {
    auto* slab = static_cast<std::byte*>(
        ::operator new(kBlock * kBlocksPerSlab, std::align_val_t(kAlignment)));
    for (std::size_t i = kBlocksPerSlab; i-- > 0;) head = ::new (slab + i * kBlock) Free{head};
  }
};

// A stateless allocator over BlockPool for single objects (std::allocate_shared
// asks for exactly one control block with the object in it).
template <class T>
struct PoolAllocator {
  using value_type = T;
  PoolAllocator() = default;
  template <class U>
  PoolAllocator(const PoolAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n == 1) return static_cast<T*>(BlockPool<sizeof(T), alignof(T)>::take());
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n == 1)
      BlockPool<sizeof(T), alignof(T)>::give(p);
    else
      std::allocator<T>().deallocate(p, n);
  }
  template <class U>
  friend bool operator==(const PoolAllocator&, const PoolAllocator<U>&) noexcept {
    return true;
  }
};

template <class T, class... Args>
std::shared_ptr<T> makeNode(Args&&... args) {
  if constexpr (kPoolNodes)
    return std::allocate_shared<T>(PoolAllocator<T>(), std::forward<Args>(args)...);
  else
    return std::make_shared<T>(std::forward<Args>(args)...);
}

}  // namespace kelvor::detail
