#include <windows.h>

#include "platform/user_message.h"

namespace lmx::platform {

void ShowStopMessage(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONSTOP);
}

}  // namespace lmx::platform
