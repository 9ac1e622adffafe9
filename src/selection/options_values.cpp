#include "selection/options_values.h"

#include "selection/settings_access.h"
#include "selection/whole_number.h"

namespace lmx {
namespace {

int32_t Whole(const EffectSettings* block, int index) { return WholeNumber(GetGeneral(block, index)); }
float Flag(bool on) { return on ? 1.0f : 0.0f; }

}  // namespace

OptionsValues ReadOptionsValues(const EffectSettings* block) {
  OptionsValues v;
  v.direction = Whole(block, Direction);
  v.renderMode = Whole(block, RenderMode);
  v.quality = Whole(block, Quality);
  v.imageQuality = Whole(block, ImageQuality);
  v.frameField = Whole(block, FrameField);
  v.lighting = Whole(block, Lighting) != 0;
  v.shadows = Whole(block, Shadows) != 0;
  v.antiAliasing = Whole(block, AntiAliasing);
  v.blurPercent = Whole(block, BlurPercent);
  v.blurCount = Whole(block, BlurCount);
  v.lightDirection = Whole(block, LightDirection);
  v.transitionPeriod = Whole(block, TransitionPeriod);
  return v;
}

void StoreOptionsValues(const OptionsValues& v, const SelectionState& selection, EffectSettings* block,
                        bool autoReverse) {
  const float direction = static_cast<float>(v.direction);
  if (direction != GetGeneral(block, Direction)) ReverseObjectPair(selection, block, autoReverse, direction);
  SetGeneral(block, Direction, direction);
  SetGeneral(block, RenderMode, static_cast<float>(v.renderMode));
  SetGeneral(block, Quality, static_cast<float>(v.quality));
  SetGeneral(block, ImageQuality, static_cast<float>(v.imageQuality));
  SetGeneral(block, FrameField, static_cast<float>(v.frameField));
  SetGeneral(block, Lighting, Flag(v.lighting));
  SetGeneral(block, Shadows, Flag(v.shadows));
  SetGeneral(block, AntiAliasing, static_cast<float>(v.antiAliasing));
  SetGeneral(block, BlurPercent, static_cast<float>(v.blurPercent));
  SetGeneral(block, BlurCount, static_cast<float>(v.blurCount));
  SetGeneral(block, LightDirection, static_cast<float>(v.lightDirection));
  SetGeneral(block, TransitionPeriod, static_cast<float>(v.transitionPeriod));
}

}  // namespace lmx
