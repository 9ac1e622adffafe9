#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/posix/posix_seams.h"
#include "platform/user_message.h"

namespace lmx::platform {
namespace {
// The POSIX stand-in for the system's message box records what it would have shown, for
// the native tests to read; a message box is process-wide, so its record is too.
std::mutex g_lock;
std::vector<posix::ShownMessage> g_shown;
}  // namespace

void ShowStopMessage(const char* text, const char* caption) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_shown.push_back({text ? text : "", caption ? caption : ""});
}

namespace posix {
std::vector<ShownMessage> TakeShownMessages() {
  std::lock_guard<std::mutex> hold(g_lock);
  return std::exchange(g_shown, {});
}
}  // namespace posix

}  // namespace lmx::platform
