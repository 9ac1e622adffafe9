#include <cstring>

#include "preview/preview.h"

namespace lmx {

void WriteSettings(SheetSession& session, const std::function<void(EffectSettings*)>& change) {
  EffectSettings* block = session.sheet.hostSettings;
  if (!block) {
    change(nullptr);
    return;
  }
  EffectSettings values;
  std::memcpy(&values, block, sizeof values);
  change(&values);
  if (std::memcmp(&values, block, sizeof values) == 0) return;
  auto write = [&] { std::memcpy(block, &values, sizeof values); };
  if (session.buffers.renderLock) WriteBetweenRenders(session.render, *session.buffers.renderLock, write);
  else write();  // without the buffers no render runs, nor can one start
}

}  // namespace lmx
