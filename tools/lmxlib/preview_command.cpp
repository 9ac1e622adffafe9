// lmxlib preview EFFECT -o FILE [options]: renders an effect's preview through the engine
// into an animated GIF (FILE.gif) or a strip of frames side by side (FILE.png).
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "frame_params.h"
#include "library/effect_record.h"
#include "lmxlib/command.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/gif_writer.h"
#include "lmxlib/png_writer.h"
#include "lmxlib/preview_settings.h"
#include "lmxlib/record_walk.h"
#include "lmxlib/texture_format.h"
#include "render_frame.h"

namespace lmxlib {
namespace {

namespace fs = std::filesystem;

struct Options {
  std::string effect, output, textures, settingsFile;
  std::vector<std::string> sets;
  int frames = 20, size = 64, delay = 8;
};

// The effect's file as the engine reads it: an .LMI, or a JSON source built in memory.
bool LoadEffect(const std::string& path, lmx::EffectRecord* record, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, &bytes, error)) return false;
  if (UpperExtension(path) == "JSON") {
    try {
      bytes = EncodeEffect(ParseEffect(Json::parse(bytes.begin(), bytes.end())));
    } catch (const std::exception& e) {
      *error = e.what();
      return false;
    }
  }
  Walk walk = WalkChunks(bytes);
  if (walk.header != lmx::kEffectHeader) {
    *error = "not an effect file";
    return false;
  }
  for (const WalkRecord& r : walk.records) record->ApplyRecord({r.tag, r.length, r.data});
  return true;
}

// Textures 01 to 03 of the preview size: from DIR (an installation's TEXTURES), found
// next to the effect's EFFECTS directory, or drawn here.
std::vector<std::vector<uint8_t>> LoadTextures(const Options& o, const std::string& effectPath, int* side) {
  const char* prefix = o.size <= 32 ? "PREVS_" : (o.size <= 64 ? "PREVM_" : "PREVL_");
  std::string dir = o.textures;
  if (dir.empty()) {
    fs::path candidate = fs::path(effectPath).parent_path().parent_path() / "TEXTURES";
    std::error_code ec;
    if (fs::is_directory(candidate, ec)) dir = candidate.string();
  }
  std::vector<std::vector<uint8_t>> out;
  *side = 0;
  for (int i = 1; i <= 3 && !dir.empty(); ++i) {
    std::string path = (fs::path(dir) / (std::string(prefix) + "0" + std::to_string(i) + ".LMT")).string();
    std::vector<uint8_t> bytes;
    std::string error;
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> pixels;
    if (ReadFileBytes(path, &bytes, &error)) pixels = TexturePixelsOf(WalkChunks(bytes), &w, &h);
    if (pixels.empty() || w != h || (*side != 0 && static_cast<int>(w) != *side)) {
      out.clear();
      break;
    }
    *side = static_cast<int>(w);
    out.push_back(std::move(pixels));
  }
  if (out.size() == 3) return out;
  // Drawn stand-ins: a warm picture going, a cool one coming, a grey floor.
  *side = o.size;
  out.assign(3, std::vector<uint8_t>(static_cast<size_t>(o.size) * o.size * 4, 255));
  for (int y = 0; y < o.size; ++y)
    for (int x = 0; x < o.size; ++x) {
      uint8_t* p0 = &out[0][(static_cast<size_t>(y) * o.size + x) * 4];
      uint8_t* p1 = &out[1][(static_cast<size_t>(y) * o.size + x) * 4];
      uint8_t* p2 = &out[2][(static_cast<size_t>(y) * o.size + x) * 4];
      bool check = ((x * 8 / o.size) + (y * 8 / o.size)) % 2 == 0;
      p0[0] = 40, p0[1] = static_cast<uint8_t>(80 + 120 * x / o.size), p0[2] = check ? 230 : 180;
      p1[0] = check ? 230 : 170, p1[1] = static_cast<uint8_t>(80 + 120 * y / o.size), p1[2] = 40;
      p2[0] = p2[1] = p2[2] = static_cast<uint8_t>(60 + 80 * y / o.size);
    }
  return out;
}

bool ParseArgs(const Args& args, Options* o, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--frames" || a == "--size" || a == "--textures" || a == "--settings" || a == "--set" ||
         a == "--delay") && !hasValue) {
      err << "lmxlib preview: " << a << " needs a value\n";
      return false;
    }
    if (a == "-o") o->output = args[++i];
    else if (a == "--frames") o->frames = std::atoi(args[++i].c_str());
    else if (a == "--size") o->size = std::atoi(args[++i].c_str());
    else if (a == "--delay") o->delay = std::atoi(args[++i].c_str());
    else if (a == "--textures") o->textures = args[++i];
    else if (a == "--settings") o->settingsFile = args[++i];
    else if (a == "--set") o->sets.push_back(args[++i]);
    else if (!a.empty() && a[0] == '-') {
      err << "lmxlib preview: unknown option " << a << "\n";
      return false;
    } else if (o->effect.empty()) o->effect = a;
    else {
      err << "lmxlib preview: more than one effect\n";
      return false;
    }
  }
  if (o->effect.empty() || o->output.empty()) {
    err << "usage: lmxlib preview EFFECT -o FILE.gif|FILE.png [--frames N] [--size 32|64|128] [--delay CS]\n"
           "       [--textures DIR] [--settings FILE] [--set NAME=VALUE]...\n";
    return false;
  }
  if (o->frames < 1 || o->frames > 200 || o->size < 8 || o->size > 512 || o->delay < 1 || o->delay > 1000) {
    err << "lmxlib preview: frames 1 to 200, size 8 to 512, delay 1 to 1000 hundredths of a second\n";
    return false;
  }
  return true;
}

}  // namespace

