// Outputs never replace inputs, a link keeps pointing at the file written, and FIFOs and
// other special files are refused instead of blocking. (A write that fails part-way is in
// author_walkthrough.sh, under a real file size limit.)
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "test_util.h"

namespace lmxlib::test {
namespace {

TEST(FileSafety, OutputThatIsAnInputIsRefused) {
  TempDir dir;
  const std::string source = R"({"name": "SELF"})";
  WriteText(dir / "SELF.json", source);
  fs::create_symlink(dir / "SELF.json", dir.path() / "link.LMI");
  for (const std::string& out : {dir / "SELF.json", dir / "./SELF.json", dir / "link.LMI"}) {
    ExpectRun({"build", dir / "SELF.json", "-o", out, "--kind", "effect"}, kExitUsage, "is the source itself");
  }
  const std::vector<uint8_t> kept = ReadBytes(dir / "SELF.json");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), source);
}

TEST(FileSafety, AWriteToALinkReplacesItsTargetAndKeepsTheLink) {
  TempDir dir;
  fs::create_directory(dir.path() / "real");
  WriteText(dir / "A.json", R"({"name": "A"})");
  WriteText(dir / "real/A.LMI", "old");
  ASSERT_EQ(chmod((dir / "real/A.LMI").c_str(), 0640), 0);
  fs::create_symlink("real/A.LMI", dir.path() / "A.LMI");
  ASSERT_EQ(Lmxlib({"build", dir / "A.json", "-o", dir / "A.LMI"}).status, kExitOk);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "A.LMI"));
  EXPECT_EQ(Lmxlib({"dump", dir / "real/A.LMI"}).status, kExitOk) << "the target holds the new effect";
  struct stat st;
  ASSERT_EQ(stat((dir / "real/A.LMI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 1);
}

TEST(FileSafety, FifosAndDirectoriesAreRefusedWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "pipe.LMI").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.json").c_str(), 0600), 0);
  WriteText(dir / "A.json", R"({"name": "A"})");
  const std::vector<std::vector<std::string>> cases = {
      {"dump", dir / "pipe.LMI"},
      {"build", dir / "pipe.json", "-o", dir / "X.LMI"},
      {"preview", dir / "pipe.LMI", "-o", dir / "x.gif"},
      {"build", dir / "A.json", "-o", dir / "pipe.LMI", "--kind", "effect"},  // writing would block too
  };
  for (const auto& args : cases) {
    ExpectRun(args, kExitFindings, "is a FIFO, not a regular file");
  }
  EXPECT_FALSE(fs::exists(dir / "X.LMI"));
  EXPECT_NE(Lmxlib({"dump", dir.path().string()}).err.find("is a directory"), std::string::npos);
}

}  // namespace
}  // namespace lmxlib::test
