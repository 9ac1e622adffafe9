// A help file's content as this tool handles it: topics of three kinds, each with a
// title, a context name (whose hash finds it), an optional map number (the context
// number a program asks for) and paragraphs of styled text spans.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winhelp {

enum class TopicKind { kContents, kPage, kPopup };
enum class SpanStyle { kPlain, kBold, kHeading };

struct Span {
  std::string text;  // Windows-1252 characters, no control characters
  SpanStyle style = SpanStyle::kPlain;
  std::string link;  // context name of the topic the span jumps to (a popup opens); "" none
};

struct Paragraph {
  std::vector<Span> spans;
};

struct Topic {
  TopicKind kind = TopicKind::kPage;
  std::string title;
  std::string context;
  std::optional<uint32_t> map;
  std::vector<Paragraph> paragraphs;
  std::string source;  // where it came from, for messages
};

struct HelpProject {
  std::string title;  // the help file's title, shown as the viewer's caption
  std::string copyright;
  std::vector<Topic> topics;  // in file order; exactly one contents topic
};

// The hash the viewer looks a context name up by: letters (either case), digits, '.'
// and '_' count, other characters are skipped; wraps modulo 2^32.
int32_t ContextHash(std::string_view name);

// The paragraph's text without styles.
std::string PlainText(const Paragraph& paragraph);

const char* KindName(TopicKind kind);

}  // namespace winhelp
