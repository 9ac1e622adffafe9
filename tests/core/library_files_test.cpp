// The library's file readers: the chunked container, the texture, effect and organization
// files read through it, and bitmaps.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/bytes.h"
#include "library/chunk_file.h"
#include "library/dib.h"
#include "library/effect_info.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "library/texture_reader.h"
#include "support/registry_control.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t n, uint8_t seed = 1) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 31 + seed + i / 251);
  return b;
}
using Seen = std::vector<Bytes>;
constexpr uint32_t kHeader = FourCC("LMXI");  // spelt out: the contents check kEffectHeader

Bytes Rec(const char* tag, const Bytes& payload) {
  Bytes record(8);
  std::memcpy(record.data(), tag, 4);
  StoreU32(record.data() + 4, uint32_t(payload.size()));
  record.insert(record.end(), payload.begin(), payload.end());
  return record;
}

// Everything a reader sees of a chunk file: the opening status, each record (tag, length,
// payload), and the last read's result with the status it leaves.
Seen Drain(ChunkFile& f) {
  Seen seen{{static_cast<uint8_t>(f.status())}};
  if (f.status() != ChunkOk) return seen;
  ChunkRecord r;
  ChunkStatus result;
  while ((result = f.ReadRecord(&r)) == ChunkOk) {
    uint8_t tag[5] = {};
    StoreU32(tag, r.tag);
    seen.push_back(Rec(reinterpret_cast<const char*>(tag), Bytes(r.data, r.data + r.length)));
  }
  seen.push_back({static_cast<uint8_t>(result), static_cast<uint8_t>(f.status())});
  return seen;
}

class ChunkFileTest : public ::testing::Test {
 protected:
  test::TestInstall install_;
};

