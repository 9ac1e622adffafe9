#include "selection/filter_values.h"

#include "selection/settings_access.h"
#include "selection/whole_number.h"

namespace lmx {

FilterValues ReadFilterValues(const EffectSettings* block) {
  FilterValues v;
  v.source = WholeNumber(GetGeneral(block, FilterSource));
  v.percent = WholeNumber(GetGeneral(block, FilterPercent));
  v.frames = WholeNumber(GetGeneral(block, FilterFrames));
  v.centerObjects = WholeNumber(GetGeneral(block, CenterObjects)) != 0;
  return v;
}

void StoreFilterValues(EffectSettings* block, const FilterValues& v) {
  if (v.source >= 0) SetGeneral(block, FilterSource, static_cast<float>(v.source));
  SetGeneral(block, FilterPercent, static_cast<float>(v.percent));
  SetGeneral(block, FilterFrames, static_cast<float>(v.frames));
  SetGeneral(block, CenterObjects, v.centerObjects ? 1.0f : 0.0f);
}

}  // namespace lmx
