#include "effect_source.h"

#include <cstring>

#include "library/effect_record.h"
#include "motion.h"

namespace lmx::engine {

EffectShape ReadEffectShape(const char (&name)[12]) {
  EffectShape shape;
  char shortName[12] = {};
  std::memcpy(shortName, name, sizeof shortName - 1);
  if (shortName[0] == '\0') return shape;
  // A short name is a plain file name: nothing that would lead out of EFFECTS.
  for (const char* c = shortName; *c != '\0'; ++c) {
    if (*c == '\\' || *c == '/' || *c == ':' || *c == '.' || static_cast<unsigned char>(*c) < 32) return shape;
  }
  EffectRecord record;
  int status = record.ReadEffect(shortName);
  if (status != 0 && record.secondType() == 0 && record.objectCount() == 0) return shape;
  shape.found = true;
  shape.kind = KnownKind(record.secondType());
  shape.objectCount = record.objectCount();
  return shape;
}

}  // namespace lmx::engine
