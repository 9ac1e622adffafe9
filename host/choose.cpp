#include "choose.h"

namespace lmx::host {

int16_t ChooseTransition(SelectFn select, HWND owner, EffectSettings* block, bool filterMode) {
  // The pages write into the block as the user works, and a cancel restores nothing:
  // hand them a copy and keep it only when the user confirms.
  EffectSettings working = *block;
  int16_t result = select(owner, &working, filterMode ? 1 : 0);
  if (result == 0) *block = working;
  return result;
}

const char* DescribeSelectResult(int16_t result) {
  switch (result) {
    case 0: return "OK";
    case 1: return "cancelled";
    case 2: return "the selection sheet cannot be created";
    default: return "an unknown result";
  }
}

}  // namespace lmx::host
