// Topic sources and the writer's refusals: each fault is named with the source and line
// it concerns, and nothing is written for a faulty project.
#include <gtest/gtest.h>

#include <tuple>

#include "help_test_util.h"

namespace winhelp::test {
namespace {

Topic Parse(const std::string& text, HelpProject* project = nullptr) {
  HelpProject scratch;
  Topic topic;
  std::string error;
  EXPECT_TRUE(ParseTopicSource(text, "t.md", &topic, project ? project : &scratch, &error)) << error;
  return topic;
}

std::string ParseError(const std::string& text) {
  HelpProject project;
  Topic topic;
  std::string error;
  EXPECT_FALSE(ParseTopicSource(text, "t.md", &topic, &project, &error));
  return error;
}

TEST(HelpSource, HeaderBodyStylesAndLinks) {
  HelpProject project;
  const Topic t = Parse(
      "title: Render\ncontext: IDH_RENDER\nmap: 8\nkind: page\nhelp-title: H\ncopyright: C\n---\n"
      "First line\nsecond line with **bold words** and\n[a link](IDH_OTHER).\n\n\nNext paragraph.\n",
      &project);
  EXPECT_EQ(std::tie(t.title, t.context, project.title, project.copyright),
            std::make_tuple("Render", "IDH_RENDER", "H", "C"));
  EXPECT_EQ(t.map, 8u);
  EXPECT_EQ(t.kind, TopicKind::kPage);
  ASSERT_EQ(t.paragraphs.size(), 3u);  // the title as heading, then two
  EXPECT_EQ(t.paragraphs[0].spans[0].style, SpanStyle::kHeading);
  EXPECT_EQ(PlainText(t.paragraphs[1]), "First line second line with bold words and a link.");
  const std::vector<Span>& s = t.paragraphs[1].spans;
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(std::tie(s[1].text, s[1].style, s[3].text, s[3].link),
            std::make_tuple("bold words", SpanStyle::kBold, "a link", "IDH_OTHER"));
  EXPECT_EQ(PlainText(t.paragraphs[2]), "Next paragraph.");
  // A popup has no heading.
  EXPECT_EQ(Parse("title: P\ncontext: IDH_P\nmap: 5\nkind: popup\n---\nText.\n").paragraphs.size(), 1u);
}

TEST(HelpSource, FaultsNameTheirLine) {
  const std::string head = "title: T\ncontext: IDH_T\nkind: popup\nmap: 1\n";
  EXPECT_EQ(ParseError("title: T\nno colon here\n---\nx\n"), "t.md: line 2: header line without \"key: value\"");
  EXPECT_EQ(ParseError(head + "colour: red\n---\nx\n"), "t.md: line 5: unknown header key \"colour\"");
  EXPECT_EQ(ParseError("map: 12a\n---\nx\n"), "t.md: line 1: map number \"12a\" is not a whole number");
  EXPECT_EQ(ParseError(head + "x\n"), "t.md: line 5: header line without \"key: value\"");
  EXPECT_EQ(ParseError(head), "t.md: line 4: no \"---\" line ends the header");
  EXPECT_EQ(ParseError(head + "---\n\n"), "t.md: line 6: the topic has no text");
  EXPECT_EQ(ParseError(head + "---\nsome **bold\n"), "t.md: line 6: \"**\" not closed");
  EXPECT_EQ(ParseError(head + "---\n[link without target\n"), "t.md: line 6: \"[\" without \"](CONTEXT)\"");
  EXPECT_EQ(ParseError(head + "---\ncaf\xc3\xa9\n"), "t.md: line 6: only ASCII text is allowed");
  EXPECT_EQ(ParseError("title: T\ncontext: IDH_T\nkind: popup\n---\nx\n"), "t.md: line 1: a popup needs \"map:\"");
  EXPECT_EQ(ParseError("title: T\ncontext: IDH_T\nkind: tooltip\n---\nx\n"),
            "t.md: line 1: \"kind:\" must be contents, page or popup");
}

TEST(HelpWriter, RefusesFaultyProjects) {
  struct Case {
    const char* name;
    void (*spoil)(HelpProject&);
    const char* expected;
  };
  const Case cases[] = {
      {"no contents", [](HelpProject& p) { p.topics[0].kind = TopicKind::kPage; },
       "the project needs exactly one contents topic, it has 0"},
      {"same map twice", [](HelpProject& p) { p.topics[2].map = p.topics[1].map; },
       "topic \"Popup number 1\": map number 1000 is taken by \"IDH_POPUP_0\""},
      {"same hash", [](HelpProject& p) { p.topics[2].context = "idh_popup_0"; },
       "topic \"Popup number 1\": context \"idh_popup_0\" hashes like \"IDH_POPUP_0\""},
      {"empty topic", [](HelpProject& p) { p.topics[3].paragraphs = {Paragraph{{Text("")}}}; },
       "topic \"Popup number 2\": topic has no text"},
      {"link to nothing", [](HelpProject& p) { p.topics[1].paragraphs[0].spans[3].link = "IDH_NOWHERE"; },
       "topic \"Popup number 0\": link to \"IDH_NOWHERE\", which no topic has as context"},
      {"control character", [](HelpProject& p) { p.topics[1].paragraphs[0].spans[0].text = "tab\there"; },
       "topic \"Popup number 0\": control character in the text"},
      {"no file title", [](HelpProject& p) { p.title.clear(); }, "the help file's title must have 1 to 50 characters"},
      {"file title too long for the window's caption", [](HelpProject& p) { p.title.assign(51, 'T'); },
       "the help file's title must have 1 to 50 characters"},
      {"context without letters", [](HelpProject& p) { p.topics[1].context = "--"; },
       "topic \"Popup number 0\": context name \"--\" has no letter or digit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HelpProject project = LargeProject(3);
    c.spoil(project);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(WriteHelpFile(project, &bytes, &error));
    EXPECT_EQ(error, c.expected);
    EXPECT_TRUE(bytes.empty());
  }
}

TEST(HelpSource, ContentsFileListsContentsAndPages) {
  const HelpProject project = TreeSources();
  const std::string cnt = ContentsFile(project, "LMXSlct.HLP");
  EXPECT_EQ(cnt.rfind(":Base LMXSlct.HLP\r\n:Title Lumora FX Selection Help\r\n1 Lumora FX Selection=IDH_CONTENTS\r\n", 0), 0u)
      << cnt;
  // Every page is listed under the contents with its context; popups stay out.
  for (const Topic& t : project.topics) {
    EXPECT_EQ(cnt.find("=" + t.context + "\r\n") != std::string::npos, t.kind != TopicKind::kPopup) << t.context;
    if (t.kind == TopicKind::kPage) EXPECT_NE(cnt.find("2 " + t.title + "=" + t.context + "\r\n"), std::string::npos);
  }
}

TEST(HelpContextHash, KnownValues) {
  // The viewer's hash: letters 17..42 either case, '1'..'9' 1..9, '0' 10, '.' 12, '_' 13,
  // others skipped, times 43 per character, wrapping at 32 bits.
  EXPECT_EQ(ContextHash(""), 0);
  EXPECT_EQ(ContextHash("A"), 17);
  EXPECT_EQ(ContextHash("a"), 17);
  EXPECT_EQ(ContextHash("Z0._9"), (((26 + 16) * 43 + 10) * 43 + 12) * 43 * 43 + 13 * 43 + 9);
  EXPECT_EQ(ContextHash("a-b c"), ContextHash("abc"));
  EXPECT_EQ(ContextHash("IDH_PAGE_FX"), int32_t(0x01BA336C));
  EXPECT_EQ(ContextHash("IDH_CONTENTS"), int32_t(0x68310BEE));
}

}  // namespace
}  // namespace winhelp::test
