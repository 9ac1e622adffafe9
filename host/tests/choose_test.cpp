// A host keeps what the sheet wrote only when the user confirms.
#include <gtest/gtest.h>

#include <cstring>

#include "choose.h"

namespace lmx::host {
namespace {

// Stand-ins for LMXGUI_Select: each writes into the block it is given, as the pages do,
// and ends with its own result (0 OK, 1 cancelled, 2 no sheet).
int32_t lastFilterMode = -1;
template <int16_t kResult>
int16_t __cdecl Select(HWND, EffectSettings* block, int32_t filterMode) {
  lastFilterMode = filterMode;
  std::strcpy(block->effectName, "CHANGED");
  block->generalValues[Shadows] = 1;
  return kResult;
}

EffectSettings Original() {
  EffectSettings block{};
  std::strcpy(block.effectName, "BEFORE");
  block.generalValues[Direction] = 1;
  return block;
}

TEST(ChooseTransition, OkKeepsWhatThePagesWrote) {
  EffectSettings block = Original();
  EXPECT_EQ(ChooseTransition(Select<0>, nullptr, &block, true), 0);
  EXPECT_STREQ(block.effectName, "CHANGED");
  EXPECT_EQ(block.generalValues[Shadows], 1.0f);
  EXPECT_EQ(block.generalValues[Direction], 1.0f) << "untouched values stay";
  EXPECT_EQ(lastFilterMode, 1);
}

TEST(ChooseTransition, CancelAndFailureKeepThePreviousBlock) {
  for (SelectFn select : {Select<1>, Select<2>}) {
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
