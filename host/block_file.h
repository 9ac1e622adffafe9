// The host's settings block kept in a file between runs: the raw 1016 bytes, nothing else.
#pragma once

#include <string>

#include "model/effect_settings.h"

namespace lmx::host {

enum class BlockLoad {
  Loaded,      // the file held exactly one block
  Missing,     // no such file: a first run
  WrongSize,   // the file is shorter or longer than one block
  Unreadable,  // the file exists but cannot be read
};

// Reads the block from path. On anything but Loaded the block is all zeros, which is what
// a host passes before the user has ever chosen an effect.
BlockLoad LoadBlockFile(const std::string& path, EffectSettings* block);

// Writes the block to path through a temporary file beside it, so that a failed write
// never leaves a damaged block behind. False when the block could not be stored.
bool SaveBlockFile(const std::string& path, const EffectSettings& block);

// A line for the user about a load result other than Loaded, or "" for Loaded.
std::string DescribeBlockLoad(BlockLoad result, const std::string& path);

}  // namespace lmx::host
