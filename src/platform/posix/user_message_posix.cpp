#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/posix/posix_seams.h"
#include "platform/user_message.h"

namespace lmx::platform {
namespace {
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