// Each content read from a file and from memory.
TEST_F(ChunkFileTest, ContentsReadTheSameFromFileAndMemory) {
  const Bytes etyp = Rec("ETYP", {1, 0, 0, 0});
  const Seen oneThenEnd = {{ChunkOk}, etyp, {ChunkEnd, ChunkEnd}};
  const Seen oneThenFailure = {{ChunkOk}, etyp, {ChunkReadFailed, ChunkReadFailed}};
  const std::pair<Bytes, Seen> cases[] = {
      {{}, {{ChunkReadFailed}}},
      {{'L', 'M', 'X'}, {{ChunkReadFailed}}},
      {ChunkWriter(FourCC("LMXG")).U32(FourCC("ETYP"), 1).bytes(), {{ChunkBadHeader}}},
      {{'l', 'm', 'x', 'i'}, {{ChunkBadHeader}}},  // letter case counts
      {{'L', 'M', 'X', 'I'}, {{ChunkOk}, {ChunkEnd, ChunkEnd}}},
      // Records in file order, an empty one included.
      {ChunkWriter(kHeader).U32(FourCC("ETYP"), 7).Record(FourCC("ZERO"), nullptr, 0).Text(FourCC("ELNM"), "Long")
           .bytes(),
       {{ChunkOk}, Rec("ETYP", {7, 0, 0, 0}), Rec("ZERO", {}), Rec("ELNM", {'L', 'o', 'n', 'g', 0}),
        {ChunkEnd, ChunkEnd}}},
      // Stray bytes after the last record end cleanly.
      {ChunkWriter(kHeader).U32(FourCC("ETYP"), 1).Raw({0xAB}).bytes(), oneThenEnd},
      {ChunkWriter(kHeader).U32(FourCC("ETYP"), 1).Raw({0xAB, 0xAB, 0xAB}).bytes(), oneThenEnd},
      // A tag with only two bytes of its length; a length past the end of the file.
      {ChunkWriter(kHeader).U32(FourCC("ETYP"), 1).Raw({'E', 'T', 'Y', 'P', 4, 0}).bytes(), oneThenFailure},
      {ChunkWriter(kHeader).U32(FourCC("ETYP"), 1).Raw({'D', 'E', 'S', 'C', 100, 0, 0, 0, 'a', 'b'}).bytes(),
       oneThenFailure},
      // A huge length is refused without allocating.
      {ChunkWriter(kHeader).Raw({'D', 'E', 'S', 'C', 0xFF, 0xFF, 0xFF, 0xFF}).bytes(),
       {{ChunkOk}, {ChunkNoMemory, ChunkNoMemory}}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& [content, expected] = cases[i];
    install_.Write("EFFECTS/T.LMI", content);
    ChunkFile file(install_.File("EFFECTS/T.LMI").c_str(), kEffectHeader, false);
    ChunkFile memory(content.data(), content.size(), kEffectHeader);
    EXPECT_EQ(Drain(file), expected) << "content " << i;
    EXPECT_EQ(Drain(memory), expected) << "content " << i << " in memory";
  }
  EXPECT_EQ(ChunkFile(static_cast<const uint8_t*>(nullptr), 8, kHeader).status(), ChunkOpenFailed);
  EXPECT_EQ(ChunkFile(install_.File("EFFECTS/none.LMI").c_str(), kHeader, false).status(), ChunkOpenFailed);
}

TEST_F(ChunkFileTest, WritingCreatesFileWithHeader) {
  std::string path = install_.File("Work/new.LMT");
  EXPECT_EQ(ChunkFile(path.c_str(), FourCC("LMXT"), true).status(), ChunkOk);
  EXPECT_EQ(ChunkFile(path.c_str(), FourCC("LMXT"), false).status(), ChunkOk);
  EXPECT_EQ(ChunkFile(install_.File("NoSuchDir/x.LMT").c_str(), FourCC("LMXT"), true).status(), ChunkOpenFailed);
}


// A texture file with its two sizes; the header is spelt out so that the constant is checked.
ChunkWriter Sized(uint32_t width, uint32_t height) {
  return ChunkWriter(FourCC("LMXT")).U32(FourCC("TWID"), width).U32(FourCC("THIT"), height);
}

auto Fields(const TextureImage& t) {
  return std::make_tuple(t.formatCode, t.width, t.height, t.extentWidth, t.extentHeight, t.scaleX, t.scaleY,
                         t.ownsPixels);
}

class TextureReaderTest : public ::testing::Test {
 protected:
  TextureReaderTest() { ConstructTexture(&image_); }
  ~TextureReaderTest() override { DestroyTexture(&image_); }

  int Read(const char* name, const ChunkWriter& w) {
    install_.Write(std::string("TEXTURES/") + name + ".LMT", w.bytes());
    return ReadInstalledTexture(&image_, name);
  }
  void ExpectEmpty() {
    EXPECT_EQ(Fields(image_), Fields(TextureImage{}));
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(image_.bytesPerPixel, 0u);
  }

  test::TestInstall install_;
  TextureImage image_;
};

// Each file, its side and the pixels kept: damage after the pixels keeps them; the first
// pixels win and freeze the sizes.
TEST_F(TextureReaderTest, FilesThatGiveAnImage) {
  const Bytes large = Pattern(32 * 32 * 4), small = Pattern(16);
  const std::tuple<const char*, ChunkWriter, uint32_t, Bytes> files[] = {
      {"PREVS_01", Sized(32, 32).Record(FourCC("TDAT"), large), 32, large},
      {"DAMAGED", Sized(2, 2).Record(FourCC("TDAT"), small).Raw({'T', 'W', 'I', 'D', 4, 0, 0, 0, 9}), 2, small},
      {"TWICE",
       Sized(2, 2).Record(FourCC("TDAT"), small).U32(FourCC("TWID"), 4).U32(FourCC("THIT"), 4)
           .Record(FourCC("TDAT"), Bytes(64, 0xEE)),
       2, small},
  };
  for (const auto& [name, file, side, pixels] : files) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Read(name, file), 1);
    EXPECT_STREQ(image_.name, name);
    EXPECT_EQ(Fields(image_), std::make_tuple(4354u, side, side, side, side, 1.0f, 1.0f, 1u));
    EXPECT_EQ(image_.bytesPerPixel, 4u);
    ASSERT_NE(image_.pixels, nullptr);
    EXPECT_EQ(Bytes(image_.pixels, image_.pixels + pixels.size()), pixels);
    ReleaseTexture(&image_);  // owned: released, and the image is read again empty
    EXPECT_EQ(Fields(image_), Fields(TextureImage{}));
    EXPECT_EQ(image_.pixels, nullptr);
  }
}

