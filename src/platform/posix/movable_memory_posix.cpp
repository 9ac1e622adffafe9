// A movable block here is a small header in front of its bytes; "moving" is realloc.
#include <cstdlib>
#include <cstring>

#include "platform/movable_memory.h"

namespace lmx::platform {
namespace {

struct Block {
  size_t size;
  void* data;
  int locks;
};

}  // namespace

MemoryHandle AllocMovable(size_t size) {
  auto* b = static_cast<Block*>(std::calloc(1, sizeof(Block)));
  if (!b) return nullptr;
  b->data = std::calloc(size ? size : 1, 1);
  if (!b->data) {
    std::free(b);
    return nullptr;
  }
  b->size = size;
  return b;
}

MemoryHandle ReAllocMovable(MemoryHandle block, size_t size) {
  auto* b = static_cast<Block*>(block);
  if (!b || b->locks != 0) return nullptr;  // a locked block cannot move
  void* grown = std::realloc(b->data, size ? size : 1);
  if (!grown) return nullptr;
  if (size > b->size) std::memset(static_cast<char*>(grown) + b->size, 0, size - b->size);
  b->data = grown;
  b->size = size;
  return b;
}

void* LockMovable(MemoryHandle block) {
  auto* b = static_cast<Block*>(block);
  if (!b) return nullptr;
  ++b->locks;
  return b->data;
}

void UnlockMovable(MemoryHandle block) {
  auto* b = static_cast<Block*>(block);
  if (b && b->locks > 0) --b->locks;
}

size_t MovableSize(MemoryHandle block) { return block ? static_cast<Block*>(block)->size : 0; }

void FreeMovable(MemoryHandle block) {
  auto* b = static_cast<Block*>(block);
  if (!b) return;
  std::free(b->data);
  std::free(b);
}

}  // namespace lmx::platform
