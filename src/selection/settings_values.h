// The ten registry values behind the Settings page, read and written in one go.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lmx {

struct SettingsValues {
  uint32_t effDisplay = 0;                // "Eff_Display"
  std::optional<std::string> orgFile;     // "OrgFile"; none: unreadable / no list selection
  uint32_t effAutoreverse = 0;            // "Eff_Autoreverse"
  uint32_t prevQuality = 0;               // "Prev_Quality"
  std::optional<std::string> prevEngine;  // "Prev_Engine"
  uint32_t prevFrames = 0;                // "Prev_Frames"
  uint32_t prevRender = 0;                // "Prev_Render"
  uint32_t prevSpeed = 0;                 // "Prev_Speed"
  std::optional<std::string> engine;      // "Engine"
  uint32_t rndLogging = 0;                // "Rnd_Logging"
};

// Missing 32-bit values read as 0; a string that cannot be read is none.
SettingsValues ReadSettingsValues();

// Writes all ten values in the page's order, failures ignored. A string that is none
// leaves its value unchanged; the two engine entries are stored up to their first blank.
void WriteSettingsValues(const SettingsValues& values);

}  // namespace lmx