TEST_F(TextureReaderTest, FilesThatGiveNoImage) {
  const std::pair<const char*, ChunkWriter> files[] = {
      {"NODATA", Sized(8, 8)},
      {"EFFECT", ChunkWriter(FourCC("LMXI")).U32(FourCC("TWID"), 1).U32(FourCC("THIT"), 1)
                     .Record(FourCC("TDAT"), Pattern(4))},
      // Pixels before the sizes; a short pixel payload; sizes whose product overflows 32 bits.
      {"EARLY", ChunkWriter(kTextureHeader).Record(FourCC("TDAT"), Pattern(16)).U32(FourCC("TWID"), 2)
                    .U32(FourCC("THIT"), 2)},
      {"SHORT", Sized(4, 4).Record(FourCC("TDAT"), Pattern(63))},
      {"HUGE", Sized(0x10000, 0x10000).Record(FourCC("TDAT"), Pattern(16))},
  };
  for (const auto& [name, file] : files) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Read(name, file), 0);
    ExpectEmpty();
  }
  EXPECT_EQ(ReadInstalledTexture(&image_, "MISSING"), 0);
  ExpectEmpty();
  EXPECT_STREQ(image_.name, "");
}

TEST_F(TextureReaderTest, ReleaseOnlyWhatIsOwned) {
  ASSERT_EQ(Read("OWN", Sized(1, 1).Record(FourCC("TDAT"), Pattern(4))), 1);
  uint8_t* pixels = image_.pixels;
  image_.ownsPixels = 0;
  ReleaseTexture(&image_);
  EXPECT_EQ(image_.pixels, pixels);
  EXPECT_EQ(Fields(image_), std::make_tuple(4354u, 1u, 1u, 1u, 1u, 1.0f, 1.0f, 0u));
  image_.ownsPixels = 1;  // freed with the fixture
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
  int Read(const std::string& name, const ChunkWriter& w) {
    install_.Write("EFFECTS/" + name + ".LMI", w.bytes());
    return ReadInstalledEffect(record_, name.c_str());
  }
  test::TestInstall install_;
  EffectRecord record_;
};

