// WriteFileSafely in both builds (natively and under Wine): a write replaces its target
// whole, and every failure leaves the folder as it was, old file byte for byte. (That a
// replaced file keeps its permissions is in lmxlib's conventions_test, through a link.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/safe_write.h"
#include "common/tests/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace lmx {
namespace {

namespace fs = std::filesystem;

using Folder = test::TempDir;

std::vector<std::string> Names(const Folder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SafeWrite, ReplacesTheTargetWholeAndLeavesNothingElse) {
  Folder folder;
  std::string error;
  const std::vector<uint8_t> first(100000, 0xAB), second = {1, 2, 3};
  ASSERT_TRUE(WriteFileSafely(folder / "FILE.LMI", first, &error)) << error;
  EXPECT_EQ(test::ReadBytes(folder / "FILE.LMI"), first);
  ASSERT_TRUE(WriteFileSafely(folder / "FILE.LMI", second, &error)) << error;
  EXPECT_EQ(test::ReadBytes(folder / "FILE.LMI"), second);
  ASSERT_TRUE(WriteFileSafely(folder / "EMPTY", {}, &error)) << error;
  EXPECT_TRUE(test::ReadBytes(folder / "EMPTY").empty());
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"EMPTY", "FILE.LMI"}));
}

TEST(SafeWrite, FailuresSayWhyAndLeaveTheFolderAsItWas) {
  Folder folder;
  fs::create_directory(folder / "DIR.LMI");
  for (const char* target : {"missing/FILE.LMI", "DIR.LMI"}) {
    std::string error;
    EXPECT_FALSE(WriteFileSafely(folder / target, {1}, &error)) << target;
    EXPECT_FALSE(error.empty()) << target;
  }
  EXPECT_TRUE(fs::is_directory(folder / "DIR.LMI"));
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"DIR.LMI"}));
}

#ifdef _WIN32
TEST(SafeWrite, ATargetHeldOpenWithoutSharingStaysAsItWas) {
  Folder folder;
  std::string error;
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  ASSERT_TRUE(WriteFileSafely(folder / "HELD.ORG", old, &error)) << error;
  HANDLE held = CreateFileA((folder / "HELD.ORG").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFileSafely(folder / "HELD.ORG", std::vector<uint8_t>(5000, 7), &error));
  EXPECT_FALSE(error.empty());
  CloseHandle(held);
  EXPECT_EQ(test::ReadBytes(folder / "HELD.ORG"), old);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"HELD.ORG"}));
}
#endif

}  // namespace
}  // namespace lmx
