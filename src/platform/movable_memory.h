// Movable, zero-initialised memory blocks: GlobalAlloc blocks on Windows (callers free
// them with GlobalFree), a small equivalent elsewhere. Bitmaps travel in these blocks.
#pragma once

#include <cstddef>
#include <utility>

namespace lmx::platform {

using MemoryHandle = void*;  // an HGLOBAL on Windows

// A zero-initialised movable block of size bytes, or null.
MemoryHandle AllocMovable(size_t size);
// Grows or shrinks the block; added bytes are zero. Null on failure, and the old block
// is then still valid and still the caller's.
MemoryHandle ReAllocMovable(MemoryHandle block, size_t size);
void* LockMovable(MemoryHandle block);
void UnlockMovable(MemoryHandle block);
size_t MovableSize(MemoryHandle block);
void FreeMovable(MemoryHandle block);

// Owns one block until release() hands it on.
class MovableBlock {
 public:
  MovableBlock() = default;
  explicit MovableBlock(MemoryHandle block) : block_(block) {}
  ~MovableBlock() { reset(); }
  MovableBlock(MovableBlock&& other) noexcept : block_(other.release()) {}
  MovableBlock& operator=(MovableBlock&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  MovableBlock(const MovableBlock&) = delete;
  MovableBlock& operator=(const MovableBlock&) = delete;

  MemoryHandle get() const { return block_; }
  explicit operator bool() const { return block_ != nullptr; }
  MemoryHandle release() { return std::exchange(block_, nullptr); }
  void reset(MemoryHandle block = nullptr) {
    if (block_) FreeMovable(block_);
    block_ = block;
  }

 private:
  MemoryHandle block_ = nullptr;
};

// Keeps a block locked for a scope.
class LockedBlock {
 public:
  explicit LockedBlock(MemoryHandle block) : block_(block), data_(block ? LockMovable(block) : nullptr) {}
  ~LockedBlock() {
    if (data_) UnlockMovable(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  void* data() const { return data_; }

 private:
  MemoryHandle block_;
  void* data_;
};

}  // namespace lmx::platform