// Each file, the reader's result and the record it leaves, read into a new record.
TEST_F(EffectRecordTest, FilesGiveTheirRecords) {
  const EffectOption spin{"Spin", 0, "", 45.0f, 0, 100, 0, 0x0102}, a{"A", 0, "", 1.0f, 0, 100, 0, 1};
  const std::string empty = "0/0  '' '' [] flags 000 options best 0";
  const std::tuple<const char*, ChunkWriter, int, std::string> files[] = {
      {"TILES16",
       ChunkWriter(kEffectHeader).U32(FourCC("ETYP"), 1).U32(FourCC("ITYP"), 3).Text(FourCC("ENAM"), "TILES16")
           .Text(FourCC("ELNM"), "Sixteen Tiles").Text(FourCC("DESC"), "Tiles fly off.").U32(FourCC("VCNT"), 2)
           .IndexedText(FourCC("VDSC"), 0, "Front").IndexedText(FourCC("VDSC"), 1, "Back")
           .U32(FourCC("FDIR"), 1).U32(FourCC("FSHD"), 1).U32(FourCC("FMOT"), 0).U32(FourCC("OCNT"), 1)
           .IndexedBytes(FourCC("OPTS"), 0, &spin, sizeof spin).F32(FourCC("BEST"), 30.0f),
       0, "1/3 TILES16 'Sixteen Tiles' 'Tiles fly off.' [Front,Back] flags 110 options 258:45 best 30"},
      // Counts come before their tables: an entry before any count, or at an index not below
      // it, is ignored.
      {"ORDER",
       ChunkWriter(kEffectHeader).IndexedText(FourCC("VDSC"), 0, "Early").U32(FourCC("VCNT"), 3)
           .IndexedText(FourCC("VDSC"), 0, "A").IndexedText(FourCC("VDSC"), 2, "C")
           .IndexedText(FourCC("VDSC"), 3, "Beyond").U32(FourCC("OCNT"), 4).U32(FourCC("OCNT"), 0),
       0, "0/0  '' '' [A,,C] flags 000 options best 0"},
      // A second count discards the first table, a repeated text overrides; an entry no OPTS
      // fills reads as zeros.
      {"REPEAT",
       ChunkWriter(kEffectHeader).U32(FourCC("VCNT"), 2).IndexedText(FourCC("VDSC"), 0, "Old")
           .U32(FourCC("VCNT"), 2).Text(FourCC("ELNM"), "First").Text(FourCC("ELNM"), "Second")
           .U32(FourCC("OCNT"), 2).IndexedBytes(FourCC("OPTS"), 1, &a, sizeof a),
       0, "0/0  'Second' '' [,] flags 000 options 0:0 1:1 best 0"},
      // Unknown tags are skipped; a 2-byte number and a short option are not read.
      {"SKIP",
       ChunkWriter(kEffectHeader).U32(FourCC("ETYP"), 5).Text(FourCC("XXXX"), "whatever")
           .Record(FourCC("FSHD"), "\x01\x00", 2).Record(FourCC("OPTS"), std::vector<uint8_t>(111, 0))
           .U32(FourCC("FMOT"), 1),
       0, "5/0  '' '' [] flags 001 options best 0"},
      // A name over 8 characters, a text without its zero, an object name without its zero.
      {"TEXTS",
       ChunkWriter(kEffectHeader).Text(FourCC("ENAM"), "TOOLONGNAME").Record(FourCC("DESC"), "no zero", 7)
           .U32(FourCC("VCNT"), 1).IndexedBytes(FourCC("VDSC"), 0, "abc", 3),
       0, "0/0 TOOLONGN '' 'no zero' [abc] flags 000 options best 0"},
      // Damage keeps what came before it.
      {"CUT",
       ChunkWriter(kEffectHeader).U32(FourCC("ETYP"), 2).Text(FourCC("ELNM"), "Kept")
           .Raw({'D', 'E', 'S', 'C', 50, 0, 0, 0, 'x'}),
       ChunkReadFailed, "2/0  'Kept' '' [] flags 000 options best 0"},
      {"HUGE",
       ChunkWriter(kEffectHeader).U32(FourCC("VCNT"), 0xFFFFFFFFu).U32(FourCC("OCNT"), 0x80000000u)
           .IndexedText(FourCC("VDSC"), 5, "x"),
       0, empty},
      {"ORGLIKE", ChunkWriter(FourCC("LMXG")).U32(FourCC("ETYP"), 4), ChunkBadHeader, empty},
  };
  for (const auto& [name, file, result, summary] : files) {
    SCOPED_TRACE(name);
    record_ = EffectRecord();
    EXPECT_EQ(Read(name, file), result);
    EXPECT_EQ(Summary(record_), summary);
    const EffectOption got = record_.option(0), want = std::string(name) == "TILES16" ? spin : EffectOption{};
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0);
  }
  EXPECT_EQ(ReadInstalledEffect(record_, "NOPE"), ChunkOpenFailed);
  test::DeleteRegistryValue("Path");
  EXPECT_EQ(ReadInstalledEffect(record_, "ORGLIKE"), ChunkOpenFailed);
}

// Every byte of the structure is written: four fields, the long name cut to 42 characters;
// a missing effect's info is all zeros.
TEST_F(EffectRecordTest, EffectInfoCopiesFourFieldsAndCutsLongName) {
  install_.Write("EFFECTS/SPIRAL.LMI", ChunkWriter(kEffectHeader).U32(FourCC("ETYP"), 9).Text(FourCC("ENAM"), "SPIRAL")
                                           .Text(FourCC("ELNM"), std::string(60, 'L')).U32(FourCC("VCNT"), 4).bytes());
  EffectInfo spiral{9, "SPIRAL", {}, 4};
  std::memset(spiral.longName, 'L', 42);
  for (auto [name, want] : {std::pair{"SPIRAL", spiral}, {"ABSENT", EffectInfo{}}}) {
    EffectInfo info;
    std::memset(&info, 0xCC, sizeof info);
    FillEffectInfo(name, &info);
    EXPECT_EQ(std::memcmp(&info, &want, sizeof info), 0) << name;
  }
}


constexpr uint32_t kGroup = FourCC("OGRP");
constexpr uint32_t kItem = FourCC("OITM");

