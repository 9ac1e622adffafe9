// libmltlumorafx.so: the MLT transition service "lumorafx". It takes clip A's and clip B's
// frames in the format MLT already has them (yuv422, or rgba where the consumer asks for
// rgba), so MLT converts nothing for it, and renders through the same Mixer as the frei0r
// plugin. Parameters are the plugin's, read at each frame (numbers animated over the
// transition's length); without "position" the transition's own progress is used.
extern "C" {
#include <framework/mlt.h>
}

#include <climits>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "mixer.h"
#include "report.h"

namespace {

using lumorafx::Mixer;
using lumorafx::PixelLayout;

constexpr const char* kMixerProperty = "_lumorafx_mixer";

void DestroyMixer(void* mixer) { std::unique_ptr<Mixer> owned(static_cast<Mixer*>(mixer)); }

// The transition's mixer for this frame size and layout, made anew when either changed.
Mixer* MixerFor(mlt_properties properties, int width, int height, PixelLayout layout) {
  auto* mixer = static_cast<Mixer*>(mlt_properties_get_data(properties, kMixerProperty, nullptr));
  if (mixer != nullptr && mixer->width() == static_cast<unsigned>(width) &&
      mixer->height() == static_cast<unsigned>(height) && mixer->layout() == layout)
    return mixer;
  mixer = std::make_unique<Mixer>(static_cast<unsigned>(width), static_cast<unsigned>(height), layout).release();
  mlt_properties_set_data(properties, kMixerProperty, mixer, 0, DestroyMixer, nullptr);
  return mixer;
}

// The parameters that are set, at this frame; the others keep their defaults.
void ReadOptions(mlt_transition transition, mlt_frame frame, lumorafx::Options* options) {
  mlt_properties properties = MLT_TRANSITION_PROPERTIES(transition);
  const mlt_position position = mlt_transition_get_position(transition, frame);
  const mlt_position length = mlt_transition_get_length(transition);
  *options = lumorafx::Options();
  options->values[lumorafx::kPosition] = mlt_transition_get_progress(transition, frame);
  for (int i = 0; i < lumorafx::kParamCount; ++i) {
    const lumorafx::ParamInfo& p = lumorafx::ParamAt(i);
    const char* text = mlt_properties_get(properties, p.name);
    if (text == nullptr) continue;
    if (i == lumorafx::kLibrary) options->library = text;
    else if (i == lumorafx::kEffect) options->effect = text;
    else options->values[i] = mlt_properties_anim_get_double(properties, p.name, position, length);
  }
}

// yuv422 in the colour space the frame was made in, else the profile's.
PixelLayout YuvLayout(mlt_transition transition, mlt_frame frame) {
  int space = mlt_properties_get_int(MLT_FRAME_PROPERTIES(frame), "colorspace");
  if (space <= 0) {
    mlt_profile profile = mlt_service_profile(MLT_TRANSITION_SERVICE(transition));
    space = profile != nullptr ? profile->colorspace : 601;
  }
  return space == 709 ? PixelLayout::Yuv709 : PixelLayout::Yuv601;
}

int GetImage(mlt_frame a_frame, uint8_t** image, mlt_image_format* format, int* width, int* height, int /*writable*/) {
  mlt_frame b_frame = mlt_frame_pop_frame(a_frame);
  auto transition = static_cast<mlt_transition>(mlt_frame_pop_service(a_frame));
  *format = *format == mlt_image_rgba ? mlt_image_rgba : mlt_image_yuv422;
  int error = mlt_frame_get_image(a_frame, image, format, width, height, 1);
  if (error != 0 || b_frame == nullptr) return error;
  if (*format != mlt_image_rgba && *format != mlt_image_yuv422) {
    lumorafx::ReportOnce("clip A came as an image format other than yuv422 or rgba; it passes through");
    return 0;
  }
  uint8_t* b_image = nullptr;
  mlt_image_format b_format = *format;
  int b_width = *width, b_height = *height;
  if (mlt_frame_get_image(b_frame, &b_image, &b_format, &b_width, &b_height, 0) != 0 || b_format != *format ||
      b_width != *width || b_height != *height) {
    lumorafx::ReportOnce("clip B came in another size or format than clip A; clip A passes through");
    return 0;
  }
  const PixelLayout layout = *format == mlt_image_rgba ? PixelLayout::Rgba : YuvLayout(transition, a_frame);
  mlt_service_lock(MLT_TRANSITION_SERVICE(transition));
  try {
    Mixer* mixer = MixerFor(MLT_TRANSITION_PROPERTIES(transition), *width, *height, layout);
    ReadOptions(transition, a_frame, &mixer->options());
    mixer->Update(*image, b_image, *image);
  } catch (const std::exception& e) {
    lumorafx::ReportOnce(std::string("a frame failed (") + e.what() + "); clip A passes through");
  }
  mlt_service_unlock(MLT_TRANSITION_SERVICE(transition));
  return 0;
}

mlt_frame Process(mlt_transition transition, mlt_frame a_frame, mlt_frame b_frame) {
  mlt_frame_push_service(a_frame, transition);
  mlt_frame_push_frame(a_frame, b_frame);
  mlt_frame_push_get_image(a_frame, GetImage);
  return a_frame;
}

mlt_transition Init(mlt_profile, mlt_service_type, const char*, char* arg) {
  mlt_transition transition = mlt_transition_new();
  if (transition == nullptr) return nullptr;
  transition->process = Process;
  mlt_properties properties = MLT_TRANSITION_PROPERTIES(transition);
  // A video transition: the tractor leaves the sound alone.
  mlt_properties_set_int(properties, "_transition_type", 1);
  if (arg != nullptr && *arg != '\0') mlt_properties_set(properties, "effect", arg);
  return transition;
}

// The service's description, from the data folder MLT reads (MLT_DATA/lumorafx).
mlt_properties Metadata(mlt_service_type, const char*, void* file) {
  char path[PATH_MAX];
  std::snprintf(path, sizeof path, "%s/lumorafx/%s", mlt_environment("MLT_DATA"), static_cast<const char*>(file));
  return mlt_properties_parse_yaml(path);
}

}  // namespace

extern "C" MLT_REPOSITORY {
  MLT_REGISTER(mlt_service_transition_type, "lumorafx", Init);
  MLT_REGISTER_METADATA(mlt_service_transition_type, "lumorafx", Metadata,
                        const_cast<char*>("transition_lumorafx.yml"));
}
