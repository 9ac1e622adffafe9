#include "winhelp/help_source.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace winhelp {
namespace fs = std::filesystem;
namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// Splits one paragraph's text into spans at "**" and "[text](CONTEXT)".
bool Spans(const std::string& text, Paragraph* p, std::string* why) {
  bool bold = false;
  std::string pending;
  auto flush = [&] {
    if (!pending.empty()) p->spans.push_back({pending, bold ? SpanStyle::kBold : SpanStyle::kPlain, ""});
    pending.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "**") == 0) {
      flush();
      bold = !bold;
      ++i;
    } else if (text[i] == '[') {
      const size_t close = text.find("](", i);
      const size_t end = close == std::string::npos ? close : text.find(')', close);
      if (end == std::string::npos) {
        *why = "\"[\" without \"](CONTEXT)\"";
        return false;
      }
      flush();
      p->spans.push_back({text.substr(i + 1, close - i - 1), bold ? SpanStyle::kBold : SpanStyle::kPlain,
                          text.substr(close + 2, end - close - 2)});
      i = end;
    } else {
      pending += text[i];
    }
  }
  if (bold) {
    *why = "\"**\" not closed";
    return false;
  }
  flush();
  return true;
}

}  // namespace

bool ParseTopicSource(const std::string& text, const std::string& source, Topic* topic, HelpProject* project,
                      std::string* error) {
  std::istringstream in(text);
  std::string line, kind;
  int number = 0;
  bool body = false;
  std::string paragraph;
  int paragraphLine = 0;
  auto fail = [&](int at, const std::string& why) {
    *error = source + ": line " + std::to_string(at) + ": " + why;
    return false;
  };
  auto endParagraph = [&]() {
    if (paragraph.empty()) return true;
    Paragraph p;
    std::string why;
    if (!Spans(paragraph, &p, &why)) return fail(paragraphLine, why);
    topic->paragraphs.push_back(std::move(p));
    paragraph.clear();
    return true;
  };
  *topic = Topic{};
  topic->source = source;
  while (std::getline(in, line)) {
    ++number;
    for (unsigned char c : line)
      if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\r')) return fail(number, "only ASCII text is allowed");
    line = Trim(line);
    if (!body) {
      if (line == "---") {
        body = true;
        continue;
      }
      if (line.empty()) continue;
      const size_t colon = line.find(':');
      if (colon == std::string::npos) return fail(number, "header line without \"key: value\"");
      const std::string key = Trim(line.substr(0, colon)), value = Trim(line.substr(colon + 1));
      if (key == "title") topic->title = value;
      else if (key == "context") topic->context = value;
      else if (key == "kind") kind = value;
      else if (key == "help-title") project->title = value;
      else if (key == "copyright") project->copyright = value;
      else if (key == "map") {
        if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos)
          return fail(number, "map number \"" + value + "\" is not a whole number");
        topic->map = uint32_t(std::stoul(value));
      } else {
        return fail(number, "unknown header key \"" + key + "\"");
      }
      continue;
    }
    if (line.empty()) {
      if (!endParagraph()) return false;
      continue;
    }
    if (paragraph.empty()) paragraphLine = number;
    paragraph += (paragraph.empty() ? "" : " ") + line;
  }
  if (!body) return fail(number, "no \"---\" line ends the header");
  if (!endParagraph()) return false;
  if (topic->title.empty()) return fail(1, "missing \"title:\"");
  if (topic->context.empty()) return fail(1, "missing \"context:\"");
  if (kind == "contents") topic->kind = TopicKind::kContents;
  else if (kind == "page") topic->kind = TopicKind::kPage;
  else if (kind == "popup") topic->kind = TopicKind::kPopup;
  else return fail(1, "\"kind:\" must be contents, page or popup");
  if (topic->kind == TopicKind::kPopup && !topic->map) return fail(1, "a popup needs \"map:\"");
  if (topic->paragraphs.empty()) return fail(number, "the topic has no text");
  if (topic->kind != TopicKind::kPopup)
    topic->paragraphs.insert(topic->paragraphs.begin(), Paragraph{{{topic->title, SpanStyle::kHeading, ""}}});
  return true;
}

bool LoadHelpSources(const std::string& dir, HelpProject* project, std::string* error) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(fs::u8path(dir), ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".md" && it->is_regular_file(ec)) files.push_back(it->path());
  if (ec) {
    *error = dir + ": " + ec.message();
    return false;
  }
  if (files.empty()) {
    *error = dir + ": no topic sources (*.md)";
    return false;
  }
  std::sort(files.begin(), files.end());
  *project = HelpProject{};
  for (const fs::path& path : files) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
      *error = path.u8string() + ": cannot read";
      return false;
    }
    Topic topic;
    if (!ParseTopicSource(text.str(), path.u8string(), &topic, project, error)) return false;
    project->topics.push_back(std::move(topic));
  }
  std::stable_sort(project->topics.begin(), project->topics.end(),
                   [](const Topic& a, const Topic& b) { return int(a.kind) < int(b.kind); });
  if (project->title.empty()) {
    *error = dir + ": no \"help-title:\" in the contents topic";
    return false;
  }
  return true;
}

std::string ContentsFile(const HelpProject& project, const std::string& hlpName) {
  std::string cnt = ":Base " + hlpName + "\r\n:Title " + project.title + "\r\n";
  for (const Topic& t : project.topics)
    if (t.kind == TopicKind::kContents) cnt += "1 " + t.title + "=" + t.context + "\r\n";
  cnt += "1 Pages of the sheet\r\n";
  for (const Topic& t : project.topics)
    if (t.kind == TopicKind::kPage) cnt += "2 " + t.title + "=" + t.context + "\r\n";
  return cnt;
}

}  // namespace winhelp