class OrganizationTest : public ::testing::Test {
 protected:
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

// Each file, the reader's result, the groups it reads as, and look-ups (name, group, entry).
TEST_F(OrganizationTest, FilesReadAsTheirGroups) {
  ChunkWriter limits(kOrganizationHeader);
  limits.Text(kGroup, std::string(45, 'n'));
  std::string entries;
  for (int i = 0; i < 17; ++i) {
    limits.Text(kItem, "FX" + std::to_string(i));
    if (i < 16) entries += (i ? ",FX" : "FX") + std::to_string(i);  // the 17th is dropped
  }
  limits.Text(kGroup, std::string(40, 'm'));
  // The third record's header and half its payload.
  const Bytes third = ChunkWriter(kOrganizationHeader).Text(kItem, "LOST").bytes();
  using Finds = std::vector<std::tuple<const char*, int, int>>;
  const std::tuple<const char*, ChunkWriter, int, std::string, Finds> files[] = {
      {"MINE",
       ChunkWriter(kOrganizationHeader).Text(kItem, "EARLY")  // before any group: goes nowhere
           .Text(kGroup, "Wipes").Text(kItem, "WIPE1").Text(kItem, "WIPE2").Record(FourCC("JUNK"), "xyz", 3)
           .Text(kGroup, "Empty").Text(kGroup, "Tiles").Text(kItem, "TILES16"),
       1, "Wipes[WIPE1,WIPE2] Empty[] Tiles[TILES16]", {{"EARLY", -1, -1}}},
      {"LIMITS", limits, 1, std::string(40, 'n') + "[" + entries + "] " + std::string(40, 'm') + "[]", {}},
      {"ODD",
       ChunkWriter(kOrganizationHeader).Text(kGroup, "G")
           .Text(kItem, "TOOLONGNAME")     // 11 characters: the slot keeps 8
           .Record(kItem, "NOZERO", 6)     // no terminating zero: ends with the payload
           .Record(kItem, "AB\0CD", 6)     // text ends at its first zero
           .Text(kItem, "")                // an empty name is an entry all the same,
           .Record(kItem, nullptr, 0)      // so the ones after it keep their indices
           .Text(kItem, "LAST")
           .Record(kGroup, "Unended", 7),  // group name without its zero
       1, "G[TOOLONGN,NOZERO,AB,,,LAST] Unended[]", {{"LAST", 0, 5}, {"TOOLONGNAME", -1, -1}, {"TOOLONGN", 0, 0}}},
      {"CUT",
       ChunkWriter(kOrganizationHeader).Text(kGroup, "Kept").Text(kItem, "FIRST")
           .Raw(Bytes(third.begin() + 4, third.end() - 3)),
       0, "Kept[FIRST]", {}},
      {"WRONG", ChunkWriter(FourCC("LMXI")).Text(kGroup, "X"), 0, "", {}},
      // The header spelt out, so that the constant is checked.
      {"EMPTY", ChunkWriter(FourCC("LMXG")), 1, "", {{"ANY", -1, -1}, {"", -1, -1}}},
      // Look-ups take the first group; exact, case-sensitive matches only (no prefix).
      {"FIND",
       ChunkWriter(kOrganizationHeader).Text(kGroup, "Zero").Text(kItem, "OTHER").Text(kItem, "SHARED")
           .Text(kItem, "SHARED").Text(kGroup, "One").Text(kItem, "ONLY1").Text(kItem, "B").Text(kItem, "C")
           .Text(kGroup, "Two").Text(kItem, "SHARED"),
       1, "Zero[OTHER,SHARED,SHARED] One[ONLY1,B,C] Two[SHARED]",
       {{"SHARED", 0, 1}, {"ONLY1", 1, 0}, {"shared", -1, -1}, {"SHARE", -1, -1}, {"SHAREDX", -1, -1},
        {nullptr, -1, -1}}},
  };
  for (const auto& [name, file, result, layout, finds] : files) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Read(name, file), result);
    EXPECT_EQ(Layout(), layout);
    for (auto [entry, group, index] : finds) {
      EXPECT_EQ(org_.FindGroupOf(entry), group) << (entry ? entry : "null");
      EXPECT_EQ(org_.FindEntryOf(entry), index) << (entry ? entry : "null");
    }
  }
  // Range rules of the look-ups, on the last file.
  EXPECT_STREQ(org_.EntryName(1, 2), "C");
  for (auto [group, entry] : {std::pair{1, 3}, {1, -1}, {-1, 0}, {3, 0}})
    EXPECT_EQ(org_.EntryName(group, entry), nullptr) << group << "," << entry;
  for (int group : {-1, 3}) {
    EXPECT_EQ(org_.GroupAt(group), nullptr) << group;
    EXPECT_EQ(org_.EntryCount(group), 0) << group;
  }
}

