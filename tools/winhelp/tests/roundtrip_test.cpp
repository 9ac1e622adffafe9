// Help files built from projects and read back by our reader: every topic's title and
// text, every context hash, every map number and every title entry come back, for the
// tree's own sources and for a project large enough to need several topic blocks and
// B+ tree pages.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "help_test_util.h"
#include "winhelp/help_coverage.h"
#include "winhelp/hlp_reader.h"

namespace winhelp::test {
namespace {

void ExpectRoundTrip(const HelpProject& project) {
  const std::vector<uint8_t> bytes = Build(project);
  HelpFile file;
  std::string error;
  ASSERT_TRUE(ReadHelpFile(bytes, &file, &error)) << error;
  EXPECT_EQ(file.fileSize, bytes.size());
  EXPECT_EQ(file.title, project.title);
  EXPECT_EQ(file.copyright, project.copyright);
  EXPECT_EQ(file.mainCaption, project.title);  // what the viewer captions its window with
  ASSERT_EQ(file.topics.size(), project.topics.size());

  std::map<int32_t, uint32_t> contexts;
  for (const ReadContext& c : file.contexts) contexts[c.hash] = c.offset;
  std::map<uint32_t, uint32_t> map;
  for (const ReadMapEntry& m : file.map) map[m.number] = m.offset;
  std::map<uint32_t, std::string> titles;
  for (const ReadTitle& t : file.titles) titles[t.offset] = t.title;
  EXPECT_EQ(contexts.size(), project.topics.size());
  EXPECT_EQ(titles.size(), project.topics.size());

  std::set<uint32_t> offsets;
  size_t mapped = 0;
  for (size_t i = 0; i < project.topics.size(); ++i) {
    const Topic& want = project.topics[i];
    const ReadTopic& got = file.topics[i];
    SCOPED_TRACE(want.context);
    EXPECT_EQ(got.title, want.title);
    EXPECT_EQ(got.number, i);
    EXPECT_TRUE(offsets.insert(got.offset).second) << "two topics at one offset";
    std::vector<std::string> text;
    std::vector<int32_t> links;
    for (const Paragraph& p : want.paragraphs) {
      text.push_back(PlainText(p));
      for (const Span& s : p.spans)
        if (!s.link.empty()) links.push_back(ContextHash(s.link));
    }
    EXPECT_EQ(got.paragraphs, text);
    EXPECT_EQ(got.links, links);
    ASSERT_TRUE(contexts.count(ContextHash(want.context)));
    EXPECT_EQ(contexts[ContextHash(want.context)], got.offset);
    EXPECT_EQ(titles[got.offset], want.title);
    if (want.map) {
      ++mapped;
      ASSERT_TRUE(map.count(*want.map));
      EXPECT_EQ(map[*want.map], got.offset);
    }
    if (want.kind == TopicKind::kContents) EXPECT_EQ(file.contentsOffset, got.offset);
  }
  EXPECT_EQ(map.size(), mapped);
}

TEST(HelpRoundTrip, TreeSourcesComeBackWhole) { ExpectRoundTrip(TreeSources()); }

// Several topic blocks and a two-level |CONTEXT tree (which the viewer walk asserts).
TEST(HelpRoundTrip, LargeProjectAcrossBlocksAndTreePages) { ExpectRoundTrip(LargeProject(700)); }

TEST(HelpRoundTrip, BuildsRepeatByteForByte) { EXPECT_EQ(Build(TreeSources()), Build(TreeSources())); }

// A missing popup is found through lmxlib check (check_test).
TEST(HelpCoverage, TreeSourcesHaveAPopupForEveryHelpContextAndEmptyTopicsAreReported) {
  HelpFile file;
  std::string error;
  ASSERT_TRUE(ReadHelpFile(Build(TreeSources()), &file, &error)) << error;
  EXPECT_EQ(CheckHelpCoverage(file), std::vector<std::string>{});
  file.topics[1].paragraphs = {" ", ""};  // what a topic with only blanks reads as
  EXPECT_EQ(CheckHelpCoverage(file), std::vector<std::string>{"topic \"" + file.topics[1].title + "\" is empty"});
}

}  // namespace
}  // namespace winhelp::test
