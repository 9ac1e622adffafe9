#include "library/effect_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/bytes.h"
#include "library/effect_info.h"
#include "support/registry_control.h"
#include "support/test_install.h"

namespace lmx {
namespace {

EffectOption MakeOption(const char* label, float def, uint16_t tag) {
  EffectOption o{};
  std::strncpy(o.label, label, sizeof o.label - 1);
  o.kind = 0;
  o.defaultValue = def;
  o.minimum = 0;
  o.maximum = 100;
  o.tag = tag;
  return o;
}

class EffectRecordTest : public ::testing::Test {
 protected:
  void Plant(const std::string& name, const ChunkWriter& w) { install_.Write("EFFECTS/" + name + ".LMI", w.bytes()); }
  test::TestInstall install_;
};

TEST_F(EffectRecordTest, FullFileFillsEveryField) {
  EffectOption spin = MakeOption("Spin", 45.0f, 0x0102);
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 1).U32(FourCC("ITYP"), 3).Text(FourCC("ENAM"), "TILES16")
      .Text(FourCC("ELNM"), "Sixteen Tiles").Text(FourCC("DESC"), "Tiles fly off.")
      .U32(FourCC("VCNT"), 2).IndexedText(FourCC("VDSC"), 0, "Front").IndexedText(FourCC("VDSC"), 1, "Back")
      .U32(FourCC("FDIR"), 1).U32(FourCC("FSHD"), 1).U32(FourCC("FMOT"), 0)
      .U32(FourCC("OCNT"), 1).IndexedBytes(FourCC("OPTS"), 0, &spin, sizeof spin).F32(FourCC("BEST"), 30.0f);
  Plant("TILES16", w);

  EffectRecord r;
  EXPECT_EQ(ReadInstalledEffect(r, "TILES16"), 0);
  EXPECT_EQ(r.effectType(), 1u);
  EXPECT_EQ(r.secondType(), 3u);
  EXPECT_STREQ(r.shortName(), "TILES16");
  EXPECT_EQ(r.longName(), "Sixteen Tiles");
  EXPECT_EQ(r.description(), "Tiles fly off.");
  ASSERT_EQ(r.objectCount(), 2u);
  EXPECT_EQ(r.objectName(0), "Front");
  EXPECT_EQ(r.objectName(1), "Back");
  EXPECT_EQ(r.directionFlag(), 1u);
  EXPECT_EQ(r.shadowFlag(), 1u);
  EXPECT_EQ(r.motionFlag(), 0u);
  ASSERT_EQ(r.optionCount(), 1u);
  EffectOption got = r.option(0);
  EXPECT_EQ(std::memcmp(&got, &spin, sizeof spin), 0);
  EXPECT_FLOAT_EQ(r.bestPosition(), 30.0f);
}

TEST_F(EffectRecordTest, CountsComeBeforeTheirTables) {
  ChunkWriter w(kEffectHeader);
  w.IndexedText(FourCC("VDSC"), 0, "Early")  // before any count: ignored
      .U32(FourCC("VCNT"), 3).IndexedText(FourCC("VDSC"), 0, "A").IndexedText(FourCC("VDSC"), 2, "C")
      .IndexedText(FourCC("VDSC"), 3, "Beyond")  // index not below the count
      .U32(FourCC("OCNT"), 4).U32(FourCC("OCNT"), 0);
  Plant("ORDER", w);
  EffectRecord r;
  EXPECT_EQ(ReadInstalledEffect(r, "ORDER"), 0);
  ASSERT_EQ(r.objectCount(), 3u);
  EXPECT_EQ(r.objectName(0), "A");
  EXPECT_EQ(r.objectName(1), "");
  EXPECT_EQ(r.objectName(2), "C");
  EXPECT_EQ(r.optionCount(), 0u);
  EXPECT_EQ(r.option(0).tag, 0);
}

TEST_F(EffectRecordTest, SecondCountDiscardsFirstTableAndRepeatsOverride) {
  EffectOption a = MakeOption("A", 1.0f, 1);
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("VCNT"), 2).IndexedText(FourCC("VDSC"), 0, "Old").U32(FourCC("VCNT"), 2)
      .Text(FourCC("ELNM"), "First").Text(FourCC("ELNM"), "Second")
      .U32(FourCC("OCNT"), 2).IndexedBytes(FourCC("OPTS"), 1, &a, sizeof a);
  Plant("REPEAT", w);
  EffectRecord r;
  ReadInstalledEffect(r, "REPEAT");
  EXPECT_EQ(r.objectName(0), "");
  EXPECT_EQ(r.longName(), "Second");
  ASSERT_EQ(r.optionCount(), 2u);
  EXPECT_EQ(r.option(0).tag, 0) << "an entry no OPTS fills reads as zeros";
  EXPECT_FLOAT_EQ(r.option(0).defaultValue, 0.0f);
  EXPECT_EQ(r.option(1).tag, 1);
}