// Another kind of file is in the table above; a missing file, no "Path" and no name also
// leave nothing of the organization read before.
TEST_F(OrganizationTest, FailuresLeaveNothingBehind) {
  ASSERT_EQ(Read("A", ChunkWriter(kOrganizationHeader).Text(kGroup, "A").Text(kItem, "AFX")), 1);
  EXPECT_EQ(ReadInstalledOrganization(org_, "MISSING"), 0);
  EXPECT_EQ(org_.GroupCount(), 0);
  ASSERT_EQ(ReadInstalledOrganization(org_, "A"), 1);
  EXPECT_EQ(ReadInstalledOrganization(org_, nullptr), 0);
  EXPECT_EQ(org_.GroupCount(), 0);
  ASSERT_EQ(ReadInstalledOrganization(org_, "A"), 1);
  test::DeleteRegistryValue("Path");
  EXPECT_EQ(ReadInstalledOrganization(org_, "A"), 0);
  EXPECT_EQ(org_.GroupCount(), 0);
}

// Little-endian fields, each a value and its width in bytes.
Bytes LittleEndian(std::initializer_list<std::pair<uint32_t, int>> fields) {
  Bytes b;
  for (auto [value, width] : fields)
    for (int i = 0; i < width; ++i) b.push_back(uint8_t(value >> (8 * i)));
  return b;
}

Bytes InfoHeader(int32_t width, int32_t height, uint16_t bits, uint32_t sizeImage = 0, uint32_t clrUsed = 0,
                 uint32_t size = 40, uint32_t pels = 2835) {
  return LittleEndian({{size, 4}, {uint32_t(width), 4}, {uint32_t(height), 4}, {1, 2}, {bits, 2}, {0, 4},
                 {sizeImage, 4}, {pels, 4}, {pels, 4}, {clrUsed, 4}, {0, 4}});
}

Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bits) {
  return LittleEndian({{12, 4}, {width, 2}, {height, 2}, {1, 2}, {bits, 2}});
}

// What a core header becomes in the block: a full header, every field it lacks 0.
Bytes Widened(uint16_t width, uint16_t height, uint32_t sizeImage) {
  return InfoHeader(width, height, 24, sizeImage, 0, 40, 0);
}

