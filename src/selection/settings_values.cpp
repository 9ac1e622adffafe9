#include "selection/settings_values.h"

#include "config/engine_list.h"
#include "config/registry.h"

namespace lmx {
namespace {

constexpr uint32_t kStringRoom = 1024;

std::optional<std::string> ReadString(const char* name) {
  char buffer[kStringRoom] = {};
  if (!ReadRegistryString(buffer, sizeof buffer, name)) return std::nullopt;
  buffer[kStringRoom - 1] = '\0';
  return std::string(buffer);
}

void WriteString(const char* name, const std::optional<std::string>& text) {
  if (text) WriteRegistryString(name, text->c_str());
}

void WriteIdentifier(const char* name, const std::optional<std::string>& entry) {
  if (entry) WriteRegistryString(name, EngineIdentifier(*entry).c_str());
}

}  // namespace

SettingsValues ReadSettingsValues() {
  SettingsValues v;
  v.effDisplay = ReadRegistryDword("Eff_Display");
  v.orgFile = ReadString("OrgFile");
  v.effAutoreverse = ReadRegistryDword("Eff_Autoreverse");
  v.prevQuality = ReadRegistryDword("Prev_Quality");
  v.prevEngine = ReadString("Prev_Engine");
  v.prevFrames = ReadRegistryDword("Prev_Frames");
  v.prevRender = ReadRegistryDword("Prev_Render");
  v.prevSpeed = ReadRegistryDword("Prev_Speed");
  v.engine = ReadString("Engine");
  v.rndLogging = ReadRegistryDword("Rnd_Logging");
  return v;
}

void WriteSettingsValues(const SettingsValues& v) {
  WriteRegistryDword("Eff_Display", v.effDisplay);
  WriteString("OrgFile", v.orgFile);
  WriteRegistryDword("Eff_Autoreverse", v.effAutoreverse);
  WriteRegistryDword("Prev_Quality", v.prevQuality);
  WriteIdentifier("Prev_Engine", v.prevEngine);
  WriteRegistryDword("Prev_Frames", v.prevFrames);
  WriteRegistryDword("Prev_Render", v.prevRender);
  WriteRegistryDword("Prev_Speed", v.prevSpeed);
  WriteIdentifier("Engine", v.engine);
  WriteRegistryDword("Rnd_Logging", v.rndLogging);
}

}  // namespace lmx
