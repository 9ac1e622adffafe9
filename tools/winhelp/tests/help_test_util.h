// Helpers of the help file tests: the project built from the tree's help sources, and
// a large synthetic project that spreads over several topic blocks and B+ tree pages.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "winhelp/help_source.h"
#include "winhelp/hlp_writer.h"

namespace winhelp::test {

inline HelpProject TreeSources() {
  HelpProject project;
  std::string error;
  EXPECT_TRUE(LoadHelpSources(LMX_HELP_SOURCES, &project, &error)) << error;
  return project;
}

inline Span Text(const std::string& text, SpanStyle style = SpanStyle::kPlain, const std::string& link = "") {
  return Span{text, style, link};
}

// count popups with map numbers 1000 + i and paragraphs long enough to cross blocks.
inline HelpProject LargeProject(int count) {
  HelpProject p{"Large help", "", {}};
  p.topics.push_back({TopicKind::kContents, "Contents", "IDH_CONTENTS", {}, {{{Text("Start", SpanStyle::kHeading)}}}, ""});
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    Paragraph first{{Text("Topic " + n + " says "), Text("this", SpanStyle::kBold), Text(" and links to "),
                     Text("the start", SpanStyle::kPlain, "IDH_CONTENTS"), Text(".")}};
    Paragraph second{{Text(std::string(size_t(37 + i % 300), char('a' + i % 26)))}};
    p.topics.push_back({TopicKind::kPopup, "Popup number " + n, "IDH_POPUP_" + n, uint32_t(1000 + i), {first, second}, ""});
  }
  return p;
}

inline std::vector<uint8_t> Build(const HelpProject& project) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteHelpFile(project, &bytes, &error)) << error;
  return bytes;
}

}  // namespace winhelp::test