Bytes FileHeader(uint32_t fileSize, uint32_t bitsOffset) {
  return LittleEndian({{'B', 1}, {'M', 1}, {fileSize, 4}, {0, 4}, {bitsOffset, 4}});
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

uint32_t RowBytes(uint32_t width, uint32_t bits) { return (bits * width + 31) / 32 * 4; }

// The content of a loaded block, which is freed; empty when there is none.
Bytes Content(platform::MemoryHandle handle) {
  platform::MovableBlock block(handle);
  if (!block) return {};
  platform::LockedBlock lock(block.get());
  EXPECT_NE(lock.data(), nullptr);
  const auto* p = static_cast<const uint8_t*>(lock.data());
  return Bytes(p, p + platform::MovableSize(block.get()));
}

TEST_F(OrganizationTest, EntryIconsComeFromTheEffectsDirectory) {
  ASSERT_EQ(
      Read("ICONS", ChunkWriter(kOrganizationHeader).Text(kGroup, "G").Text(kItem, "HASICON").Text(kItem, "NOICON")),
      1);
  install_.Write("EFFECTS/HASICON.BMP", Join({InfoHeader(1, 1, 24), {0xAB, 0, 0, 0}}));
  EXPECT_EQ(Content(LoadInstalledIcon(org_, 0, 0)), Join({InfoHeader(1, 1, 24, 4), {0xAB, 0, 0, 0}}));
  for (auto [group, entry] : {std::pair{0, 1}, {0, 2}, {1, 0}, {-1, 0}})
    EXPECT_EQ(LoadInstalledIcon(org_, group, entry), nullptr) << group << "," << entry;
}

class DibTest : public ::testing::Test {
 protected:
  bool Load(const Bytes& file, Bytes* block) {
    install_.Write("EFFECTS/PIC.BMP", file);
    *block = Content(LoadDib(install_.File("EFFECTS/PIC.BMP").c_str()));
    return !block->empty();
  }
  test::TestInstall install_;
};

// Each file and the whole block it must give: header (the image size filled in), colour
// table, then the bits, found through the file header's offset when there is one.
TEST_F(DibTest, FilesLoadAsPackedBlocks) {
  const Bytes bits3x2 = Pattern(RowBytes(3, 24) * 2), bits5x3 = Pattern(RowBytes(5, 24) * 3, 3);
  const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0}, pixel = {0x10, 0x20, 0x30, 0x00};
  // 200 x 100 at 24 bits is read in two pieces; the file stops 1,000 bytes into the second.
  const uint32_t large = RowBytes(200, 24) * 100;
  const Bytes present = Pattern(32768 + 1000, 9);
  ASSERT_GT(large, 32768u);
  const Bytes bits4x4 = Pattern(RowBytes(4, 24) * 4, 5), extra = Pattern(100, 77);
  const uint32_t stated = uint32_t(bits4x4.size()) + 100;
  const Bytes fullTable = Pattern(kMaxDibColors * 4 + 4);
  const std::tuple<std::string, Bytes, Bytes> cases[] = {
      {"two stray bytes before the bits",
       Join({FileHeader(0, 14 + 40 + 2), InfoHeader(3, 2, 24), {0xEE, 0xEE}, bits3x2}),
       Join({InfoHeader(3, 2, 24, 24), bits3x2})},
      {"colour table with true colour", Join({InfoHeader(5, 3, 32, 0, 2), table, Pattern(60, 7)}),
       Join({InfoHeader(5, 3, 32, 60, 2), table, Pattern(60, 7)})},
      {"core header", Join({FileHeader(0, 0), CoreHeader(5, 3, 24), bits5x3}), Join({Widened(5, 3, 48), bits5x3})},
      {"packed core header", Join({CoreHeader(5, 3, 24), bits5x3}), Join({Widened(5, 3, 48), bits5x3})},
      // Core sizes are unsigned 16-bit: 40000 is a width, not a negative number.
      {"wide core header", Join({CoreHeader(40000, 1, 24), Pattern(28)}),
       Join({Widened(40000, 1, 120000), Pattern(28), Bytes(120000 - 28, 0)})},
      // Neither smallest file holds the 40 bytes of the long header.
      {"smallest file", Join({FileHeader(30, 26), CoreHeader(1, 1, 24), pixel}), Join({Widened(1, 1, 4), pixel})},
      {"smallest packed", Join({CoreHeader(1, 1, 24), pixel}), Join({Widened(1, 1, 4), pixel})},
      {"bits cut short", Join({FileHeader(0, 54), InfoHeader(200, 100, 24), present}),
       Join({InfoHeader(200, 100, 24, large), present, Bytes(large - present.size(), 0)})},
      {"bits offset past the end", Join({FileHeader(0, 0xFFFFFFF0u), InfoHeader(2, 2, 24), Pattern(16)}),
       Join({InfoHeader(2, 2, 24, 16), Bytes(16, 0)})},
      // The image size is never below the rows; above them it is kept and read as stored.
      {"image size too small", Join({InfoHeader(4, 4, 24, 8), bits4x4}), Join({InfoHeader(4, 4, 24, 48), bits4x4})},
      {"image size larger", Join({InfoHeader(4, 4, 24, stated), bits4x4, extra}),
       Join({InfoHeader(4, 4, 24, stated), bits4x4, extra})},
      {"top down", Join({FileHeader(0, 54), InfoHeader(3, -2, 24), bits3x2}),
       Join({InfoHeader(3, -2, 24, 24), bits3x2})},
      {"empty image", InfoHeader(0, 0, 24), InfoHeader(0, 0, 24)},
      {"32 bits, core", Join({CoreHeader(2, 2, 32), Pattern(16)}),
       Join({InfoHeader(2, 2, 32, 16, 0, 40, 0), Pattern(16)})},
      {"largest colour table", Join({InfoHeader(1, 1, 24, 0, kMaxDibColors), fullTable}),
       Join({InfoHeader(1, 1, 24, 4, kMaxDibColors), fullTable})},
  };
  for (const auto& [name, file, expected] : cases) {
    SCOPED_TRACE(name);
    Bytes block;
    ASSERT_TRUE(Load(file, &block));
    EXPECT_EQ(block, expected);
  }
}

