// Failures the user must see: a message box with no owner window, a stop icon and a
// single OK button.
#pragma once

namespace lmx::platform {

void ShowStopMessage(const char* text, const char* caption);

}  // namespace lmx::platform
