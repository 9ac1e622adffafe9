#include "library/chunk_file.h"

#include <gtest/gtest.h>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "support/test_install.h"

namespace lmx {
namespace {

constexpr uint32_t kHeader = FourCC("LMXI");

class ChunkFileTest : public ::testing::Test {
 protected:
  std::string Plant(const std::vector<uint8_t>& bytes) {
    install_.Write("EFFECTS/T.LMI", bytes);
    return install_.File("EFFECTS/T.LMI");
  }
  test::TestInstall install_;
};

TEST_F(ChunkFileTest, HeaderOnlyFileIsValidAndEmpty) {
  ChunkFile f(Plant(ChunkWriter(kHeader).bytes()).c_str(), kHeader, false);
  ASSERT_EQ(f.status(), ChunkOk);
  ChunkRecord r;
  EXPECT_EQ(f.ReadRecord(&r), ChunkEnd);
  EXPECT_EQ(f.status(), ChunkEnd);
}

TEST_F(ChunkFileTest, OpenFailures) {
  EXPECT_EQ(ChunkFile(install_.File("EFFECTS/none.LMI").c_str(), kHeader, false).status(), ChunkOpenFailed);
  EXPECT_EQ(ChunkFile(Plant({'L', 'M', 'X'}).c_str(), kHeader, false).status(), ChunkReadFailed);
  ChunkFile other(Plant(ChunkWriter(FourCC("LMXG")).U32(FourCC("ETYP"), 1).bytes()).c_str(), kHeader, false);
  EXPECT_EQ(other.status(), ChunkBadHeader);
  // Header values are compared exactly: letter case counts.
  EXPECT_EQ(ChunkFile(Plant({'l', 'm', 'x', 'i'}).c_str(), kHeader, false).status(), ChunkBadHeader);
}

TEST_F(ChunkFileTest, RecordsComeInFileOrderIncludingEmptyOnes) {
  ChunkWriter w(kHeader);
  w.U32(FourCC("ETYP"), 7).Record(FourCC("ZERO"), nullptr, 0).Text(FourCC("ELNM"), "Long");
  ChunkFile f(Plant(w.bytes()).c_str(), kHeader, false);
  ASSERT_EQ(f.status(), ChunkOk);
  ChunkRecord r;
  ASSERT_EQ(f.ReadRecord(&r), ChunkOk);
  EXPECT_EQ(r.tag, FourCC("ETYP"));
  ASSERT_EQ(r.length, 4u);
  EXPECT_EQ(LoadU32(r.data), 7u);
  ASSERT_EQ(f.ReadRecord(&r), ChunkOk);
  EXPECT_EQ(r.tag, FourCC("ZERO"));
  EXPECT_EQ(r.length, 0u);
  ASSERT_EQ(f.ReadRecord(&r), ChunkOk);
  EXPECT_EQ(r.length, 5u);
  EXPECT_STREQ(reinterpret_cast<const char*>(r.data), "Long");
  EXPECT_EQ(f.ReadRecord(&r), ChunkEnd);
}

TEST_F(ChunkFileTest, StrayBytesAfterLastRecordEndCleanly) {
  for (size_t stray = 1; stray <= 3; ++stray) {
    ChunkWriter w(kHeader);
    w.U32(FourCC("ETYP"), 1).Raw(std::vector<uint8_t>(stray, 0xAB));
    ChunkFile f(Plant(w.bytes()).c_str(), kHeader, false);
    ChunkRecord r;
    ASSERT_EQ(f.ReadRecord(&r), ChunkOk);
    EXPECT_EQ(f.ReadRecord(&r), ChunkEnd) << stray << " stray bytes";
  }
}

TEST_F(ChunkFileTest, CutLengthOrPayloadIsReadFailure) {
  // A tag followed by only two bytes of its length.
  ChunkWriter cutLength(kHeader);
  cutLength.U32(FourCC("ETYP"), 1).Raw({'E', 'T', 'Y', 'P', 4, 0});
  ChunkFile a(Plant(cutLength.bytes()).c_str(), kHeader, false);
  ChunkRecord r;
  ASSERT_EQ(a.ReadRecord(&r), ChunkOk);
  EXPECT_EQ(a.ReadRecord(&r), ChunkReadFailed);

  // A length that runs past the end of the file; the record before it was delivered.
  ChunkWriter pastEnd(kHeader);
  pastEnd.U32(FourCC("ETYP"), 1).Raw({'D', 'E', 'S', 'C', 100, 0, 0, 0, 'a', 'b'});
  ChunkFile b(Plant(pastEnd.bytes()).c_str(), kHeader, false);
  ASSERT_EQ(b.ReadRecord(&r), ChunkOk);
  EXPECT_EQ(r.tag, FourCC("ETYP"));
  EXPECT_EQ(b.ReadRecord(&r), ChunkReadFailed);
  EXPECT_EQ(b.status(), ChunkReadFailed);
}

TEST_F(ChunkFileTest, HugeLengthIsRefusedWithoutAllocating) {
  ChunkWriter w(kHeader);
  w.Raw({'D', 'E', 'S', 'C', 0xFF, 0xFF, 0xFF, 0xFF});
  ChunkFile f(Plant(w.bytes()).c_str(), kHeader, false);
  ChunkRecord r;
  EXPECT_EQ(f.ReadRecord(&r), ChunkNoMemory);
}

// Everything a reader sees of a chunk file: each status and record, to the end.
std::vector<std::vector<uint8_t>> Drain(ChunkFile& f) {
  std::vector<std::vector<uint8_t>> seen{{static_cast<uint8_t>(f.status())}};
  if (f.status() != ChunkOk) return seen;
  ChunkRecord r;
  while (f.ReadRecord(&r) == ChunkOk) {
    std::vector<uint8_t> record(8);
    StoreU32(record.data(), r.tag);
    StoreU32(record.data() + 4, r.length);
    record.insert(record.end(), r.data, r.data + r.length);
    seen.push_back(record);
  }
  seen.push_back({static_cast<uint8_t>(f.status())});
  return seen;
}

TEST_F(ChunkFileTest, BytesInMemoryReadAsTheFileDoes) {
  const std::vector<std::vector<uint8_t>> contents = {
      {},
      {'L', 'M', 'X'},
      ChunkWriter(FourCC("LMXG")).U32(FourCC("ETYP"), 1).bytes(),
      ChunkWriter(kHeader).U32(FourCC("ETYP"), 7).Record(FourCC("ZERO"), nullptr, 0).Text(FourCC("ELNM"), "L")
          .Raw({0xAB, 0xAB}).bytes(),
      ChunkWriter(kHeader).U32(FourCC("ETYP"), 1).Raw({'E', 'T', 'Y', 'P', 4, 0}).bytes(),
      ChunkWriter(kHeader).Raw({'D', 'E', 'S', 'C', 100, 0, 0, 0, 'a', 'b'}).bytes(),
      ChunkWriter(kHeader).Raw({'D', 'E', 'S', 'C', 0xFF, 0xFF, 0xFF, 0xFF}).bytes(),
  };
  for (size_t i = 0; i < contents.size(); ++i) {
    ChunkFile file(Plant(contents[i]).c_str(), kHeader, false);
    ChunkFile memory(contents[i].data(), contents[i].size(), kHeader);
    EXPECT_EQ(Drain(memory), Drain(file)) << "content " << i;
  }
  EXPECT_EQ(ChunkFile(static_cast<const uint8_t*>(nullptr), 8, kHeader).status(), ChunkOpenFailed);
}

TEST_F(ChunkFileTest, WritingCreatesFileWithHeader) {
  std::string path = install_.File("Work/new.LMT");
  {
    ChunkFile w(path.c_str(), FourCC("LMXT"), true);
    EXPECT_EQ(w.status(), ChunkOk);
  }
  ChunkFile r(path.c_str(), FourCC("LMXT"), false);
  EXPECT_EQ(r.status(), ChunkOk);
  ChunkFile missingDir(install_.File("NoSuchDir/x.LMT").c_str(), FourCC("LMXT"), true);
  EXPECT_EQ(missingDir.status(), ChunkOpenFailed);
}

}  // namespace
}  // namespace lmx
