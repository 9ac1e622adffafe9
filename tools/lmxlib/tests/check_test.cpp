// check on a complete installation, then on copies with one planted fault each: every
// fault is found, with the path it concerns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "lmxlib/check.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/texture_format.h"
#include "model/help_ids.h"
#include "test_util.h"
#include "winhelp/hlp_writer.h"

namespace lmxlib::test {
namespace {

// A help file with a contents topic and a popup for every context of the module's help
// table except `without`.
std::vector<uint8_t> HelpFileWithout(uint32_t without) {
  using winhelp::TopicKind;
  const std::vector<winhelp::Paragraph> text = {{{winhelp::Span{"What this does.", winhelp::SpanStyle::kPlain, ""}}}};
  winhelp::HelpProject project{"Help", "", {{TopicKind::kContents, "Contents", "IDH_CONTENTS", {}, text, ""}}};
  std::set<uint32_t> contexts;
  for (size_t i = 0; lmx::kHelpIdPairs[i] != 0; i += 2) contexts.insert(lmx::kHelpIdPairs[i + 1]);
  for (uint32_t c : contexts)
    if (c != without) project.topics.push_back({TopicKind::kPopup, "Popup", "IDH_" + std::to_string(c), c, text, ""});
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(winhelp::WriteHelpFile(project, &bytes, &error)) << error;
  return bytes;
}

// A small but complete installation: two effects in DEFAULT, icons, both about box
// pictures, the engine list and all 60 preview textures.
void MakeInstallation(const fs::path& root) {
  for (const char* d : {"HELP", "LIBS", "ORGS", "EFFECTS", "TEXTURES", "Work"}) fs::create_directories(root / d);
  for (const char* name : {"DOORS", "CUBE"}) {
    EffectSource e;
    e.name = name;
    e.type = 1;
    e.objects = {"One", "Two"};
    WriteBytes((root / "EFFECTS" / (std::string(name) + ".LMI")).string(), EncodeEffect(e));
    WriteBytes((root / "EFFECTS" / (std::string(name) + ".BMP")).string(), SolidBmp(48, 44));
  }
  OrganizationSource org;
  org.groups = {{"Pairs", {"DOORS", "CUBE"}}};
  WriteBytes((root / "ORGS" / "DEFAULT.ORG").string(), EncodeOrganization(org));
  WriteBytes((root / "LMX.BMP").string(), SolidBmp(20, 16, 32));
  WriteBytes((root / "CRVLOGO.BMP").string(), SolidBmp(9, 6));
  WriteText((root / "LIBS" / "LMX_ENG.LST").string(), "RND_001 (OpenGL)\nRND_002 (Portable)\n");
  WriteBytes((root / "HELP" / "LMXSlct.HLP").string(), HelpFileWithout(0));
  for (auto [prefix, side] : {std::pair{"PREVS_", 32u}, {"PREVM_", 64u}, {"PREVL_", 128u}}) {
    Picture p;
    p.width = p.height = side;
    p.rgba.assign(size_t(side) * side * 4, 128);
    for (int i = 1; i <= 20; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "%s%02d.LMT", prefix, i);
      WriteBytes((root / "TEXTURES" / name).string(), EncodeTexture(p));
    }
  }
}

std::string Findings(const fs::path& root) {
  std::string all;
  for (const Finding& f : CheckInstallation(root.string()))
    all += fs::path(f.path).lexically_relative(root).generic_string() + ": " + f.message + "\n";
  return all;
}

struct Fault {
  const char* name;
  void (*plant)(const fs::path& root);
  const char* expected;  // "relative/path: start of message"
};

const Fault kFaults[] = {
    {"missing icon", [](const fs::path& r) { fs::remove(r / "EFFECTS/CUBE.BMP"); }, "EFFECTS/CUBE.BMP: missing"},
    {"8-bit icon", [](const fs::path& r) { WriteBytes((r / "EFFECTS/DOORS.BMP").string(), SolidBmp(4, 4, 8)); },
     "EFFECTS/DOORS.BMP: bitmap of 8 bits per pixel"},
    {"entry without effect file", [](const fs::path& r) { fs::remove(r / "EFFECTS/DOORS.LMI"); },
     "ORGS/DEFAULT.ORG: group \"Pairs\": effect \"DOORS\" has no effect file"},
    {"damaged effect",  // cut inside the length of the third record
     [](const fs::path& r) { fs::resize_file(r / "EFFECTS/DOORS.LMI", 34); }, "EFFECTS/DOORS.LMI: unreadable from offset 28"},
    {"name differs from file", [](const fs::path& r) { fs::copy_file(r / "EFFECTS/CUBE.LMI", r / "EFFECTS/BOX.LMI"); },
     "EFFECTS/BOX.LMI: short name \"CUBE\" differs from the file name"},
    {"missing preview texture", [](const fs::path& r) { fs::remove(r / "TEXTURES/PREVL_20.LMT"); },
     "TEXTURES/PREVL_20.LMT: missing"},
    {"wrongly sized preview",
     [](const fs::path& r) {
       fs::copy_file(r / "TEXTURES/PREVS_05.LMT", r / "TEXTURES/PREVM_05.LMT", fs::copy_options::overwrite_existing);
     },
     "TEXTURES/PREVM_05.LMT: preview texture of 32 x 32; this quality needs 64 x 64"},
    {"engine list without final line feed",
     [](const fs::path& r) { WriteText((r / "LIBS/LMX_ENG.LST").string(), "RND_001 (OpenGL)\nRND_002 (Portable)"); },
     "LIBS/LMX_ENG.LST: line 2 \"RND_002 (Portable)\" does not end with a line feed"},
    {"missing Work directory", [](const fs::path& r) { fs::remove_all(r / "Work"); }, "Work: missing directory"},
    {"missing about picture", [](const fs::path& r) { fs::remove(r / "LMX.BMP"); }, "LMX.BMP: missing"},
    {"missing default organization",
     [](const fs::path& r) { fs::rename(r / "ORGS/DEFAULT.ORG", r / "ORGS/OTHER.ORG"); },
     "ORGS/DEFAULT.ORG: missing"},
    {"lower-case organization extension",
     [](const fs::path& r) { fs::copy_file(r / "ORGS/DEFAULT.ORG", r / "ORGS/MINE.org"); },
     "ORGS/MINE.org: extension is not upper-case"},
    {"short defaults file",
     [](const fs::path& r) { WriteBytes((r / "Work/Defaults.LRI").string(), std::vector<uint8_t>(100)); },
     "Work/Defaults.LRI: file of 100 bytes is shorter than one settings block"},
    {"missing help file", [](const fs::path& r) { fs::remove(r / "HELP/LMXSlct.HLP"); },
     "HELP/LMXSlct.HLP: missing: help requests find no help file"},
    {"help context without popup",
     [](const fs::path& r) { WriteBytes((r / "HELP/LMXSlct.HLP").string(), HelpFileWithout(7)); },
     "HELP/LMXSlct.HLP: help context 7 (controls 1509, 1062) has no popup topic"},
    {"damaged help file",
     [](const fs::path& r) { fs::resize_file(r / "HELP/LMXSlct.HLP", fs::file_size(r / "HELP/LMXSlct.HLP") / 2); },
     "HELP/LMXSlct.HLP: unreadable help file: file cut short"},
    {"write cut off by a crash", [](const fs::path& r) { WriteText((r / "ORGS/.lmx-write-a1B2c3").string(), "DE"); },
     "ORGS/.lmx-write-a1B2c3: left by a write that did not finish"},
};

// A copy of one complete installation, made once, for each planted fault.
void Copy(const fs::path& to) {
  static const TempDir pristine;
  static const bool made = (MakeInstallation(pristine.path()), true);
  ASSERT_TRUE(made);
  fs::copy(pristine.path(), to, fs::copy_options::recursive);
}

TEST(CheckFaults, EachPlantedFaultIsFoundWithItsPath) {
  for (const Fault& f : kFaults) {
    SCOPED_TRACE(f.name);
    TempDir dir;
    Copy(dir.path() / "i");
    f.plant(dir.path() / "i");
    const std::string found = Findings(dir.path() / "i");
    EXPECT_NE(found.find(f.expected), std::string::npos) << found;
  }
}

TEST(CheckFaults, SeveralFaultsAreAllListedAndNothingElse) {
  TempDir dir;
  const fs::path root = dir.path() / "i";
  Copy(root);
  EXPECT_EQ(Findings(root), "") << "the complete installation";
  ExpectRun({"check", root.string()}, kExitOk, "", "no problems found");
  const Fault* planted[] = {&kFaults[0], &kFaults[6], &kFaults[7]};
  for (const Fault* f : planted) f->plant(root);
  const std::string found = Findings(root);
  for (const Fault* f : planted) EXPECT_NE(found.find(f->expected), std::string::npos) << f->name << "\n" << found;
  EXPECT_EQ(std::count(found.begin(), found.end(), '\n'), 3) << found;
  ExpectRun({"check", root.string()}, kExitFindings, "", "3 problem(s) found");
}

}  // namespace
}  // namespace lmxlib::test
