#include "winhelp/help_model.h"

namespace winhelp {

int32_t ContextHash(std::string_view name) {
  uint32_t hash = 0;
  for (char c : name) {
    uint32_t x = 0;
    if (c >= 'A' && c <= 'Z') x = uint32_t(c - 'A') + 17;
    if (c >= 'a' && c <= 'z') x = uint32_t(c - 'a') + 17;
    if (c >= '1' && c <= '9') x = uint32_t(c - '0');
    if (c == '0') x = 10;
    if (c == '.') x = 12;
    if (c == '_') x = 13;
    if (x) hash = hash * 43 + x;
  }
  return int32_t(hash);
}

std::string PlainText(const Paragraph& paragraph) {
  std::string text;
  for (const Span& s : paragraph.spans) text += s.text;
  return text;
}

const char* KindName(TopicKind kind) {
  switch (kind) {
    case TopicKind::kContents: return "contents";
    case TopicKind::kPage: return "page";
    case TopicKind::kPopup: return "popup";
  }
  return "?";
}

}  // namespace winhelp
