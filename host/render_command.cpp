#include "render_command.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "block_file.h"
#include "block_text.h"
#include "bmp_read.h"
#include "final_render.h"
#include "gui_library.h"
#include "install_path.h"

namespace fs = std::filesystem;

namespace lmx::host {
namespace {

int Fail(const std::string& text) {
  std::fprintf(stderr, "lmxhost render: %s\n", text.c_str());
  return 1;
}

extern "C" int16_t __cdecl IgnoreProgress(int32_t) { return 0; }

std::string FrameName(int k) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%04d.bmp", k);
  return name;
}

}  // namespace

int RunRender(const HostOptions& o) {
  EffectSettings block;
  const BlockLoad loaded = LoadBlockFile(o.blockPath, &block);
  if (loaded != BlockLoad::Loaded)
    return Fail(DescribeBlockLoad(loaded, o.blockPath) + "; choose a transition with lmxhost select");
  const std::string effect = EffectNameOf(block);
  if (effect.empty()) return Fail(o.blockPath + " names no transition; choose one with lmxhost select");

  Image clips[2];
  std::string error;
  for (int i = 0; i < 2; ++i)
    if (!ReadBmp(o.clips[size_t(i)], kMaxFrameSide, &clips[i], &error)) return Fail(error);

  const std::string enginePath = InstalledFile("LIBS\\LMX.DLL");
  if (enginePath.empty()) return Fail("no installation: the registry value \"Path\" is not set");
  ModuleHandle engine(LoadLibraryA(enginePath.c_str()));
  if (!engine) return Fail("cannot load " + enginePath + " (error " + std::to_string(GetLastError()) + ")");
  const auto render =
      reinterpret_cast<RenderEntryFn>(reinterpret_cast<void*>(GetProcAddress(engine.get(), "LMX_Render")));
  if (!render) return Fail(enginePath + " has no LMX_Render");

  std::error_code ec;
  fs::create_directories(o.outputDir, ec);
  if (ec) return Fail("cannot make " + o.outputDir + ": " + ec.message());
  FinalRender job(clips[0], clips[1], o.width, o.height, o.frames, IgnoreProgress);
  for (int k = 0; k < o.frames; ++k) {
    const int32_t result = render(&block, job.Frame(k), 1);
    if (result != 0)
      return Fail("the engine could not render frame " + std::to_string(k) + " (result " + std::to_string(result) +
                  ")");
    const std::string path = (fs::path(o.outputDir) / FrameName(k)).string();
    if (!WriteBmp24(path, job.Target())) return Fail("cannot write " + path);
  }
  std::printf("rendered %s: %d frames of %d x %d into %s\n", effect.c_str(), o.frames, o.width, o.height,
              o.outputDir.c_str());
  return 0;
}

}  // namespace lmx::host
