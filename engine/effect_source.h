// What the engine takes from an effect's file: its motion kind and its object count.
#pragma once

#include <cstdint>

#include "motion_kinds.h"

namespace lmx::engine {

struct EffectShape {
  MotionKind kind = MotionKind::Plane;
  uint32_t objectCount = 0;  // as the file gives it; 0 when it gives none
  bool found = false;        // the file was read
};

// Reads EFFECTS\<name>.LMI of the installation. `name` is the settings block's 12-byte
// field, possibly without its terminating zero. A missing, damaged or oddly named effect
// gives the default shape (found false).
EffectShape ReadEffectShape(const char (&name)[12]);

}  // namespace lmx::engine
