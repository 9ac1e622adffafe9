#include <windows.h>

#include "platform/movable_memory.h"

namespace lmx::platform {

MemoryHandle AllocMovable(size_t size) { return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size); }

MemoryHandle ReAllocMovable(MemoryHandle block, size_t size) {
  return GlobalReAlloc(block, size, GMEM_MOVEABLE | GMEM_ZEROINIT);
}

void* LockMovable(MemoryHandle block) { return GlobalLock(block); }
void UnlockMovable(MemoryHandle block) { GlobalUnlock(block); }
size_t MovableSize(MemoryHandle block) { return GlobalSize(block); }
void FreeMovable(MemoryHandle block) { GlobalFree(block); }

}  // namespace lmx::platform
