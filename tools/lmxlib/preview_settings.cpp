#include "lmxlib/preview_settings.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "lmxlib/cli.h"
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

// Sets the slot of one of the effect's own options; false when the effect has none with
// that tag (the engine would never read the value).
bool SetSpecial(lmx::EffectSettings& s, uint16_t tag, float value) {
  uint32_t count = s.specialCount < lmx::kSpecialSlots ? s.specialCount : lmx::kSpecialSlots;
  for (uint32_t i = 0; i < count; ++i) {
    if (s.specialValues[i].tag == tag) {
      s.specialValues[i].value = value;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ApplySetting(lmx::EffectSettings& settings, const std::string& assignment, std::string* error,
                  int objectCount) {
  size_t eq = assignment.find('=');
  if (eq == std::string::npos) {
    *error = "\"" + assignment + "\" is not NAME=VALUE";
    return false;
  }
  std::string name = Trim(assignment.substr(0, eq)), text = Trim(assignment.substr(eq + 1));
  // Every value of the block is a whole number (held as a float).
  long whole = 0;
  if (!ParseWhole(text, -1000000, 1000000, &whole)) {
    *error = name + ": \"" + text + "\" is not a whole number";
    return false;
  }
  const auto value = float(whole);
  int object = -1;
  const size_t bracket = name.find('[');
  if (bracket != std::string::npos) {
    long index = 0;
    const std::string inside = name.back() == ']' ? name.substr(bracket + 1, name.size() - bracket - 2) : "";
    if (name.back() != ']' || !ParseWhole(inside, 0, lmx::kObjectRows - 1, &index)) {
      *error = name + ": the object index is a whole number from 0 to " + std::to_string(lmx::kObjectRows - 1);
      return false;
    }
    object = int(index);
    name = name.substr(0, bracket);
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
        if (SetSpecial(settings, t.tag, value)) return true;
        *error = "the effect has no option tagged \"" + name + "\"";
        return false;
      }
    }
  }
  for (const Name& n : kObject) {
    if (SameName(name, n.name)) {
      if (object >= objectCount) {
        *error = name + "[" + std::to_string(object) + "]: the effect has " + std::to_string(objectCount) +
                 " object(s)" + (objectCount > 0 ? ", indices 0 to " + std::to_string(objectCount - 1) : "");
        return false;
      }
      for (int o = 0; o < lmx::kObjectRows; ++o)
        if (object < 0 || o == object) settings.objectValues[o][n.index] = value;
      return true;
    }
  }
  for (const Name& n : kGeneral)
    if (SameName(name, n.name)) {
      *error = name + " is a general value, not one per object";
      return false;
    }
  *error = "unknown setting \"" + name + "\"";
  return false;
}

bool ApplySettingsFile(lmx::EffectSettings& settings, const std::string& path, std::string* error,
                       int objectCount) {
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
    if (!ApplySetting(settings, line, error, objectCount)) {
      *error = path + ":" + std::to_string(number) + ": " + *error;
      return false;
    }
  }
  return true;
}

}  // namespace lmxlib
