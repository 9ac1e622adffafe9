#include "selection/object_values.h"

#include "selection/settings_access.h"
#include "selection/whole_number.h"

namespace lmx {

ObjectValues ReadObjectValues(const EffectSettings* block, int object) {
  auto whole = [&](int column) { return WholeNumber(GetObjectValue(block, object, column)); };
  ObjectValues v;
  v.luminosity = whole(Luminosity);
  v.shine = whole(Shine);
  v.transparency = whole(Transparency);
  v.changePeriod = whole(ChangePeriod);
  v.pathRotation = whole(PathRotation);
  v.rotatesWithPath = whole(RotatesWithPath) != 0;
  v.trailCount = whole(TrailCount);
  v.trailSpacing = whole(TrailSpacing);
  return v;
}

void StoreObjectValues(EffectSettings* block, int object, const ObjectValues& v) {
  auto set = [&](int column, int32_t value) { SetObjectValue(block, object, column, static_cast<float>(value)); };
  set(Luminosity, v.luminosity);
  set(Shine, v.shine);
  set(Transparency, v.transparency);
  set(ChangePeriod, v.changePeriod);
  set(PathRotation, v.pathRotation);
  SetObjectValue(block, object, RotatesWithPath, v.rotatesWithPath ? 1.0f : 0.0f);
  set(TrailCount, v.trailCount);
  set(TrailSpacing, v.trailSpacing);
}

int32_t ObjectOnActivation(const SelectionState& selection, const EffectSettings* block, bool autoReverse) {
  std::shared_ptr<const EffectRecord> effect = CurrentEffect(selection);
  if (!autoReverse || !effect || effect->effectType() != 1) return selection.currentObject;
  return GetGeneral(block, Direction) != 0.0f ? 1 : 0;
}

}  // namespace lmx
