// Damaged files and faulty sources: exactly where reading stops, what the reader would
// make of odd records, and clear refusals of bad input.
#include <gtest/gtest.h>

#include <cstring>

#include "common/chunk_writer.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/examine.h"
#include "lmxlib/other_formats.h"
#include "lmxlib/texture_format.h"
#include "test_util.h"

namespace lmxlib::test {
namespace {

using lmx::FourCC;

std::vector<uint8_t> SampleEffect() {
  EffectSource e;
  e.name = "PAGE";
  e.longName = "Page Turn";
  e.objects = {"Front Page", "Back Page"};
  lmx::EffectOption o{};
  std::strcpy(o.label, "Curl");
  o.maximum = 100;
  o.tag = 7;
  e.options = {o};
  return EncodeEffect(e);
}

TEST(Damaged, EveryCutOfAnEffectFileIsReportedAtTheRightPlace) {
  const std::vector<uint8_t> whole = SampleEffect();
  std::vector<size_t> boundaries = {4};
  for (const WalkRecord& r : WalkChunks(whole).records) boundaries.push_back(r.offset + 8 + r.length);
  for (size_t cut = 0; cut <= whole.size(); ++cut) {
    std::vector<uint8_t> bytes(whole.begin(), whole.begin() + long(cut));
    Report rep = Inspect("effect", bytes);
    size_t last = 0;  // the last record boundary at or before the cut
    for (size_t b : boundaries)
      if (b <= cut) last = b;
    SCOPED_TRACE("cut at " + std::to_string(cut));
    if (cut < 4) {
      EXPECT_FALSE(rep.readable);
      EXPECT_NE(rep.stop.find("offset 0"), std::string::npos) << rep.stop;
    } else if (cut - last < 4) {
      EXPECT_TRUE(rep.readable);  // a cut inside a tag ends the file like a complete one
      EXPECT_EQ(rep.stop.empty(), cut == last) << rep.stop;
    } else {
      EXPECT_FALSE(rep.readable);
      EXPECT_NE(rep.stop.find("from offset " + std::to_string(last) + ":"), std::string::npos) << rep.stop;
    }
  }
}

TEST(Damaged, DumpSaysWhereAFileStopsAndFailsForIt) {
  TempDir dir;
  std::vector<uint8_t> bytes = SampleEffect();
  bytes.resize(bytes.size() - 2);  // the last record's payload is short
  WriteBytes(dir / "PAGE.LMI", bytes);
  // What came before the damage is still shown.
  ExpectRun({"dump", dir / "PAGE.LMI"}, kExitFindings, "", "long name \"Page Turn\"");
  ExpectRun({"dump", dir / "PAGE.LMI"}, kExitFindings, "", "BEST declares 4 bytes of payload but only 2 remain");

  WriteBytes(dir / "X.LMI", {'L', 'M', 'X', 'G'});
  ExpectRun({"dump", dir / "X.LMI", "--json"}, kExitFindings, "", "header value LMXG; effect files start with LMXI");

  EXPECT_EQ(Lmxlib({"dump", dir / "missing.LMI"}).status, kExitFindings);
  WriteText(dir / "notes.txt", "hello");
  EXPECT_EQ(Lmxlib({"dump", dir / "notes.txt"}).status, kExitFindings);
}

TEST(Damaged, OddEffectRecordsAreListedAsTheReaderSeesThem) {
  lmx::ChunkWriter w(lmx::kEffectHeader);
  w.IndexedText(FourCC("VDSC"), 0, "early");          // before the count
  w.U32(FourCC("VCNT"), 3);
  w.IndexedText(FourCC("VDSC"), 0, "first");
  w.IndexedText(FourCC("VDSC"), 3, "beyond");         // index not below the count
  w.Record(FourCC("ENAM"), "TOOLONGNAME", 11);        // no zero, too long
  w.U32(FourCC("OCNT"), 1);
  w.IndexedBytes(FourCC("OPTS"), 0, "short", 5);      // payload too short for an entry
  lmx::EffectOption o{};
  w.IndexedBytes(FourCC("OPTS"), 1, &o, sizeof o);    // index not below the count
  w.Record(FourCC("ETYP"), "\x01\x00", 2);            // number too short
  w.Record(FourCC("NAME"), "\xff\xfe", 2);            // unknown tag, not text
  Report rep = Inspect("effect", w.bytes());
  EXPECT_TRUE(rep.readable);
  for (const char* problem :
       {"object index 0 comes before the object count", "object index 3 is not below the object count",
        "object 1 has no name", "object 2 has no name", "short name has no terminating zero",
        "short name of 11 characters; readers keep the first 8", "an option needs 112", "option 0 has no entry",
        "OPTS at offset 119: option index 1 is not below the option count",
        "too short for the type"})
    EXPECT_TRUE(HasProblem(rep, problem)) << problem;
  EXPECT_EQ(rep.content["name"], "TOOLONGN");
  EXPECT_EQ(rep.content["objects"], Json({"first", "", ""}));
  EXPECT_EQ(rep.content["extraRecords"][0]["hex"], "fffe");
  // Bytes that are not text never break the JSON output.
  TempDir dir;
  lmx::ChunkWriter bad(lmx::kEffectHeader);
  bad.Record(FourCC("ELNM"), "\xc3\x28\x00", 3);
  WriteBytes(dir / "BAD.LMI", bad.bytes());
  EXPECT_EQ(Lmxlib({"dump", dir / "BAD.LMI", "--json"}).status, 0);
}

// Odd pixel records are in roundtrip_test, against the product's reader.
TEST(Damaged, TextureWithoutPixelsOrWithAHugeLength) {
  lmx::ChunkWriter none(kTextureHeader);
  none.U32(FourCC("TWID"), 2).U32(FourCC("THIT"), 2);
  EXPECT_TRUE(HasProblem(Inspect("texture", none.bytes()), "no pixels"));
  // A huge length is refused without allocating.
  lmx::ChunkWriter huge(kTextureHeader);
  huge.U32(FourCC("TWID"), 4).Raw({'T', 'D', 'A', 'T', 0xFF, 0xFF, 0xFF, 0xFF});
  Report hugeRep = Inspect("texture", huge.bytes());
  EXPECT_FALSE(hugeRep.readable);
  EXPECT_NE(hugeRep.stop.find("more than a reader accepts"), std::string::npos) << hugeRep.stop;
}

TEST(Damaged, BitmapsDefaultsAndEngineLists) {
  std::vector<uint8_t> cut = SolidBmp(10, 10);
  cut.resize(cut.size() - 30);
  EXPECT_TRUE(HasProblem(DecodeBitmap(cut), "pixel bits cut off"));
  std::vector<uint8_t> odd = SolidBmp(2, 2);
  odd[14] = 64;  // header size 64
  Report oddRep = DecodeBitmap(odd);
  EXPECT_FALSE(oddRep.readable);
  EXPECT_NE(oddRep.stop.find("information header of 64 bytes"), std::string::npos);
  // A packed bitmap, no file header: a 12-byte core header (1 x 1, 1 plane, 24 bits), one row.
  const std::vector<uint8_t> core = {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 24, 0, 0, 0, 0, 0};
  EXPECT_TRUE(DecodeBitmap(core).problems.empty());

  EXPECT_FALSE(DecodeDefaults(std::vector<uint8_t>(1015)).readable);
  EXPECT_TRUE(DecodeDefaults(std::vector<uint8_t>(1016)).problems.empty());
  EXPECT_TRUE(HasProblem(DecodeDefaults(std::vector<uint8_t>(1020)), "4 bytes after the settings block"));

  auto list = [](const std::string& s) { return DecodeEngineList(std::vector<uint8_t>(s.begin(), s.end())); };
  EXPECT_TRUE(list("RND_001 (OpenGL)\nRND_002 (Portable)\n").problems.empty());
  EXPECT_TRUE(HasProblem(list("RND_001 (OpenGL)\r\n"), "carriage return"));
  EXPECT_TRUE(HasProblem(list("RND_001\n"), "expected an identifier, a blank"));
  EXPECT_TRUE(HasProblem(list(""), "no engines listed"));
}

TEST(Damaged, FaultySourcesAreRefusedWithTheFieldNamedAndNoFileWritten) {
  const struct {
    const char* json;
    const char* message;
  } cases[] = {
      {R"({"name": "A", "colour": 1})", "unknown field \"colour\""},
      {R"({"name": "NINECHARS"})", "effect.name: a short name has 1 to 8 characters"},
      {R"({"name": "A B"})", "is not a short name"},
      {R"({"name": "A", "kind": "wobble"})", "unknown motion kind \"wobble\""},
      {R"({"name": "A", "objects": ["1","2","3","4","5","6","7","8","9","10","11","12","13","14","15","16","17","18","19","20","21"]})",
       "at most 20 objects"},
      {R"({"name": "A", "bestPosition": 150})", "bestPosition: from 0 to 100"},
      {R"({"name": "A", "type": 1, "objects": ["Only"]})", "type 1 swaps objects 0 and 1"},
      {R"({"name": "A", "type": -1})", "effect.type: expected a whole number"},
      {R"({"name": "A", "options": [{"label": "Rows", "kind": "slider", "default": 9, "minimum": 1, "maximum": 8, "tag": "rows"}]})",
       "options[0].default: outside minimum to maximum"},
      {R"({"name": "A", "options": [{"label": "Axis", "kind": "list", "choices": ["H", "V"], "default": 2, "tag": "axis"}]})",
       "a list's default is the index of one of its 2 choices"},
      {R"({"name": "A", "options": [{"label": "A label longer than 23 chars", "kind": "checkbox", "tag": 1}]})",
       "options[0].label: 1 to 23 characters"},
      {R"({"name": "A", "options": [{"label": "X", "kind": "knob", "tag": 1}]})", "unknown option kind \"knob\""},
      {R"({"name": "A", "options": [{"label": "X", "kind": "slider", "tag": "sparkle"}]})", "unknown option tag"},
      {R"({"name": "A", "extraRecords": [{"tag": "XY", "hex": "00"}]})", "extraRecords[0].tag: four characters"},
      {R"({"name": "A", "extraRecords": [{"tag": "XYZW", "hex": "0g"}]})", "is not a hex digit"},
      {R"({"name": "A",)", "not valid JSON"},
      {R"({"groups": [{"name": "G", "effects": ["TOOLONGNAME"]}]})", "effects[0]: a short name has 1 to 8 characters"},
      {R"({"groups": [{"name": "", "effects": []}]})", "groups[0].name: 1 to 40 characters"},
      // Entry names stay inside EFFECTS; texts must have a place in Windows-1252.
      {R"({"groups": [{"name": "G", "effects": ["../LMX"]}]})", "effects[0]: \"../LMX\" is not a short name"},
      {R"({"groups": [{"name": "G", "effects": ["A/B"]}]})", "effects[0]: \"A/B\" is not a short name"},
      {R"({"groups": [{"name": "G", "effects": ["CUBE.LMI"]}]})", "effects[0]: \"CUBE.LMI\" is not a short name"},
      {R"({"name": "A", "longName": "Ωmega"})", "effect.longName: \"Ω\" (U+03A9) has no place in Windows-1252"},
      {R"({"name": "A", "objects": ["ok", "★"]})", "effect.objects[1]: \"★\" (U+2605)"},
      {R"({"name": "A", "options": [{"label": "日本", "kind": "checkbox", "tag": 1}]})", "options[0].label: \"日\""},
      {R"({"name": "CAFÉ"})", "effect.name: \"CAFÉ\" is not a short name"},
      {R"({"name": "ÄÖÜÄÖÜ"})", "is not a short name"},
      {R"({"name": "A", "longName": "ÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄ"})", "at most 42 characters"},
      {R"({"groups": [{"name": "Ελληνικά", "effects": ["A"]}]})", "organization.groups[0].name: \"Ε\""},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    WriteText(dir / "src.json", c.json);
    const bool org = std::string(c.json).find("groups") != std::string::npos;
    const std::string out = dir / (org ? "OUT.ORG" : "OUT.LMI");
    ExpectRun({"build", dir / "src.json", "-o", out}, kExitFindings, c.message);
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  // 42 characters fit although they are 84 bytes of UTF-8.
  WriteText(dir / "src.json", R"({"name": "A", "longName": "ÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄ"})");
  EXPECT_EQ(Lmxlib({"build", dir / "src.json", "-o", dir / "A.LMI"}).status, kExitOk);
  // Pictures that cannot be read, and wrong command lines.
  WriteText(dir / "broken.png", "not a picture");
  ExpectRun({"build", dir / "broken.png", "-o", dir / "T.LMT"}, kExitFindings, "not a picture lmxlib knows");
  EXPECT_EQ(Lmxlib({"frobnicate"}).status, kExitUsage);
  EXPECT_EQ(Lmxlib({"check", dir / "nothing-here"}).status, kExitUsage);
}

}  // namespace
}  // namespace lmxlib::test