int RunPreview(const Args& args, std::ostream& out, std::ostream& err) {
  Options o;
  if (!ParseArgs(args, &o, err)) return kExitUsage;
  const std::string ext = UpperExtension(o.output);
  if (ext != "GIF" && ext != "PNG") {
    err << "lmxlib preview: the output is a .gif or a .png\n";
    return kExitUsage;
  }
  lmx::EffectRecord record;
  std::string error;
  if (!LoadEffect(o.effect, &record, &error)) {
    err << "lmxlib preview: " << o.effect << ": " << error << "\n";
    return kExitFindings;
  }

  // The block as the front end leaves it after picking the effect: its name and its
  // options' defaults; then the author's settings.
  lmx::EffectSettings settings{};
  record.GetShortName(settings.effectName);
  settings.specialCount = std::min<uint32_t>(record.optionCount(), lmx::kSpecialSlots);
  for (uint32_t i = 0; i < settings.specialCount; ++i) {
    lmx::EffectOption option = record.option(i);
    settings.specialValues[i] = {0, option.tag, option.defaultValue};
  }
  if (!o.settingsFile.empty() && !ApplySettingsFile(settings, o.settingsFile, &error)) {
    err << "lmxlib preview: " << error << "\n";
    return kExitUsage;
  }
  for (const std::string& s : o.sets) {
    if (!ApplySetting(settings, s, &error)) {
      err << "lmxlib preview: " << error << "\n";
      return kExitUsage;
    }
  }

  int side = 0;
  std::vector<std::vector<uint8_t>> textures = LoadTextures(o, o.effect, &side);
  lmx::RenderJob job{};
  for (int i = 0; i < 3; ++i) {
    lmx::TextureImage& t = job.textures[i];
    t.formatCode = lmx::kTextureFormat;
    t.width = t.height = t.extentWidth = t.extentHeight = static_cast<uint32_t>(side);
    t.scaleX = t.scaleY = 1;
    t.pixels = textures[i].data();
    t.bytesPerPixel = 4;
  }
  std::vector<GifFrame> frames(static_cast<size_t>(o.frames));
  job.frameWidth = job.frameHeight = static_cast<uint32_t>(o.size);
  job.objectCount = record.objectCount();
  lmx::TextureImage& target = job.target;
  target.formatCode = lmx::kTargetFormat;
  target.width = target.height = target.extentWidth = target.extentHeight = static_cast<uint32_t>(o.size);
  target.scaleX = target.scaleY = 1;
  target.bytesPerPixel = 4;
  lmx::engine::EffectShape shape;
  shape.kind = lmx::engine::KnownKind(record.secondType());
  shape.objectCount = record.objectCount();
  shape.found = true;
  const lmx::engine::FrameParams params = lmx::engine::ReadFrameParams(settings);
  for (int k = 0; k < o.frames; ++k) {
    frames[k].bgra.assign(static_cast<size_t>(o.size) * o.size * 4, 0);
    target.pixels = frames[k].bgra.data();
    // Positions as the preview gives them: frame k of the preview, or the effect's still
    // position on a scale of 100 for a single frame.
    if (o.frames > 1) {
      job.position = k, job.lastPosition = o.frames - 1;
    } else {
      job.lastPosition = 100;
      job.position = static_cast<int32_t>(record.bestPosition());
      if (settings.generalValues[lmx::Direction] == 1.0f) job.position = 100 - job.position;
    }
    lmx::engine::RenderShape(params, shape, job);
  }

  std::vector<uint8_t> bytes;
  if (ext == "GIF") {
    bytes = EncodeGif(o.size, o.size, frames, o.delay);
  } else {
    // Frames side by side, top-down RGB rows.
    int width = o.size * o.frames;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * o.size * 3);
    for (int k = 0; k < o.frames; ++k)
      for (int y = 0; y < o.size; ++y)
        for (int x = 0; x < o.size; ++x) {
          const uint8_t* p = &frames[k].bgra[(static_cast<size_t>(o.size - 1 - y) * o.size + x) * 4];
          uint8_t* q = &rgb[(static_cast<size_t>(y) * width + k * o.size + x) * 3];
          q[0] = p[2], q[1] = p[1], q[2] = p[0];
        }
    bytes = EncodePng(width, o.size, rgb);
  }
  if (bytes.empty() || !WriteFileBytes(o.output, bytes, &error)) {
    err << "lmxlib preview: " << o.output << ": cannot write: " << error << "\n";
    return kExitFindings;
  }
  out << o.output << ": " << o.frames << " frame" << (o.frames == 1 ? "" : "s") << " of " << o.size << " x "
      << o.size << ", " << lmx::kMotionKinds[static_cast<uint32_t>(shape.kind)].name << "\n";
  return kExitOk;
}

}  // namespace lmxlib
