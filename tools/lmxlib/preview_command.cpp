// lmxlib preview EFFECT -o FILE [options]: renders an effect's preview through the engine
// into an animated GIF (FILE.gif) or a strip of frames side by side (FILE.png).
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "frame_params.h"
#include "library/effect_record.h"
#include "lmxlib/cli.h"
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
  bool progress = false;
  bool terminal = false;  // progress overwrites its line
};

const CommandInfo kCommand = {
    "preview", "EFFECT",
    "Renders an effect's preview through the engine into an animated GIF (adaptive palette, dithered)\n"
    "or a PNG strip of the frames side by side. EFFECT is an effect file (.LMI) or its JSON source.",
    1, 1,
    {{"--output", "-o", "FILE", "FILE.gif or FILE.png (replaced in one step)", Use::Required},
     {"--frames", nullptr, "N", "frames from 1 to 200 (default 20); 1 shows the effect's still position", Use::Optional},
     {"--size", nullptr, "S", "frame side in pixels, 8 to 512 (default 64); the front end uses 32, 64 or 128",
      Use::Optional},
     {"--delay", nullptr, "CS", "GIF frame time in hundredths of a second, 1 to 1000 (default 8)", Use::Optional},
     {"--textures", nullptr, "DIR", "a TEXTURES folder to take pictures 01 to 03 from", Use::Optional},
     {"--settings", nullptr, "FILE", "a defaults file (.LRI) or lines of NAME=VALUE", Use::Optional},
     {"--set", nullptr, "NAME=VALUE", "one general, per-object (NAME[i]) or option value", Use::Repeatable},
     {"--progress", nullptr, nullptr, "show progress on stderr (shown unasked on a terminal)", Use::Optional}},
    "Exit status 1 when the effect or a texture is damaged: the preview is then written as the readers\n"
    "see the files, with a warning for each problem.\n"};

// The effect's file as the engine reads it: an .LMI, or a JSON source built in memory.
// Problems of a damaged file go to *warnings; the record holds what the reader made of it.
bool LoadEffect(const std::string& path, lmx::EffectRecord* record, std::vector<std::string>* warnings,
                std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, &bytes, error)) return false;
  if (UpperExtension(path) == "JSON") {
    try {
      bytes = EncodeEffect(ParseEffect(ParseJsonText(bytes)));
    } catch (const SourceError& e) {
      *error = e.what();
      return false;
    }
  }
  Walk walk = WalkChunks(bytes);
  if (walk.header != lmx::kEffectHeader) {
    *error = "not an effect file";
    return false;
  }
  *warnings = DecodeEffect(walk).problems;
  for (const WalkRecord& r : walk.records) record->ApplyRecord({r.tag, r.length, r.data});
  return true;
}

