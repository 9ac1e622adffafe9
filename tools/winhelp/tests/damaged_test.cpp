// Damaged help files: the reader refuses each with a reason that names what is wrong,
// and never reads outside the file (the native build runs this under AddressSanitizer).
#include <gtest/gtest.h>

#include <algorithm>

#include "help_test_util.h"
#include "library/bytes.h"
#include "winhelp/hlp_format.h"
#include "winhelp/hlp_reader.h"

namespace winhelp::test {
namespace {

std::string Refusal(const std::vector<uint8_t>& bytes) {
  HelpFile file;
  std::string error;
  EXPECT_FALSE(ReadHelpFile(bytes, &file, &error));
  return error;
}

// Offset of an internal file's header, found through the directory as written.
uint32_t InternalOffset(const std::vector<uint8_t>& bytes, const std::string& name) {
  HelpFile file;
  std::string error;
  EXPECT_TRUE(ReadHelpFile(bytes, &file, &error)) << error;
  for (const InternalFileEntry& f : file.files)
    if (f.name == name) return f.offset;
  ADD_FAILURE() << name << " not found";
  return 0;
}

class DamagedHelp : public ::testing::Test {
 protected:
  void SetUp() override { good_ = Build(LargeProject(40)); }
  std::vector<uint8_t> good_;
};

TEST_F(DamagedHelp, EveryCutIsRefusedAsCutShort) {
  for (size_t size = 0; size < good_.size(); size += 97) {
    SCOPED_TRACE(size);
    const std::vector<uint8_t> cut(good_.begin(), good_.begin() + long(size));
    EXPECT_EQ(Refusal(cut).rfind("file cut short", 0), 0u) << Refusal(cut);
  }
}

TEST_F(DamagedHelp, DamagedDirectoryAndInternalFilesAreNamed) {
  const size_t tree = lmx::LoadU32(good_.data() + kDirectoryStartAt) + kInternalHeaderSize;
  const size_t firstEntry = tree + kBTreeHeaderSize + kLeafHeaderSize;
  const size_t nameEnd = firstEntry + std::string(reinterpret_cast<const char*>(&good_[firstEntry])).size() + 1;
  const size_t firstRecord = InternalOffset(good_, "|TOPIC") + kInternalHeaderSize + kTopicBlockHeaderSize;
  const uint32_t system = InternalOffset(good_, "|SYSTEM") + kInternalHeaderSize;
  // The viewer copies the caption from a fixed offset of the window record, whatever its size.
  const uint8_t windowHeader[] = {uint8_t(kSystemWindow), 0, uint8_t(kWindowRecordSize), 0};
  const size_t window = size_t(std::search(good_.begin() + system, good_.end(), std::begin(windowHeader),
                                           std::end(windowHeader)) - good_.begin());
  ASSERT_LT(window, good_.size());
  // The viewer indexes its font table with a paragraph's font number unchecked. The first
  // paragraph follows the first header; in its format: compressed long (2), compressed
  // ushort (1), 4 bytes, bits (2), space below (1), then the font command.
  const size_t paragraph = firstRecord + lmx::LoadU32(good_.data() + firstRecord + kLinkBlockSizeAt);
  ASSERT_EQ(good_[paragraph + kLinkTypeAt], kRecordParagraph);
  const size_t font = paragraph + kLinkHeaderSize + 2 + 1 + 4 + 2 + 1;
  ASSERT_EQ(good_[font], kCmdFont);
  const struct {
    const char* name;
    size_t at;
    int width;  // bytes of the value
    uint32_t value;
    const char* expected;
  } cases[] = {
      {"foreign file", 0, 1, 'M', "not a help file"},
      {"magic", tree + kBTreeMagicAt, 2, 0x1234, "internal directory damaged: not a B+ tree"},
      {"pages", tree + kBTreePagesAt, 2, 9, "internal directory damaged: B+ tree of 9 pages, but its file holds 1"},
      {"root", tree + kBTreeRootAt, 2, 5, "internal directory damaged: B+ tree leaf chain names page 5 of 1"},
      {"levels", tree + kBTreeLevelsAt, 2, 0, "internal directory damaged: B+ tree of 0 levels"},
      {"entry count", tree + kBTreeHeaderSize + 2, 2, 300, "internal directory damaged: B+ tree page 0: entry"},
      {"chain", tree + kBTreeHeaderSize + 6, 2, 0, "internal directory damaged: B+ tree leaf chain runs in a circle"},
      {"directory past the end", kDirectoryStartAt, 4, uint32_t(good_.size()) - 4,
       "internal directory damaged: internal file directory at"},
      {"file past end", nameEnd, 4, uint32_t(good_.size()) + 100, "internal directory damaged: internal file |CONTEXT"},
      {"record past the end", firstRecord + kLinkBlockSizeAt, 4, 0x7FFFFFF0, "|TOPIC: record at 0xC: sizes run past"},
      {"compressed text", firstRecord + kLinkDataLen2At, 4, 1000, "|TOPIC: record at 0xC: compressed text is not read"},
      {"chain backwards", firstRecord + kLinkNextAt, 4, 0x0C, "|TOPIC: record at 0xC goes back"},
      {"unknown record", firstRecord + kLinkTypeAt, 1, 0x23, "|TOPIC: record at 0xC: record type 0x23"},
      {"system magic", system + kSystemMagicAt, 2, 0x1111, "|SYSTEM: not a WinHelp"},
      {"compressed blocks", system + kSystemFlagsAt, 2, 4, "|SYSTEM: compressed topic blocks"},
      {"font table", InternalOffset(good_, "|FONT") + kInternalHeaderSize + 2, 2, 0xFFFF, "|FONT: face or descriptor"},
      {"map count", InternalOffset(good_, "|CTXOMAP") + kInternalHeaderSize, 2, 0xFFFF, "|CTXOMAP: 65535 entries"},
      {"window record size", window + 2, 1, kWindowRecordSize - 1, "|SYSTEM: window record of 89 bytes"},
      {"font number", font + 1, 1, 9, "|TOPIC: record at 0x45: paragraph uses font 9 of 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> b = good_;
    for (int i = 0; i < c.width; ++i) b[c.at + size_t(i)] = uint8_t(c.value >> (8 * i));
    const std::string why = Refusal(b);
    EXPECT_EQ(why.rfind(c.expected, 0), 0u) << why;  // the reason comes first
  }
}

}  // namespace
}  // namespace winhelp::test
