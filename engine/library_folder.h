// An effect library named by its folder instead of the registry's "Path": how a host that
// is not the front end (the frei0r plugin for MLT editors) points the engine at an
// installation. The files are read with the front end's own readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effect_source.h"
#include "model/effect_option.h"
#include "model/effect_settings.h"

namespace lmx::engine {

enum class FolderRead {
  Ok,
  NoFolder,  // the library folder does not exist
  BadName,   // the effect name is empty or not a plain file name
  Missing,   // no EFFECTS/<NAME>.LMI in the folder
  Damaged,   // the file is there but nothing usable could be read from it
};

struct FolderEffect {
  EffectShape shape;
  // The block as the front end leaves it after picking the effect: its short name and its
  // options' defaults; every general and per-object value 0.
  EffectSettings settings{};
  // The options the block's special values hold, in the same order.
  std::vector<EffectOption> options;
};

// Reads <folder>/EFFECTS/<NAME>.LMI, the name taken in upper case (short names are the
// installation's file names, which are upper case). A file damaged after its first records
// reads as far as it is readable (Ok), as the engine reads it from an installation.
FolderRead ReadFolderEffect(const std::string& folder, const std::string& name, FolderEffect* out);

// A texture's pixels (4 bytes each, B, G, R, A, rows bottom-up), owned.
struct FolderTexture {
  std::vector<uint8_t> pixels;
  uint32_t width = 0;
  uint32_t height = 0;
};

// Reads <folder>/TEXTURES/<name>.LMT. False (and an empty texture) when it is missing,
// damaged or has no pixels.
bool ReadFolderTexture(const std::string& folder, const char* name, FolderTexture* out);

}  // namespace lmx::engine
