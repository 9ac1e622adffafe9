#include "library/organization.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
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
using Names = std::vector<std::string>;

class OrganizationTest : public ::testing::Test {
 protected:
  void Plant(const std::string& name, const ChunkWriter& w) { install_.Write("ORGS/" + name + ".ORG", w.bytes()); }
  static Names Entries(const Organization& org, int group) {
    Names names;
    for (int e = 0; e < org.EntryCount(group); ++e) names.push_back(org.EntryName(group, e));
    return names;
  }
  static Names Groups(const Organization& org) {
    Names names;
    for (int g = 0; g < org.GroupCount(); ++g) names.push_back(org.GroupAt(g)->name);
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
  EXPECT_EQ(Groups(org_), (Names{"Wipes", "Empty", "Tiles"}));
  EXPECT_EQ(Entries(org_, 0), (Names{"WIPE1", "WIPE2"}));
  EXPECT_EQ(Entries(org_, 1), Names{});
  EXPECT_EQ(Entries(org_, 2), Names{"TILES16"});
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
  EXPECT_EQ(Groups(org_), (Names{std::string(40, 'n'), std::string(40, 'm')}));
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
  EXPECT_EQ(Entries(org_, 0), (Names{"TOOLONGN", "NOZERO", "AB", "", "", "LAST"}));
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
  // Group and entry of each name: exact, case-sensitive matches only (no prefix).
  const std::tuple<const char*, int, int> lookups[] = {
      {"SHARED", 0, 1}, {"ONLY1", 1, 0}, {"shared", -1, -1}, {"SHARE", -1, -1}, {"SHAREDX", -1, -1}, {nullptr, -1, -1}};
  for (auto [name, group, entry] : lookups) {
    EXPECT_EQ(org_.FindGroupOf(name), group) << (name ? name : "null");
    EXPECT_EQ(org_.FindEntryOf(name), entry) << (name ? name : "null");
  }
  // Range rules of the look-ups.
  EXPECT_STREQ(org_.EntryName(1, 2), "C");
  for (auto [group, entry] : {std::pair{1, 3}, {1, -1}, {-1, 0}, {3, 0}})
    EXPECT_EQ(org_.EntryName(group, entry), nullptr) << group << "," << entry;
  for (int group : {-1, 3}) {
    EXPECT_EQ(org_.GroupAt(group), nullptr) << group;
    EXPECT_EQ(org_.EntryCount(group), 0) << group;
  }
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
  EXPECT_EQ(Groups(org_), Names{"Kept"});
  EXPECT_EQ(Entries(org_, 0), Names{"FIRST"});
}

TEST_F(OrganizationTest, ReadingAgainReplacesEverything) {
  Plant("A", ChunkWriter(kOrganizationHeader).Text(kGroup, "A").Text(kItem, "AFX"));
  Plant("B", ChunkWriter(kOrganizationHeader).Text(kGroup, "B"));
  ASSERT_EQ(ReadInstalledOrganization(org_, "A"), 1);
  ASSERT_EQ(ReadInstalledOrganization(org_, "B"), 1);
  EXPECT_EQ(Groups(org_), Names{"B"});
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
  std::vector<uint8_t> bmp = {40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0};
  bmp.resize(44);
  bmp[40] = 0xAB;
  install_.Write("EFFECTS/HASICON.BMP", bmp);

  platform::MovableBlock icon(LoadInstalledIcon(org_, 0, 0));
  ASSERT_TRUE(icon);
  {
    platform::LockedBlock lock(icon.get());
    ASSERT_NE(lock.data(), nullptr);
    EXPECT_EQ(static_cast<const uint8_t*>(lock.data())[40], 0xAB);
  }
  for (auto [group, entry] : {std::pair{0, 1}, {0, 2}, {1, 0}, {-1, 0}})
    EXPECT_EQ(LoadInstalledIcon(org_, group, entry), nullptr) << group << "," << entry;
}

}  // namespace
}  // namespace lmx