TEST_F(DibTest, UnreadableOrHostileFilesAreRefusedWithoutAllocating) {
  Bytes cutInfo = Join({FileHeader(0, 0), InfoHeader(2, 2, 24)}), cutCore = CoreHeader(1, 1, 24);
  cutInfo.pop_back();
  cutCore.pop_back();
  const Bytes tail = Pattern(64);
  std::vector<Bytes> files = {
      {}, {'B', 'M', 0, 0}, cutInfo, cutCore,
      // A 1 KB file claiming 30,000 bits per pixel would give a 30 MB block nothing can draw.
      Join({FileHeader(1024, 54), InfoHeader(8, 1000, 30000), Pattern(1024 - 54)}),
      // Each of these would need gigabytes, or overflow 32-bit arithmetic.
      Join({InfoHeader(INT_MAX, INT_MAX, 32), tail}), Join({InfoHeader(INT_MAX, 1, 24), tail}),
      Join({InfoHeader(1, INT_MIN, 24), tail}), Join({InfoHeader(65536, 65536, 32), tail}),
      Join({InfoHeader(70000, 1, 0xFFFF), tail}), Join({InfoHeader(2, 2, 24, 0xFFFFFFFFu), tail}),
      Join({InfoHeader(-2, 2, 24), tail}),
      // Colour counts whose table size does not fit the 16-bit palette size.
      Join({InfoHeader(2, 2, 24, 0, 0xFFFFFFFFu), tail}), Join({InfoHeader(2, 2, 24, 0, 0x10001), tail}),
      Join({InfoHeader(2, 2, 24, 0, kMaxDibColors + 1), tail})};
  // Header sizes other than 12 and 40 (a V4 or V5 header, or nonsense).
  for (uint32_t size : {0u, 16u, 64u, 108u, 124u}) files.push_back(Join({InfoHeader(2, 2, 24, 0, 0, size), tail}));
  // Only 24 and 32 bits per pixel load.
  for (uint16_t bits : {0, 1, 2, 4, 8, 16, 25, 48, 64, 65535}) {
    files.push_back(Join({InfoHeader(2, 2, bits), tail}));
    files.push_back(Join({CoreHeader(2, 2, bits), tail}));
  }
  for (size_t i = 0; i < files.size(); ++i) {
    Bytes block;
    EXPECT_FALSE(Load(files[i], &block)) << "file " << i;
  }
  EXPECT_EQ(LoadDib(install_.File("EFFECTS/NONE.BMP").c_str()), nullptr);
  EXPECT_EQ(LoadDib(nullptr), nullptr);
}

TEST(DibHeaderTest, ColourCountAndPaletteSize) {
  // Bits per pixel, the colours used, the colours counted.
  for (auto [bits, clrUsed, colors] : {std::tuple<uint16_t, uint32_t, uint16_t>{1, 0, 2}, {4, 0, 16}, {8, 0, 256},
                                       {24, 0, 0}, {32, 0, 0}, {2, 0, 0}, {8, 5, 5}, {24, 3, 3}, {24, 0x10003, 3}}) {
    Bytes h = InfoHeader(1, 1, bits, 0, clrUsed);
    EXPECT_EQ(DibColorCount(h.data()), colors) << bits << " bits, clrUsed " << clrUsed;
    EXPECT_EQ(DibPaletteSize(h.data()), uint16_t(colors * 4)) << bits << " bits, clrUsed " << clrUsed;
  }
  // A core header is read in its 12 bytes alone, its entries taking 3 bytes each.
  for (uint16_t bits : {1, 4, 8, 24}) {
    const Bytes core = CoreHeader(1, 1, bits);
    const uint16_t colors = bits <= 8 ? uint16_t(1u << bits) : 0;
    EXPECT_EQ(DibColorCount(core.data()), colors) << bits;
    EXPECT_EQ(DibPaletteSize(core.data()), colors * 3) << bits;
  }
}

TEST(DibHeaderTest, ImageSizeFollowsTheRowRule) {
  // Width, height, bits per pixel; the bytes of the rows, 0 when refused.
  for (auto [width, height, bits, bytes] :
       {std::tuple<int32_t, int32_t, uint16_t, uint32_t>{3, 2, 24, 24}, {1, 1, 24, 4}, {7, -3, 32, 84}, {-1, 3, 24, 0},
        {INT_MAX, INT_MAX, 24, 0}, {4096, 4096, 32, 64u << 20}, {4096, 4097, 32, 0}}) {
    uint32_t got = 0;
    EXPECT_EQ(DibImageSize(width, height, bits, &got), bytes != 0) << width << " x " << height;
    if (bytes != 0) {
      EXPECT_EQ(got, bytes) << width << " x " << height;
    }
  }
}

}  // namespace
}  // namespace lmx
