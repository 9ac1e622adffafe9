// Writes that fail leave the old file byte for byte; outputs never replace inputs; FIFOs
// and other special files are refused instead of blocking.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_util.h"

namespace lmxlib::test {
namespace {

std::string EffectWithDescription(size_t length) {
  return R"({"name": "BIG", "description": ")" + std::string(length, 'x') + R"("})";
}

size_t FilesIn(const fs::path& dir) {
  size_t n = 0;
  for (const auto& entry : fs::directory_iterator(dir)) n += entry.is_regular_file() ? 1 : 0;
  return n;
}

TEST(FileSafety, FailedWriteLeavesTheOldFileByteForByte) {
  TempDir dir;
  WriteText(dir / "BIG.json", EffectWithDescription(200000));
  WriteText(dir / "SMALL.json", R"({"name": "BIG"})");
  ASSERT_EQ(Lmxlib({"build", dir / "SMALL.json", "-o", dir / "BIG.LMI"}).status, kExitOk);
  const std::vector<uint8_t> before = ReadBytes(dir / "BIG.LMI");
  const size_t filesBefore = FilesIn(dir.path());

  // A child whose files may not grow beyond 64 KiB, with the signal of an overlong write
  // ignored (`ulimit -f` with SIGXFSZ trapped): the write fails with EFBIG.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit l{65536, 65536};
    if (setrlimit(RLIMIT_FSIZE, &l) != 0) _exit(101);
    Result r = Lmxlib({"build", dir / "BIG.json", "-o", dir / "BIG.LMI"});
    // The message is short enough to pass under the limit.
    std::ofstream(dir / "message.txt") << r.err;
    _exit(r.status);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExitFindings);
  EXPECT_EQ(ReadBytes(dir / "BIG.LMI"), before);
  std::ifstream in(dir / "message.txt");
  std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
  // No temporary file is left behind (message.txt is the one new file).
  EXPECT_EQ(FilesIn(dir.path()), filesBefore + 1);
}

TEST(FileSafety, OutputThatIsAnInputIsRefused) {
  TempDir dir;
  const std::string source = R"({"name": "SELF"})";
  WriteText(dir / "SELF.json", source);
  fs::create_symlink(dir / "SELF.json", dir.path() / "link.LMI");
  for (const std::string& out : {dir / "SELF.json", dir / "./SELF.json", dir / "link.LMI"}) {
    Result r = Lmxlib({"build", dir / "SELF.json", "-o", out, "--kind", "effect"});
    EXPECT_EQ(r.status, kExitUsage) << out;
    EXPECT_NE(r.err.find("is the source itself"), std::string::npos) << r.err;
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
  EXPECT_EQ(FilesIn(dir.path() / "real"), 1u);
}

TEST(FileSafety, FifosAndDirectoriesAreRefusedWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "pipe.LMI").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.json").c_str(), 0600), 0);
  Result r = Lmxlib({"dump", dir / "pipe.LMI"});
  EXPECT_EQ(r.status, kExitFindings);
  EXPECT_NE(r.err.find("is a FIFO, not a regular file"), std::string::npos) << r.err;
  r = Lmxlib({"build", dir / "pipe.json", "-o", dir / "X.LMI"});
  EXPECT_EQ(r.status, kExitFindings);
  EXPECT_NE(r.err.find("is a FIFO"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "X.LMI"));
  r = Lmxlib({"preview", dir / "pipe.LMI", "-o", dir / "x.gif"});
  EXPECT_EQ(r.status, kExitFindings);
  EXPECT_NE(r.err.find("is a FIFO"), std::string::npos) << r.err;
  // Writing over a FIFO would block just the same.
  WriteText(dir / "A.json", R"({"name": "A"})");
  r = Lmxlib({"build", dir / "A.json", "-o", dir / "pipe.LMI", "--kind", "effect"});
  EXPECT_EQ(r.status, kExitFindings);
  EXPECT_NE(r.err.find("is a FIFO"), std::string::npos) << r.err;
  r = Lmxlib({"dump", dir.path().string()});
  EXPECT_NE(r.err.find("is a directory"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace lmxlib::test
