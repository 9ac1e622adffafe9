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

class OrganizationTest : public ::testing::Test {
 protected:
  // Plants the file and reads it into org_; the reader's result.
  int Read(const std::string& name, const ChunkWriter& w) {
    install_.Write("ORGS/" + name + ".ORG", w.bytes());
    return ReadInstalledOrganization(org_, name.c_str());
  }
  // Every group with its entries: "Group[A,B] Other[]".
  std::string Layout() const {
    std::string text;
    for (int g = 0; g < org_.GroupCount(); ++g) {
      text += std::string(g ? " " : "") + org_.GroupAt(g)->name + "[";
      for (int e = 0; e < org_.EntryCount(g); ++e) text += std::string(e ? "," : "") + org_.EntryName(g, e);
      text += "]";
    }
    return text;
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
  ASSERT_EQ(Read("MINE", w), 1);
  EXPECT_EQ(Layout(), "Wipes[WIPE1,WIPE2] Empty[] Tiles[TILES16]");
  EXPECT_EQ(org_.FindGroupOf("EARLY"), -1);
}

TEST_F(OrganizationTest, HeaderOnlyFileReadsAsNoGroups) {
  ASSERT_EQ(Read("EMPTY", ChunkWriter(kOrganizationHeader)), 1);
  EXPECT_EQ(org_.GroupCount(), 0);
  EXPECT_EQ(org_.GroupAt(0), nullptr);
  EXPECT_EQ(org_.EntryCount(0), 0);
  EXPECT_EQ(org_.EntryName(0, 0), nullptr);
  for (const char* name : {"ANY", ""}) {
    EXPECT_EQ(org_.FindGroupOf(name), -1);
    EXPECT_EQ(org_.FindEntryOf(name), -1);
  }
  EXPECT_EQ(LoadInstalledIcon(org_, 0, 0), nullptr);
}

TEST_F(OrganizationTest, GroupLimits) {
  ChunkWriter w(kOrganizationHeader);
  w.Text(kGroup, std::string(45, 'n'));
  std::string entries;
  for (int i = 0; i < 17; ++i) {
    w.Text(kItem, "FX" + std::to_string(i));
    if (i < 16) entries += (i ? ",FX" : "FX") + std::to_string(i);  // the 17th is dropped
  }
  w.Text(kGroup, std::string(40, 'm'));
  ASSERT_EQ(Read("LIMITS", w), 1);
  EXPECT_EQ(Layout(), std::string(40, 'n') + "[" + entries + "] " + std::string(40, 'm') + "[]");
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
  ASSERT_EQ(Read("ODD", w), 1);
  EXPECT_EQ(Layout(), "G[TOOLONGN,NOZERO,AB,,,LAST] Unended[]");
  EXPECT_EQ(org_.FindEntryOf("LAST"), 5);
  EXPECT_EQ(org_.FindGroupOf("TOOLONGNAME"), -1);
  EXPECT_EQ(org_.FindGroupOf("TOOLONGN"), 0);
}

TEST_F(OrganizationTest, LookupsTakeTheFirstGroupAndAreCaseSensitive) {
  ChunkWriter w(kOrganizationHeader);
  w.Text(kGroup, "Zero").Text(kItem, "OTHER").Text(kItem, "SHARED").Text(kItem, "SHARED")
      .Text(kGroup, "One").Text(kItem, "ONLY1").Text(kItem, "B").Text(kItem, "C")
      .Text(kGroup, "Two").Text(kItem, "SHARED");
  ASSERT_EQ(Read("FIND", w), 1);
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
  std::vector<uint8_t> bytes = ChunkWriter(kOrganizationHeader).Text(kGroup, "Kept").Text(kItem, "FIRST").bytes();
  // The third record's header and half its payload.
  const std::vector<uint8_t> third = ChunkWriter(kOrganizationHeader).Text(kItem, "LOST").bytes();
  bytes.insert(bytes.end(), third.begin() + 4, third.end() - 3);
  install_.Write("ORGS/CUT.ORG", bytes);
  EXPECT_EQ(ReadInstalledOrganization(org_, "CUT"), 0);
  EXPECT_EQ(Layout(), "Kept[FIRST]");
}

TEST_F(OrganizationTest, ReadingAgainReplacesEverything) {
  ASSERT_EQ(Read("A", ChunkWriter(kOrganizationHeader).Text(kGroup, "A").Text(kItem, "AFX")), 1);
  ASSERT_EQ(Read("B", ChunkWriter(kOrganizationHeader).Text(kGroup, "B")), 1);
  EXPECT_EQ(Layout(), "B[]");
  EXPECT_EQ(org_.FindGroupOf("AFX"), -1);

  // Failures leave nothing behind: a missing file, another kind of file, no "Path".
  install_.Write("ORGS/WRONG.ORG", ChunkWriter(FourCC("LMXI")).Text(kGroup, "X").bytes());
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
  ASSERT_EQ(Read("ICONS", ChunkWriter(kOrganizationHeader).Text(kGroup, "G").Text(kItem, "HASICON").Text(kItem, "NOICON")),
            1);
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
