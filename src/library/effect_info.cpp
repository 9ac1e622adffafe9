#include "library/effect_info.h"

#include <cstring>
#include <new>

#include "library/bytes.h"
#include "library/effect_record.h"

namespace lmx {

void FillEffectInfoFromFile(const char* path, EffectInfo* info) {
  if (!info) return;
  try {
    EffectRecord record;
    record.ReadEffectFile(path);
    FillEffectInfoFromRecord(record, info);
  } catch (const std::bad_alloc&) {
    std::memset(info, 0, sizeof *info);
  }
}

void FillEffectInfoFromRecord(const EffectRecord& record, EffectInfo* info) {
  if (!info) return;
  info->effectType = record.effectType();
  record.GetShortName(info->shortName);
  CopyFixed(info->longName, sizeof info->longName, record.longName().c_str());
  info->objectCount = record.objectCount();
}

}  // namespace lmx
