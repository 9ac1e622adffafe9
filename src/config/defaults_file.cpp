#include "config/defaults_file.h"

#include <cstring>

#include "config/library_path.h"
#include "platform/file.h"
#include "platform/user_message.h"

namespace lmx {
namespace {

constexpr const char* kSaveCaption = "Could not save defaults";

bool DefaultsPath(char (&path)[kMediumPathSize]) {
  return BuildLibraryPath(path, sizeof path, "Work", "Defaults", "LRI");
}

}  // namespace

void SaveDefaults(const EffectSettings* block) {
  if (!block) return;
  char path[kMediumPathSize];
  if (!DefaultsPath(path)) {
    platform::ShowStopMessage("Error settings filename for defaults.", kSaveCaption);
    return;
  }
  platform::File file = platform::File::Create(path);
  if (!file.IsOpen()) {
    platform::ShowStopMessage("Could not create defaults file.", kSaveCaption);
    return;
  }
  if (!file.Write(block, sizeof *block))
    platform::ShowStopMessage("Could not write to defaults file.", kSaveCaption);
  file.Close();
}

void LoadDefaults(EffectSettings* block) {
  if (!block) return;
  char path[kMediumPathSize];
  if (!DefaultsPath(path)) return;
  platform::File file = platform::File::OpenRead(path, false);
  if (!file.IsOpen()) return;
  unsigned char image[sizeof(EffectSettings)];
  uint32_t got = 0;
  const bool read = file.Read(image, sizeof image, &got);
  file.Close();
  if (read && got == sizeof image) std::memcpy(block, image, sizeof image);
}

}  // namespace lmx