// Textures 01 to 03 of the preview size: from DIR (an installation's TEXTURES), found
// next to the effect's EFFECTS directory, or drawn here. A texture that is there but
// cannot be used adds a warning, and all three are drawn.
std::vector<std::vector<uint8_t>> LoadTextures(const Options& o, const std::string& effectPath, int* side,
                                               std::vector<std::string>* warnings) {
  const char* prefix = o.size <= 32 ? "PREVS_" : (o.size <= 64 ? "PREVM_" : "PREVL_");
  std::string dir = o.textures;
  if (dir.empty()) {
    fs::path candidate = PathOf(effectPath).parent_path().parent_path() / "TEXTURES";
    std::error_code ec;
    if (fs::is_directory(candidate, ec)) dir = TextOf(candidate);
  }
  std::vector<std::vector<uint8_t>> out;
  *side = 0;
  for (int i = 1; i <= 3 && !dir.empty(); ++i) {
    std::string path = TextOf(PathOf(dir) / (std::string(prefix) + "0" + std::to_string(i) + ".LMT"));
    std::vector<uint8_t> bytes;
    std::string error;
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> pixels;
    if (ReadFileBytes(path, &bytes, &error)) {
      const Walk walk = WalkChunks(bytes);
      pixels = TexturePixelsOf(walk, &w, &h);
      if (walk.end != WalkEnd::Complete || walk.header != kTextureHeader) error = "damaged texture file";
      else if (pixels.empty()) error = "no usable pixels";
      else if (w != h || (*side != 0 && static_cast<int>(w) != *side)) error = "not square, or not the size of 01";
    }
    if (!error.empty()) {
      warnings->push_back(path + ": " + error + "; drawn pictures stand in for textures 01 to 03");
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

// Every wrong value gets its own message; false when there was one.
bool ReadOptions(const ParsedArgs& a, Options* o, std::ostream& err) {
  bool ok = true;
  auto whole = [&](const char* name, long minimum, long maximum, int* value) {
    if (!a.Has(name)) return;
    long v = 0;
    if (ParseWhole(a.Get(name), minimum, maximum, &v)) {
      *value = int(v);
      return;
    }
    err << "lmxlib preview: " << name << " \"" << a.Get(name) << "\": a whole number from " << minimum << " to "
        << maximum << "\n";
    ok = false;
  };
  whole("--frames", 1, 200, &o->frames);
  whole("--size", 8, 512, &o->size);
  whole("--delay", 1, 1000, &o->delay);
  o->effect = a.operands[0];
  o->output = a.Get("--output");
  o->textures = a.Get("--textures");
  o->settingsFile = a.Get("--settings");
  o->sets = a.All("--set");
  // Only the process's own standard error can be a terminal (not a test's stream).
  o->terminal = &err == &std::cerr && ErrorIsTerminal();
  o->progress = a.Has("--progress") || o->terminal;
  const std::string ext = UpperExtension(o->output);
  if (ext != "GIF" && ext != "PNG") {
    err << "lmxlib preview: -o \"" << o->output << "\": the output is a .gif or a .png\n";
    ok = false;
  }
  std::error_code ec;
  if (!o->textures.empty() && !fs::is_directory(PathOf(o->textures), ec)) {
    err << "lmxlib preview: --textures \"" << o->textures << "\": no such folder\n";
    ok = false;
  }
  for (const std::string& input : {o->effect, o->settingsFile})
    if (!input.empty() && SameFile(input, o->output)) {
      err << "lmxlib preview: -o \"" << o->output << "\" is an input; write the preview elsewhere\n";
      ok = false;
    }
  return ok;
}

// "frame 12/60, about 30 s left" on one line of a terminal, or as lines elsewhere.
void ShowProgress(int done, int total, double elapsedSeconds, bool terminal, std::ostream& err) {
  const double left = done > 0 ? elapsedSeconds / done * (total - done) : 0.0;
  err << (terminal ? "\r" : "") << "lmxlib preview: frame " << done << "/" << total << ", about "
      << static_cast<long>(left + 0.5) << " s left" << (terminal ? "   " : "\n");
  if (done == total && terminal) err << "\n";
  err.flush();
}

}  // namespace

int RunPreview(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  if (int status = ParseCommandLine(kCommand, args, &a, out, err); status >= 0) return status;
  Options o;
  if (!ReadOptions(a, &o, err)) return kExitUsage;
  const std::string ext = UpperExtension(o.output);
  lmx::EffectRecord record;
  std::string error;
  std::vector<std::string> warnings;
  if (!LoadEffect(o.effect, &record, &warnings, &error)) {
    err << "lmxlib preview: " << o.effect << ": " << error << "\n";
    return kExitFindings;
  }
  for (std::string& w : warnings) w = o.effect + ": " + w;

  // The block as the front end leaves it after picking the effect: its name and its
  // options' defaults; then the author's settings.
  lmx::EffectSettings settings{};
  record.GetShortName(settings.effectName);
  settings.specialCount = std::min<uint32_t>(record.optionCount(), lmx::kSpecialSlots);
  for (uint32_t i = 0; i < settings.specialCount; ++i) {
    lmx::EffectOption option = record.option(i);
    settings.specialValues[i] = {0, option.tag, option.defaultValue};
  }
  const int objects = static_cast<int>(std::min<uint32_t>(record.objectCount(), lmx::kObjectRows));
  if (!o.settingsFile.empty() && !ApplySettingsFile(settings, o.settingsFile, &error, objects)) {
    err << "lmxlib preview: " << error << "\n";
    return kExitUsage;
  }
  for (const std::string& s : o.sets) {
    if (!ApplySetting(settings, s, &error, objects)) {
      err << "lmxlib preview: " << error << "\n";
      return kExitUsage;
    }
  }

  int side = 0;
  std::vector<std::vector<uint8_t>> textures = LoadTextures(o, o.effect, &side, &warnings);
  for (const std::string& w : warnings) err << "lmxlib preview: warning: " << w << "\n";
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
  const auto start = std::chrono::steady_clock::now();
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
    if (o.progress)
      ShowProgress(k + 1, o.frames, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                   o.terminal, err);
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
  if (bytes.empty()) error = "the picture could not be encoded";
  if (bytes.empty() || !WriteFileBytes(o.output, bytes, &error)) {
    err << "lmxlib preview: cannot write " << o.output << ": " << error << "\n";
    return kExitFindings;
  }
  out << o.output << ": " << o.frames << " frame" << (o.frames == 1 ? "" : "s") << " of " << o.size << " x "
      << o.size << ", " << lmx::kMotionKinds[static_cast<uint32_t>(shape.kind)].name << "\n";
  return warnings.empty() ? kExitOk : kExitFindings;
}

}  // namespace lmxlib
