#include "library/chunk_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "library/texture_reader.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using Bytes = std::vector<uint8_t>;
using Seen = std::vector<Bytes>;
constexpr uint32_t kHeader = FourCC("LMXI");

// Everything a reader sees of a chunk file: the opening status, each record (tag, length,
// payload), and the last read's result with the status it leaves.
Seen Drain(ChunkFile& f) {
  Seen seen{{static_cast<uint8_t>(f.status())}};
  if (f.status() != ChunkOk) return seen;
  ChunkRecord r;
  ChunkStatus result;
  while ((result = f.ReadRecord(&r)) == ChunkOk) {
    Bytes record(8);
    StoreU32(record.data(), r.tag);
    StoreU32(record.data() + 4, r.length);
    record.insert(record.end(), r.data, r.data + r.length);
    seen.push_back(record);
  }
  seen.push_back({static_cast<uint8_t>(result), static_cast<uint8_t>(f.status())});
  return seen;
}

Bytes Rec(const char* tag, const Bytes& payload) {
  Bytes record(8);
  std::memcpy(record.data(), tag, 4);
  StoreU32(record.data() + 4, uint32_t(payload.size()));
  record.insert(record.end(), payload.begin(), payload.end());
  return record;
}

class ChunkFileTest : public ::testing::Test {
 protected:
  std::string Plant(const Bytes& bytes) {
    install_.Write("EFFECTS/T.LMI", bytes);
    return install_.File("EFFECTS/T.LMI");
  }
  test::TestInstall install_;
};

TEST_F(ChunkFileTest, EachKindOfFileOpensOnItsLeadingBytes) {
  const std::pair<const char*, uint32_t> kinds[] = {
      {"LMXI", kEffectHeader}, {"LMXG", kOrganizationHeader}, {"LMXT", kTextureHeader}};
  for (auto [leading, header] : kinds) {
    ChunkFile f(Plant(Bytes(leading, leading + 4)).c_str(), header, false);
    EXPECT_EQ(Drain(f), (Seen{{ChunkOk}, {ChunkEnd, ChunkEnd}})) << leading;
  }
}

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
    ChunkFile file(Plant(content).c_str(), kHeader, false);
    ChunkFile memory(content.data(), content.size(), kHeader);
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

}  // namespace
}  // namespace lmx
