// lumorafx.so: the frei0r entry points. A "mixer2" plugin: f0r_update2 gets clip A (the
// outgoing clip) and clip B (the incoming one) and writes the transition's frame. Nothing
// thrown inside reaches the host: a frame that fails passes clip A through.
// frei0r.h declares C functions without a C++ guard.
extern "C" {
#include <frei0r.h>
}

#include <cstring>
#include <exception>
#include <memory>
#include <new>

#include "mixer.h"
#include "parameters.h"
#include "report.h"

using lumorafx::Mixer;
using lumorafx::ParamType;
using lumorafx::PixelLayout;

namespace {

Mixer* MixerOf(f0r_instance_t instance) { return static_cast<Mixer*>(instance); }

const uint8_t* Bytes(const uint32_t* frame) { return reinterpret_cast<const uint8_t*>(frame); }

bool IsParam(int index) { return index >= 0 && index < lumorafx::kParamCount; }

int FrameType(ParamType type) {
  switch (type) {
    case ParamType::String: return F0R_PARAM_STRING;
    case ParamType::Bool: return F0R_PARAM_BOOL;
    case ParamType::Double: break;
  }
  return F0R_PARAM_DOUBLE;
}

std::string* StringParam(Mixer* mixer, int index) {
  if (index == lumorafx::kLibrary) return &mixer->options().library;
  if (index == lumorafx::kEffect) return &mixer->options().effect;
  return nullptr;
}

}  // namespace

extern "C" {

int f0r_init() { return 1; }

void f0r_deinit() {}

void f0r_get_plugin_info(f0r_plugin_info_t* info) {
  if (info == nullptr) return;
  info->name = "Lumora FX";
  info->author = "Lumora FX";
  info->plugin_type = F0R_PLUGIN_TYPE_MIXER2;
  info->color_model = F0R_COLOR_MODEL_RGBA8888;
  info->frei0r_version = FREI0R_MAJOR_VERSION;
  info->major_version = 1;
  info->minor_version = 0;
  info->num_params = lumorafx::kParamCount;
  info->explanation =
      "3-D transitions from a Lumora FX effect library: the clips become pieces that fly, turn and fold";
}

void f0r_get_param_info(f0r_param_info_t* info, int param_index) {
  if (info == nullptr || !IsParam(param_index)) return;
  const lumorafx::ParamInfo& p = lumorafx::ParamAt(param_index);
  info->name = p.name;
  info->type = FrameType(p.type);
  info->explanation = p.explanation;
}

f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
  try {
    // The host holds the instance until f0r_destruct takes it back.
    return std::make_unique<Mixer>(width, height, PixelLayout::Rgba).release();
  } catch (const std::exception& e) {
    lumorafx::ReportOnce(std::string("cannot make an instance: ") + e.what());
    return nullptr;
  }
}

void f0r_destruct(f0r_instance_t instance) { std::unique_ptr<Mixer> owned(MixerOf(instance)); }

void f0r_set_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
  Mixer* mixer = MixerOf(instance);
  if (mixer == nullptr || param == nullptr || !IsParam(param_index)) return;
  try {
    if (std::string* text = StringParam(mixer, param_index)) {
      const char* value = *static_cast<f0r_param_string*>(param);
      text->assign(value != nullptr ? value : "");
    } else {
      mixer->options().values[param_index] = *static_cast<const double*>(param);
    }
  } catch (const std::exception& e) {
    lumorafx::ReportOnce(std::string("cannot keep a parameter: ") + e.what());
  }
}

void f0r_get_param_value(f0r_instance_t instance, f0r_param_t param, int param_index) {
  Mixer* mixer = MixerOf(instance);
  if (mixer == nullptr || param == nullptr || !IsParam(param_index)) return;
  // A string stays valid until the parameter is set again or the instance is destroyed.
  if (std::string* text = StringParam(mixer, param_index)) {
    *static_cast<f0r_param_string*>(param) = const_cast<char*>(text->c_str());
  } else {
    *static_cast<double*>(param) = mixer->options().values[param_index];
  }
}

// MLT gives `time` as the frames since the transition's start over the frame rate: not a
// share of the transition, whose length it does not pass. The position comes from the
// "position" parameter, which MLT animates over the transition's length.
void f0r_update2(f0r_instance_t instance, double /*time*/, const uint32_t* inframe1, const uint32_t* inframe2,
                 const uint32_t* /*inframe3*/, uint32_t* outframe) {
  Mixer* mixer = MixerOf(instance);
  if (mixer == nullptr) return;
  try {
    mixer->Update(Bytes(inframe1), Bytes(inframe2), reinterpret_cast<uint8_t*>(outframe));
  } catch (const std::exception& e) {
    lumorafx::ReportOnce(std::string("a frame failed (") + e.what() + "); clip A passes through");
    mixer->PassThrough(Bytes(inframe1), reinterpret_cast<uint8_t*>(outframe));
  }
}

}  // extern "C"
