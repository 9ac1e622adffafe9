#include "effect_source.h"

#include <cstring>

#include "config/installed_files.h"
#include "library/effect_record.h"
#include "motion.h"

namespace lmx::engine {

bool PlainEffectName(const char* name) {
  if (name == nullptr || name[0] == '\0') return false;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c == '\\' || *c == '/' || *c == ':' || *c == '.' || static_cast<unsigned char>(*c) < 32) return false;
  }
  return true;
}

EffectShape ShapeOfRecord(const EffectRecord& record, int status) {
  EffectShape shape;
  if (status != 0 && record.secondType() == 0 && record.objectCount() == 0) return shape;
  shape.found = true;
  shape.kind = KnownKind(record.secondType());
  shape.objectCount = record.objectCount();
  return shape;
}

EffectShape ReadEffectShape(const char (&name)[12]) {
  char shortName[12] = {};
  std::memcpy(shortName, name, sizeof shortName - 1);
  if (!PlainEffectName(shortName)) return {};
  EffectRecord record;
  int status = ReadInstalledEffect(record, shortName);
  return ShapeOfRecord(record, status);
}

}  // namespace lmx::engine
