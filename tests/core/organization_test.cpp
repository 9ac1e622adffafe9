#include "library/organization.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/bytes.h"
#include "library/dib.h"
#include "support/registry_control.h"
#include "support/test_install.h"

namespace lmx {
namespace {

constexpr uint32_t kGroup = FourCC("OGRP");
constexpr uint32_t kItem = FourCC("OITM");

class OrganizationTest : public ::testing::Test {
 protected:
  void Plant(const std::string& name, const ChunkWriter& w) { install_.Write("ORGS/" + name + ".ORG", w.bytes()); }
  static std::vector<std::string> Entries(const Organization& org, int group) {
    std::vector<std::string> names;
    for (int e = 0; e < org.EntryCount(group); ++e) names.push_back(org.EntryName(group, e));
    return names;
  }
  test::TestInstall install_;
  Organization org_;
};

TEST_F(OrganizationTest, GroupsAndEntriesKeepFileOrder) {
  ChunkWriter w(kOrganizationHeader);
  w.Text(kItem, "EARLY")  // before any group: goes nowhere
      .Text(kGroup, "Wipes").Text(kItem, "WIPE1").Text(kItem, "WIPE2")
      .Record(FourCC("JUNK"), "xyz", 3)
      .Text(kGroup, "Empty")
      .Text(kGroup, "Tiles").Text(kItem, "TILES16");
  Plant("MINE", w);
  ASSERT_EQ(ReadInstalledOrganization(org_, "MINE"), 1);
  ASSERT_EQ(org_.GroupCount(), 3);
  EXPECT_STREQ(org_.GroupAt(0)->name, "Wipes");
  EXPECT_STREQ(org_.GroupAt(1)->name, "Empty");
  EXPECT_STREQ(org_.GroupAt(2)->name, "Tiles");
  EXPECT_EQ(Entries(org_, 0), (std::vector<std::string>{"WIPE1", "WIPE2"}));
  EXPECT_EQ(org_.EntryCount(1), 0);
  EXPECT_EQ(Entries(org_, 2), (std::vector<std::string>{"TILES16"}));
  EXPECT_EQ(org_.FindGroupOf("EARLY"), -1);
}

TEST_F(OrganizationTest, HeaderOnlyFileReadsAsNoGroups) {
  Plant("EMPTY", ChunkWriter(kOrganizationHeader));
  ASSERT_EQ(ReadInstalledOrganization(org_, "EMPTY"), 1);
  EXPECT_EQ(org_.GroupCount(), 0);
  EXPECT_EQ(org_.GroupAt(0), nullptr);
  EXPECT_EQ(org_.EntryCount(0), 0);
  EXPECT_EQ(org_.EntryName(0, 0), nullptr);
  EXPECT_EQ(org_.FindGroupOf("ANY"), -1);
  EXPECT_EQ(org_.FindEntryOf("ANY"), -1);
  EXPECT_EQ(org_.FindGroupOf(""), -1);
  EXPECT_EQ(LoadInstalledIcon(org_, 0, 0), nullptr);
}

TEST_F(OrganizationTest, GroupLimits) {
  ChunkWriter w(kOrganizationHeader);
  w.Text(kGroup, std::string(45, 'n'));
  for (int i = 0; i < 17; ++i) w.Text(kItem, "FX" + std::to_string(i));
  w.Text(kGroup, std::string(40, 'm'));
  Plant("LIMITS", w);
  ASSERT_EQ(ReadInstalledOrganization(org_, "LIMITS"), 1);
  ASSERT_EQ(org_.GroupCount(), 2);
  EXPECT_EQ(std::string(org_.GroupAt(0)->name), std::string(40, 'n'));
  EXPECT_EQ(std::string(org_.GroupAt(1)->name), std::string(40, 'm'));
  ASSERT_EQ(org_.EntryCount(0), 16);
  EXPECT_STREQ(org_.EntryName(0, 15), "FX15");
  EXPECT_EQ(org_.FindGroupOf("FX16"), -1);  // the 17th was dropped
}

TEST_F(OrganizationTest, OddEntryTextsAreCutInsideTheirSlot) {
  ChunkWriter w(kOrganizationHeader);
  w.Text(kGroup, "G")
      .Text(kItem, "TOOLONGNAME")        // 11 characters: the slot keeps 8
      .Record(kItem, "NOZERO", 6)        // no terminating zero: ends with the payload
      .Record(kItem, "AB\0CD", 6)        // text ends at its first zero
      .Text(kItem, "")                   // an empty name is an entry all the same,
      .Record(kItem, nullptr, 0)         // so the ones after it keep their indices
      .Text(kItem, "LAST")
      .Record(kGroup, "Unended", 7);     // group name without its zero
  Plant("ODD", w);
  ASSERT_EQ(ReadInstalledOrganization(org_, "ODD"), 1);
  EXPECT_EQ(Entries(org_, 0), (std::vector<std::string>{"TOOLONGN", "NOZERO", "AB", "", "", "LAST"}));
  EXPECT_EQ(org_.FindEntryOf("LAST"), 5);
  EXPECT_STREQ(org_.GroupAt(1)->name, "Unended");
  EXPECT_EQ(org_.FindGroupOf("TOOLONGNAME"), -1);
  EXPECT_EQ(org_.FindGroupOf("TOOLONGN"), 0);
}

TEST_F(OrganizationTest, LookupsTakeTheFirstGroupAndAreCaseSensitive) {
  ChunkWriter w(kOrganizationHeader);
  w.Text(kGroup, "Zero").Text(kItem, "OTHER").Text(kItem, "SHARED").Text(kItem, "SHARED")
      .Text(kGroup, "One").Text(kItem, "ONLY1").Text(kItem, "B").Text(kItem, "C")
      .Text(kGroup, "Two").Text(kItem, "SHARED");
  Plant("FIND", w);
  ASSERT_EQ(ReadInstalledOrganization(org_, "FIND"), 1);
  EXPECT_EQ(org_.FindGroupOf("SHARED"), 0);
  EXPECT_EQ(org_.FindEntryOf("SHARED"), 1);
  EXPECT_EQ(org_.FindGroupOf("ONLY1"), 1);
  EXPECT_EQ(org_.FindEntryOf("ONLY1"), 0);
  EXPECT_EQ(org_.FindGroupOf("shared"), -1);
  EXPECT_EQ(org_.FindEntryOf("shared"), -1);
  EXPECT_EQ(org_.FindGroupOf("SHARE"), -1);    // a prefix is not a match
  EXPECT_EQ(org_.FindGroupOf("SHAREDX"), -1);
  EXPECT_EQ(org_.FindGroupOf(nullptr), -1);
  // Range rules of the look-ups.
  EXPECT_EQ(org_.EntryName(1, 3), nullptr);
  EXPECT_STREQ(org_.EntryName(1, 2), "C");
  EXPECT_EQ(org_.EntryName(1, -1), nullptr);
  EXPECT_EQ(org_.EntryName(-1, 0), nullptr);
  EXPECT_EQ(org_.EntryName(3, 0), nullptr);
  EXPECT_EQ(org_.GroupAt(-1), nullptr);
  EXPECT_EQ(org_.GroupAt(3), nullptr);
  EXPECT_EQ(org_.EntryCount(-1), 0);
  EXPECT_EQ(org_.EntryCount(3), 0);
}

TEST_F(OrganizationTest, DamagedThirdRecordKeepsTheFirstTwo) {
  ChunkWriter w(kOrganizationHeader);
  w.Text(kGroup, "Kept").Text(kItem, "FIRST");
  std::vector<uint8_t> bytes = w.bytes();
  ChunkWriter third(kOrganizationHeader);
  third.Text(kItem, "LOST");
  // The third record's header and half its payload.
  bytes.insert(bytes.end(), third.bytes().begin() + 4, third.bytes().end() - 3);
  install_.Write("ORGS/CUT.ORG", bytes);
  EXPECT_EQ(ReadInstalledOrganization(org_, "CUT"), 0);
  ASSERT_EQ(org_.GroupCount(), 1);
  EXPECT_EQ(Entries(org_, 0), (std::vector<std::string>{"FIRST"}));
}

TEST_F(OrganizationTest, ReadingAgainReplacesEverything) {
  Plant("A", ChunkWriter(kOrganizationHeader).Text(kGroup, "A").Text(kItem, "AFX"));
  Plant("B", ChunkWriter(kOrganizationHeader).Text(kGroup, "B"));
  ASSERT_EQ(ReadInstalledOrganization(org_, "A"), 1);
  ASSERT_EQ(ReadInstalledOrganization(org_, "B"), 1);
  ASSERT_EQ(org_.GroupCount(), 1);
  EXPECT_EQ(org_.FindGroupOf("AFX"), -1);

  // Failures leave nothing behind: a missing file, another kind of file, no "Path".
  Plant("WRONG", ChunkWriter(FourCC("LMXI")).Text(kGroup, "X"));
  for (const char* name : {"MISSING", "WRONG"}) {
    ASSERT_EQ(ReadInstalledOrganization(org_, "A"), 1);
    EXPECT_EQ(ReadInstalledOrganization(org_, name), 0) << name;
    EXPECT_EQ(org_.GroupCount(), 0) << name;
  }
  ASSERT_EQ(ReadInstalledOrganization(org_, "A"), 1);
  test::DeleteRegistryValue("Path");
  EXPECT_EQ(ReadInstalledOrganization(org_, "A"), 0);
  EXPECT_EQ(org_.GroupCount(), 0);
  EXPECT_EQ(ReadInstalledOrganization(org_, nullptr), 0);
}

TEST_F(OrganizationTest, EntryIconsComeFromTheEffectsDirectory) {
  Plant("ICONS", ChunkWriter(kOrganizationHeader).Text(kGroup, "G").Text(kItem, "HASICON").Text(kItem, "NOICON"));
  ASSERT_EQ(ReadInstalledOrganization(org_, "ICONS"), 1);
  // A 1 x 1 true-colour bitmap without file header.
  std::vector<uint8_t> bmp(44, 0);
  StoreU32(bmp.data(), 40);
  StoreU32(bmp.data() + 4, 1);
  StoreU32(bmp.data() + 8, 1);
  bmp[12] = 1;
  bmp[14] = 24;
  bmp[40] = 0xAB;
  install_.Write("EFFECTS/HASICON.BMP", bmp);

  platform::MovableBlock icon(LoadInstalledIcon(org_, 0, 0));
  ASSERT_TRUE(icon);
  {
    platform::LockedBlock lock(icon.get());
    ASSERT_NE(lock.data(), nullptr);
    EXPECT_EQ(static_cast<const uint8_t*>(lock.data())[40], 0xAB);
  }
  EXPECT_EQ(LoadInstalledIcon(org_, 0, 1), nullptr);
  EXPECT_EQ(LoadInstalledIcon(org_, 0, 2), nullptr);
  EXPECT_EQ(LoadInstalledIcon(org_, 1, 0), nullptr);
  EXPECT_EQ(LoadInstalledIcon(org_, -1, 0), nullptr);
}

}  // namespace
}  // namespace lmx