TEST_F(EffectRecordTest, UnknownTagsAreSkippedAndShortPayloadsIgnored) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 5).Text(FourCC("XXXX"), "whatever").Record(FourCC("FSHD"), "\x01\x00", 2)
      .Record(FourCC("OPTS"), std::vector<uint8_t>(111, 0)).U32(FourCC("FMOT"), 1);
  Plant("SKIP", w);
  EffectRecord r;
  EXPECT_EQ(ReadInstalledEffect(r, "SKIP"), 0);
  EXPECT_EQ(r.effectType(), 5u);
  EXPECT_EQ(r.shadowFlag(), 0u) << "a 2-byte number is not read";
  EXPECT_EQ(r.motionFlag(), 1u);
}

TEST_F(EffectRecordTest, TextsAreCutSafely) {
  ChunkWriter w(kEffectHeader);
  w.Text(FourCC("ENAM"), "TOOLONGNAME")                      // more than 8 characters
      .Record(FourCC("DESC"), "no zero", 7)                   // text without its zero
      .U32(FourCC("VCNT"), 1).IndexedBytes(FourCC("VDSC"), 0, "abc", 3);
  Plant("TEXTS", w);
  EffectRecord r;
  ReadInstalledEffect(r, "TEXTS");
  EXPECT_STREQ(r.shortName(), "TOOLONGN");
  EXPECT_EQ(r.description(), "no zero");
  EXPECT_EQ(r.objectName(0), "abc");
}

TEST_F(EffectRecordTest, DamageKeepsWhatCameBefore) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 2).Text(FourCC("ELNM"), "Kept").Raw({'D', 'E', 'S', 'C', 50, 0, 0, 0, 'x'});
  Plant("CUT", w);
  EffectRecord r;
  EXPECT_EQ(ReadInstalledEffect(r, "CUT"), ChunkReadFailed);
  EXPECT_EQ(r.effectType(), 2u);
  EXPECT_EQ(r.longName(), "Kept");
  EXPECT_EQ(r.description(), "");
}

TEST_F(EffectRecordTest, HostileCountsLeaveEmptyTables) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("VCNT"), 0xFFFFFFFFu).U32(FourCC("OCNT"), 0x80000000u).IndexedText(FourCC("VDSC"), 5, "x");
  Plant("HUGE", w);
  EffectRecord r;
  EXPECT_EQ(ReadInstalledEffect(r, "HUGE"), 0);
  EXPECT_EQ(r.objectCount(), 0u);
  EXPECT_EQ(r.optionCount(), 0u);
}

TEST_F(EffectRecordTest, MissingOrForeignFilesGiveEmptyRecord) {
  EffectRecord missing;
  EXPECT_EQ(ReadInstalledEffect(missing, "NOPE"), ChunkOpenFailed);
  EXPECT_EQ(missing.effectType(), 0u);
  EXPECT_EQ(missing.longName(), "");

  Plant("ORGLIKE", ChunkWriter(FourCC("LMXG")));
  EffectRecord foreign;
  EXPECT_EQ(ReadInstalledEffect(foreign, "ORGLIKE"), ChunkBadHeader);

  test::DeleteRegistryValue("Path");
  EffectRecord noPath;
  EXPECT_EQ(ReadInstalledEffect(noPath, "ORGLIKE"), ChunkOpenFailed);
}

TEST_F(EffectRecordTest, EffectInfoCopiesFourFieldsAndCutsLongName) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 9).Text(FourCC("ENAM"), "SPIRAL").Text(FourCC("ELNM"), std::string(60, 'L'))
      .U32(FourCC("VCNT"), 4);
  Plant("SPIRAL", w);
  EffectInfo info;
  std::memset(&info, 0xCC, sizeof info);
  FillEffectInfo("SPIRAL", &info);
  EXPECT_EQ(info.effectType, 9u);
  EXPECT_STREQ(info.shortName, "SPIRAL");
  EXPECT_EQ(std::string(info.longName), std::string(42, 'L'));
  EXPECT_EQ(info.objectCount, 4u);

  std::memset(&info, 0xCC, sizeof info);
  FillEffectInfo("ABSENT", &info);
  EffectInfo empty{};
  EXPECT_EQ(std::memcmp(&info, &empty, sizeof info), 0) << "every byte of a missing effect's info is cleared";
}

}  // namespace
}  // namespace lmx
