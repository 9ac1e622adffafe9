#include <cstddef>
#include <cstdint>

#include "library/effect_info.h"
#include "library/effect_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::EffectRecord record;
  record.ReadEffectBytes(data, size);
  // Touch everything a page or the host would read.
  volatile size_t sink = record.longName().size() + record.description().size();
  for (uint32_t i = 0; i < record.objectCount(); ++i) sink += record.objectName(i).size();
  for (uint32_t i = 0; i < record.optionCount(); ++i) sink += record.option(i).tag;
  lmx::EffectInfo info;
  lmx::FillEffectInfoFromRecord(record, &info);
  sink += info.objectCount;
  (void)sink;
  return 0;
}
