// What the engine takes from an effect's file: its motion kind and its object count.
#pragma once

#include <cstdint>

#include "motion_kinds.h"

namespace lmx {
class EffectRecord;
}

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

// True for a short name that is a plain file name: not empty, nothing that would lead out
// of EFFECTS (separators, drive colons, dots, control characters).
bool PlainEffectName(const char* name);

// The shape of a record read with that status (0: the records ended cleanly). A read that
// failed before it found a type or an object gives the default shape.
EffectShape ShapeOfRecord(const EffectRecord& record, int status);

}  // namespace lmx::engine
