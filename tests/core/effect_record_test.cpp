#include "library/effect_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

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

// Every field of a record on one line: types, names, description, [objects], the three
// flags, options as tag:default, best position.
std::string Summary(const EffectRecord& r) {
  std::ostringstream s;
  s << r.effectType() << '/' << r.secondType() << ' ' << r.shortName() << " '" << r.longName() << "' '"
    << r.description() << "' [";
  for (uint32_t i = 0; i < r.objectCount(); ++i) s << (i ? "," : "") << r.objectName(i);
  s << "] flags " << r.directionFlag() << r.shadowFlag() << r.motionFlag() << " options";
  for (uint32_t i = 0; i < r.optionCount(); ++i) s << ' ' << r.option(i).tag << ':' << r.option(i).defaultValue;
  s << " best " << r.bestPosition();
  return s.str();
}

class EffectRecordTest : public ::testing::Test {
 protected:
  // Plants the file and reads it into record_; the reader's result.
  int Read(const std::string& name, const ChunkWriter& w) {
    install_.Write("EFFECTS/" + name + ".LMI", w.bytes());
    return ReadInstalledEffect(record_, name.c_str());
  }
  test::TestInstall install_;
  EffectRecord record_;
};

TEST_F(EffectRecordTest, FullFileFillsEveryField) {
  EffectOption spin = MakeOption("Spin", 45.0f, 0x0102);
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 1).U32(FourCC("ITYP"), 3).Text(FourCC("ENAM"), "TILES16")
      .Text(FourCC("ELNM"), "Sixteen Tiles").Text(FourCC("DESC"), "Tiles fly off.")
      .U32(FourCC("VCNT"), 2).IndexedText(FourCC("VDSC"), 0, "Front").IndexedText(FourCC("VDSC"), 1, "Back")
      .U32(FourCC("FDIR"), 1).U32(FourCC("FSHD"), 1).U32(FourCC("FMOT"), 0)
      .U32(FourCC("OCNT"), 1).IndexedBytes(FourCC("OPTS"), 0, &spin, sizeof spin).F32(FourCC("BEST"), 30.0f);
  EXPECT_EQ(Read("TILES16", w), 0);
  EXPECT_EQ(Summary(record_), "1/3 TILES16 'Sixteen Tiles' 'Tiles fly off.' [Front,Back] flags 110 options 258:45 best 30");
  EffectOption got = record_.option(0);
  EXPECT_EQ(std::memcmp(&got, &spin, sizeof spin), 0);
}

TEST_F(EffectRecordTest, CountsComeBeforeTheirTables) {
  ChunkWriter w(kEffectHeader);
  w.IndexedText(FourCC("VDSC"), 0, "Early")  // before any count: ignored
      .U32(FourCC("VCNT"), 3).IndexedText(FourCC("VDSC"), 0, "A").IndexedText(FourCC("VDSC"), 2, "C")
      .IndexedText(FourCC("VDSC"), 3, "Beyond")  // index not below the count
      .U32(FourCC("OCNT"), 4).U32(FourCC("OCNT"), 0);
  EXPECT_EQ(Read("ORDER", w), 0);
  EXPECT_EQ(Summary(record_), "0/0  '' '' [A,,C] flags 000 options best 0");
  EXPECT_EQ(record_.option(0).tag, 0);
}

TEST_F(EffectRecordTest, SecondCountDiscardsFirstTableAndRepeatsOverride) {
  EffectOption a = MakeOption("A", 1.0f, 1);
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("VCNT"), 2).IndexedText(FourCC("VDSC"), 0, "Old").U32(FourCC("VCNT"), 2)
      .Text(FourCC("ELNM"), "First").Text(FourCC("ELNM"), "Second")
      .U32(FourCC("OCNT"), 2).IndexedBytes(FourCC("OPTS"), 1, &a, sizeof a);
  EXPECT_EQ(Read("REPEAT", w), 0);
  // An entry no OPTS fills reads as zeros.
  EXPECT_EQ(Summary(record_), "0/0  'Second' '' [,] flags 000 options 0:0 1:1 best 0");
}

TEST_F(EffectRecordTest, UnknownTagsAreSkippedAndShortPayloadsIgnored) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 5).Text(FourCC("XXXX"), "whatever").Record(FourCC("FSHD"), "\x01\x00", 2)
      .Record(FourCC("OPTS"), std::vector<uint8_t>(111, 0)).U32(FourCC("FMOT"), 1);
  EXPECT_EQ(Read("SKIP", w), 0);
  EXPECT_EQ(Summary(record_), "5/0  '' '' [] flags 001 options best 0");  // a 2-byte number is not read
}

TEST_F(EffectRecordTest, TextsAreCutSafely) {
  ChunkWriter w(kEffectHeader);
  w.Text(FourCC("ENAM"), "TOOLONGNAME")                      // more than 8 characters
      .Record(FourCC("DESC"), "no zero", 7)                   // text without its zero
      .U32(FourCC("VCNT"), 1).IndexedBytes(FourCC("VDSC"), 0, "abc", 3);
  EXPECT_EQ(Read("TEXTS", w), 0);
  EXPECT_EQ(Summary(record_), "0/0 TOOLONGN '' 'no zero' [abc] flags 000 options best 0");
}

TEST_F(EffectRecordTest, DamageKeepsWhatCameBefore) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 2).Text(FourCC("ELNM"), "Kept").Raw({'D', 'E', 'S', 'C', 50, 0, 0, 0, 'x'});
  EXPECT_EQ(Read("CUT", w), ChunkReadFailed);
  EXPECT_EQ(Summary(record_), "2/0  'Kept' '' [] flags 000 options best 0");
}

TEST_F(EffectRecordTest, HostileCountsLeaveEmptyTables) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("VCNT"), 0xFFFFFFFFu).U32(FourCC("OCNT"), 0x80000000u).IndexedText(FourCC("VDSC"), 5, "x");
  EXPECT_EQ(Read("HUGE", w), 0);
  EXPECT_EQ(Summary(record_), "0/0  '' '' [] flags 000 options best 0");
}

TEST_F(EffectRecordTest, MissingOrForeignFilesGiveEmptyRecord) {
  EXPECT_EQ(ReadInstalledEffect(record_, "NOPE"), ChunkOpenFailed);
  EXPECT_EQ(Read("ORGLIKE", ChunkWriter(FourCC("LMXG")).U32(FourCC("ETYP"), 4)), ChunkBadHeader);
  EXPECT_EQ(Summary(record_), "0/0  '' '' [] flags 000 options best 0");
  test::DeleteRegistryValue("Path");
  EXPECT_EQ(ReadInstalledEffect(record_, "ORGLIKE"), ChunkOpenFailed);
}

TEST_F(EffectRecordTest, EffectInfoCopiesFourFieldsAndCutsLongName) {
  ChunkWriter w(kEffectHeader);
  w.U32(FourCC("ETYP"), 9).Text(FourCC("ENAM"), "SPIRAL").Text(FourCC("ELNM"), std::string(60, 'L'))
      .U32(FourCC("VCNT"), 4);
  install_.Write("EFFECTS/SPIRAL.LMI", w.bytes());
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
