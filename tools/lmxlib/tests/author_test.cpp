// What an effect author does with lmxlib alone: icons from any picture, organizations
// edited in place, sources taken back from built files, texts in the library's code page,
// and the checks that keep entry names inside EFFECTS.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "lmxlib/check.h"
#include "lmxlib/organization_format.h"
#include "test_util.h"

namespace lmxlib::test {
namespace {

// A 24-bit bitmap, the left half red and the right half blue; for an editor, with the
// 124-byte header image editors write by default.
std::vector<uint8_t> Halves(int w, int h, bool editor = false) {
  std::vector<uint8_t> b = MakeBmp(w, h, 24, [w](int x, int) {
    return x < w / 2 ? std::tuple<int, int, int>(255, 0, 0) : std::tuple<int, int, int>(0, 0, 255);
  });
  if (!editor) return b;
  b[14] = 124;
  b.insert(b.begin() + 54, 124 - 40, 0);
  lmx::StoreU32(b.data() + 2, uint32_t(b.size()));
  lmx::StoreU32(b.data() + 10, 14 + 124);
  return b;
}

TEST(Author, IconFromAnEditorsBitmapIsWhatTheFxPageDraws) {
  TempDir dir;
  WriteBytes(dir / "drawing.bmp", Halves(200, 100, true));
  // dump refuses the editor's header, which is why the icon command exists.
  ExpectRun({"dump", dir / "drawing.bmp"}, kExitFindings, "",
            "information header of 124 bytes (readers take 40 or 12; lmxlib icon writes");
  Result r = Lmxlib({"icon", dir / "drawing.bmp", "-o", dir / "SWIRL.BMP"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  // 48 x 44, 24 bits, 40-byte header, uncompressed (the fields before the image size); every
  // pixel stays pure red or blue.
  const std::vector<uint8_t> icon = ReadBytes(dir / "SWIRL.BMP"), want = Halves(48, 44);
  ASSERT_EQ(icon.size(), want.size());
  EXPECT_TRUE(std::equal(want.begin(), want.begin() + 34, icon.begin()));
  EXPECT_TRUE(std::equal(want.begin() + 54, want.end(), icon.begin() + 54));
  // A name the FX page would never look up is written, with a warning.
  ExpectRun({"icon", dir / "drawing.bmp", "-o", dir / "swirl icon.png"}, kExitOk, "warning");
}

TEST(Author, OrganizationsAreEditedInPlace) {
  TempDir dir;
  for (const char* d : {"ORGS", "EFFECTS"}) fs::create_directories(dir.path() / d);
  const std::string org = dir / "ORGS/MINE.ORG";
  Result r = Lmxlib({"org", "add", org, "Spins", "SWIRL"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_TRUE(Has(r.err, "EFFECTS/SWIRL.LMI does not exist")) << r.err;
  EXPECT_EQ(Lmxlib({"org", "add", org, "Spins", "CUBE"}).status, kExitOk);
  EXPECT_EQ(Lmxlib({"org", "add", org, "Käse Group", "DOORS"}).status, kExitOk);
  r = Lmxlib({"org", "list", org});
  EXPECT_EQ(r.out, "Spins\n  SWIRL\n  CUBE\nKäse Group\n  DOORS\n");
  // Refusals leave the file as it is.
  const std::vector<uint8_t> before = ReadBytes(org);
  ExpectRun({"org", "add", org, "Spins", "CUBE"}, kExitFindings, "already lists CUBE");
  ExpectRun({"org", "add", org, "Spins", "../LMX"}, kExitFindings, "is not a short name");
  ExpectRun({"org", "remove", org, "Nope", "CUBE"}, kExitFindings,
            "no group \"Nope\" (groups: \"Spins\", \"Käse Group\")");
  EXPECT_EQ(ReadBytes(org), before);
  for (int i = 0; i < 14; ++i) ASSERT_EQ(Lmxlib({"org", "add", org, "Spins", "E" + std::to_string(i)}).status, 0);
  ExpectRun({"org", "add", org, "Spins", "SEVENTEE"}, kExitFindings, "at most 16 effects in a group");
  // Removing the last effect of a group removes the group.
  ExpectRun({"org", "remove", org, "Käse Group", "DOORS"}, kExitOk);
  EXPECT_FALSE(Has(Lmxlib({"org", "list", org}).out, "Käse"));
  // A damaged organization is not edited.
  fs::resize_file(org, fs::file_size(org) - 3);
  const std::vector<uint8_t> cut = ReadBytes(org);
  ExpectRun({"org", "add", org, "Spins", "LAST"}, kExitFindings, "mend it first");
  EXPECT_EQ(ReadBytes(org), cut);
  EXPECT_EQ(Lmxlib({"org", "frob", org}).status, kExitUsage);
}

TEST(Author, DumpSourceBuildsBackToTheSameBytes) {
  TempDir dir;
  WriteText(dir / "SWIRL.json", R"({"name": "SWIRL", "longName": "Café Crème – Swirl", "kind": "spiral",
    "objects": ["Piece"], "options": [{"label": "Größe", "kind": "list", "choices": ["Klein", "Groß"], "default": 1, "minimum": -0.0,
    "tag": "axis"}]})");
  ASSERT_EQ(Lmxlib({"build", dir / "SWIRL.json", "-o", dir / "SWIRL.LMI"}).status, kExitOk);
  Result r = Lmxlib({"dump", "--source", dir / "SWIRL.LMI"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_TRUE(Has(r.out, "\"longName\": \"Café Crème – Swirl\"")) << r.out;
  WriteText(dir / "again.json", r.out);
  ASSERT_EQ(Lmxlib({"build", dir / "again.json", "-o", dir / "AGAIN.LMI", "--kind", "effect"}).status, kExitOk);
  EXPECT_EQ(ReadBytes(dir / "AGAIN.LMI"), ReadBytes(dir / "SWIRL.LMI"));
  // In the file the texts are Windows-1252: one byte a character.
  const std::vector<uint8_t> bytes = ReadBytes(dir / "SWIRL.LMI");
  const std::string file(bytes.begin(), bytes.end());
  EXPECT_TRUE(Has(file, "Caf\xE9 Cr\xE8me \x96 Swirl")) << "en dash is 0x96";
  EXPECT_TRUE(Has(file, "Klein,Gro\xDF"));
  // Files without a source say so; so does the --json form combined with --source.
  WriteBytes(dir / "X.BMP", SolidBmp(4, 4));
  EXPECT_TRUE(Has(Lmxlib({"dump", "--source", dir / "X.BMP"}).err, "only effects and organizations"));
  EXPECT_EQ(Lmxlib({"dump", "--source", "--json", dir / "SWIRL.LMI"}).status, kExitUsage);
}

TEST(Author, CheckNamesAnOrganizationEntryThatIsNoShortName) {
  TempDir dir;
  // build refuses such entries (damaged_test); a file written by other means: check names the
  // entry and does not look outside EFFECTS.
  const fs::path root = dir.path() / "inst";
  for (const char* d : {"ORGS", "EFFECTS"}) fs::create_directories(root / d);
  WriteText((root / "LMX.LMI").string(), "planted");
  lmx::ChunkWriter org(kOrganizationHeader);
  org.Text(lmx::FourCC("OGRP"), "G").Text(lmx::FourCC("OITM"), "../LMX");
  ASSERT_TRUE(org.Save((root / "ORGS/DEFAULT.ORG").string()));
  WriteText(dir / "A.json", R"({"name": "LONELY"})");
  ASSERT_EQ(Lmxlib({"build", dir / "A.json", "-o", (root / "EFFECTS/LONELY.LMI").string()}).status, kExitOk);
  std::string all;
  for (const Finding& f : CheckInstallation(root.string())) all += f.path + ": " + f.message + "\n";
  EXPECT_TRUE(Has(all, "entry: \"../LMX\" is not a short name")) << all;
  EXPECT_FALSE(Has(all, "EFFECTS/../LMX")) << all;
  EXPECT_FALSE(Has(all, "\"../LMX\" has no effect file")) << all;
  EXPECT_TRUE(Has(all, "LONELY.LMI: no organization lists this effect")) << all;
}

}  // namespace
}  // namespace lmxlib::test
