#include "lmxlib/preview_settings.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "lmxlib/command.h"
#include "motion_kinds.h"

namespace lmxlib {

namespace {

struct Name {
  const char* name;
  int index;
};

const Name kGeneral[] = {
    {"Direction", lmx::Direction},       {"RenderMode", lmx::RenderMode},
    {"Quality", lmx::Quality},           {"ImageQuality", lmx::ImageQuality},
    {"AntiAliasing", lmx::AntiAliasing}, {"Lighting", lmx::Lighting},
    {"Shadows", lmx::Shadows},           {"BlurPercent", lmx::BlurPercent},
    {"BlurCount", lmx::BlurCount},       {"CenterObjects", lmx::CenterObjects},
    {"LightDirection", lmx::LightDirection}, {"FilterFrames", lmx::FilterFrames},
    {"FilterPercent", lmx::FilterPercent},   {"FilterSource", lmx::FilterSource},
    {"TransitionPeriod", lmx::TransitionPeriod}, {"FrameField", lmx::FrameField},
};

const Name kObject[] = {
    {"Shine", lmx::Shine},           {"Transparency", lmx::Transparency}, {"Luminosity", lmx::Luminosity},
    {"TrailCount", lmx::TrailCount}, {"ChangePeriod", lmx::ChangePeriod}, {"PathRotation", lmx::PathRotation},
    {"RotatesWithPath", lmx::RotatesWithPath}, {"TrailSpacing", lmx::TrailSpacing},
};

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

void SetSpecial(lmx::EffectSettings& s, uint16_t tag, float value) {
  uint32_t count = s.specialCount < lmx::kSpecialSlots ? s.specialCount : lmx::kSpecialSlots;
  for (uint32_t i = 0; i < count; ++i) {
    if (s.specialValues[i].tag == tag) {
      s.specialValues[i].value = value;
      return;
    }
  }
  if (count < lmx::kSpecialSlots) {
    s.specialValues[count] = {0, tag, value};
    s.specialCount = count + 1;
  }
}

}  // namespace

bool ApplySetting(lmx::EffectSettings& settings, const std::string& assignment, std::string* error) {
  size_t eq = assignment.find('=');
  if (eq == std::string::npos) {
    *error = "\"" + assignment + "\" is not NAME=VALUE";
    return false;
  }
  std::string name = Trim(assignment.substr(0, eq)), text = Trim(assignment.substr(eq + 1));
  char* end = nullptr;
  float value = std::strtof(text.c_str(), &end);
  if (text.empty() || end == nullptr || *end != '\0') {
    *error = "\"" + text + "\" is not a number";
    return false;
  }
  int object = -1;
  size_t bracket = name.find('[');
  if (bracket != std::string::npos && name.back() == ']') {
    object = std::atoi(name.substr(bracket + 1).c_str());
    name = name.substr(0, bracket);
    if (object < 0 || object >= lmx::kObjectRows) {
      *error = "object index out of 0.." + std::to_string(lmx::kObjectRows - 1);
      return false;
    }
  }
  if (object < 0) {
    for (const Name& n : kGeneral) {
      if (SameName(name, n.name)) {
        settings.generalValues[n.index] = value;
        return true;
      }
    }
    for (const lmx::OptionTagInfo& t : lmx::kOptionTags) {
      if (SameName(name, t.name)) {
        SetSpecial(settings, t.tag, value);
        return true;
      }
    }
  }
  for (const Name& n : kObject) {
    if (SameName(name, n.name)) {
      for (int o = 0; o < lmx::kObjectRows; ++o)
        if (object < 0 || o == object) settings.objectValues[o][n.index] = value;
      return true;
    }
  }
  *error = "unknown setting \"" + name + "\"";
  return false;
}

bool ApplySettingsFile(lmx::EffectSettings& settings, const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, &bytes, error)) {
    *error = path + ": " + *error;
    return false;
  }
  if (bytes.size() == sizeof(lmx::EffectSettings)) {
    // The effect previewed stays; the block's option values count only when the block
    // is for the same effect, as when the front end picks an effect.
    lmx::EffectSettings before = settings;
    std::memcpy(&settings, bytes.data(), sizeof settings);
    if (std::strncmp(settings.effectName, before.effectName, sizeof before.effectName) != 0) {
      settings.specialCount = before.specialCount;
      std::memcpy(settings.specialValues, before.specialValues, sizeof before.specialValues);
    }
    std::memcpy(settings.effectName, before.effectName, sizeof before.effectName);
    return true;
  }
  std::istringstream lines(std::string(bytes.begin(), bytes.end()));
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    if (Trim(line).empty()) continue;
    if (!ApplySetting(settings, line, error)) {
      *error = path + ":" + std::to_string(number) + ": " + *error;
      return false;
    }
  }
  return true;
}

}  // namespace lmxlib
