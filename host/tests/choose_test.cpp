// A host keeps what the sheet wrote only when the user confirms.
#include <gtest/gtest.h>

#include <cstring>

#include "choose.h"

namespace lmx::host {
namespace {

// Stand-ins for LMXGUI_Select: each writes into the block it is given, as the pages do,
// and ends with its own result.
int32_t lastFilterMode = -1;
int16_t Scribble(EffectSettings* block, int32_t filterMode, int16_t result) {
  lastFilterMode = filterMode;
  std::strcpy(block->effectName, "CHANGED");
  block->generalValues[Shadows] = 1;
  return result;
}
int16_t __cdecl SelectOk(HWND, EffectSettings* block, int32_t filter) { return Scribble(block, filter, 0); }
int16_t __cdecl SelectCancel(HWND, EffectSettings* block, int32_t filter) { return Scribble(block, filter, 1); }
int16_t __cdecl SelectNoSheet(HWND, EffectSettings* block, int32_t filter) { return Scribble(block, filter, 2); }

EffectSettings Original() {
  EffectSettings block;
  std::memset(&block, 0, sizeof block);
  std::strcpy(block.effectName, "BEFORE");
  block.generalValues[Direction] = 1;
  return block;
}

TEST(ChooseTransition, OkKeepsWhatThePagesWrote) {
  EffectSettings block = Original();
  EXPECT_EQ(ChooseTransition(SelectOk, nullptr, &block, true), 0);
  EXPECT_STREQ(block.effectName, "CHANGED");
  EXPECT_EQ(block.generalValues[Shadows], 1.0f);
  EXPECT_EQ(block.generalValues[Direction], 1.0f) << "untouched values stay";
  EXPECT_EQ(lastFilterMode, 1);
}

TEST(ChooseTransition, CancelAndFailureKeepThePreviousBlock) {
  for (SelectFn select : {SelectCancel, SelectNoSheet}) {
    EffectSettings block = Original(), before = Original();
    int16_t result = ChooseTransition(select, nullptr, &block, false);
    EXPECT_NE(result, 0);
    EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0) << "result " << result;
    EXPECT_EQ(lastFilterMode, 0);
  }
  EXPECT_STREQ(DescribeSelectResult(1), "cancelled");
  EXPECT_STREQ(DescribeSelectResult(2), "the selection sheet cannot be created");
}

}  // namespace
}  // namespace lmx::host
