#include "winhelp/hlp_writer.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "library/bytes.h"
#include "winhelp/hlp_btree.h"
#include "winhelp/hlp_format.h"

namespace winhelp {
namespace {

// Longest text of one paragraph; keeps every count inside its compressed field and the
// characters of one block below 0x8000.
constexpr size_t kMaxParagraphText = 8000;
constexpr size_t kMaxTitle = 255;

class Bytes {
 public:
  std::vector<uint8_t> data;
  void U8(uint8_t v) { data.push_back(v); }
  void U16(uint16_t v) {
    U8(uint8_t(v));
    U8(uint8_t(v >> 8));
  }
  void U32(uint32_t v) {
    U16(uint16_t(v));
    U16(uint16_t(v >> 16));
  }
  void Text(const std::string& s) { data.insert(data.end(), s.begin(), s.end()); }
  void TextZ(const std::string& s) {
    Text(s);
    U8(0);
  }
  // Compressed unsigned short: one byte 2v below 128, else two bytes 2v + 1.
  void CompressedU16(uint32_t v) {
    if (v < 128) U8(uint8_t(2 * v));
    else U16(uint16_t(2 * v + 1));
  }
  // Compressed signed short: one byte 2v + 0x80 for |v| < 64, else two bytes 2v + 0x8001.
  void CompressedShort(int v) {
    if (v >= -64 && v < 64) U8(uint8_t(0x80 + 2 * v));
    else U16(uint16_t(0x8000 + 2 * v + 1));
  }
  // Compressed signed long: two bytes 2v + 0x8000 for |v| < 16384, else four bytes.
  void CompressedLong(int32_t v) {
    if (v >= -16384 && v < 16384) U16(uint16_t(int32_t(0x8000) + 2 * v));
    else U32(uint32_t(0x80000000u + 2u * uint32_t(v) + 1u));
  }
};

enum FontIndex : uint16_t { kFontPlain = 0, kFontHeading = 1, kFontBold = 2 };

// One TOPICLINK record before its place in the stream is known.
struct Record {
  uint8_t type;
  std::vector<uint8_t> data1;  // LinkData1
  std::vector<uint8_t> data2;  // LinkData2
  uint16_t characters = 0;     // what the record adds to the topic offset
  size_t topic;                // index of the topic it belongs to
  size_t at = 0;               // position in the record stream
  uint32_t Size() const { return uint32_t(kLinkHeaderSize + data1.size() + data2.size()); }
};

uint32_t RefOf(size_t at) {
  return uint32_t((at / kTopicBlockData) << 14) + uint32_t(kTopicBlockHeaderSize + at % kTopicBlockData);
}

struct Builder {
  const HelpProject& project;
  std::string* error;
  std::map<int32_t, size_t> byHash;

  bool Fail(const Topic& t, const std::string& message) {
    *error = (t.source.empty() ? "topic \"" + t.title + "\"" : t.source) + ": " + message;
    return false;
  }

  bool CheckTopics() {
    std::map<uint32_t, size_t> byMap;
    size_t contents = 0;
    for (size_t i = 0; i < project.topics.size(); ++i) {
      const Topic& t = project.topics[i];
      if (t.kind == TopicKind::kContents) ++contents;
      if (t.title.empty() || t.title.size() > kMaxTitle) return Fail(t, "title must have 1 to 255 characters");
      if (ContextHash(t.context) == 0) return Fail(t, "context name \"" + t.context + "\" has no letter or digit");
      auto [h, newHash] = byHash.emplace(ContextHash(t.context), i);
      if (!newHash)
        return Fail(t, "context \"" + t.context + "\" hashes like \"" + project.topics[h->second].context + "\"");
      if (t.map) {
        auto [m, newMap] = byMap.emplace(*t.map, i);
        if (!newMap) return Fail(t, "map number " + std::to_string(*t.map) + " is taken by \"" +
                                        project.topics[m->second].context + "\"");
      }
      bool text = false;
      for (const Paragraph& p : t.paragraphs) {
        const std::string plain = PlainText(p);
        if (plain.size() > kMaxParagraphText) return Fail(t, "a paragraph longer than 8000 characters");
        for (unsigned char c : plain)
          if (c < 0x20) return Fail(t, "control character in the text");
        text = text || !plain.empty();
      }
      if (!text) return Fail(t, "topic has no text");
    }
    if (byMap.size() > 0xFFFF) {
      *error = "more than 65535 map numbers";
      return false;
    }
    if (contents != 1) {
      *error = "the project needs exactly one contents topic, it has " + std::to_string(contents);
      return false;
    }
    for (const Topic& t : project.topics)
      for (const Paragraph& p : t.paragraphs)
        for (const Span& s : p.spans)
          if (!s.link.empty() && !byHash.count(ContextHash(s.link)))
            return Fail(t, "link to \"" + s.link + "\", which no topic has as context");
    return true;
  }

  Record MakeParagraph(const Paragraph& p, size_t topic) const {
    Bytes commands, texts;
    std::string pending;
    uint16_t characters = 0;
    auto emit = [&](std::initializer_list<uint8_t> command) {
      texts.TextZ(pending);
      characters = uint16_t(characters + pending.size());
      pending.clear();
      for (uint8_t b : command) commands.U8(b);
    };
    int font = -1;
    for (const Span& s : p.spans) {
      if (s.text.empty()) continue;
      const uint16_t want = s.style == SpanStyle::kHeading ? kFontHeading : s.style == SpanStyle::kBold ? kFontBold : kFontPlain;
      if (want != font) {
        emit({kCmdFont, uint8_t(want), uint8_t(want >> 8)});
        font = want;
      }
      if (!s.link.empty()) {
        const uint32_t hash = uint32_t(ContextHash(s.link));
        const bool popup = project.topics[byHash.at(int32_t(hash))].kind == TopicKind::kPopup;
        emit({popup ? kCmdPopupLink : kCmdJumpLink, uint8_t(hash), uint8_t(hash >> 8), uint8_t(hash >> 16),
              uint8_t(hash >> 24)});
        pending = s.text;
        emit({kCmdLinkEnd});
      } else {
        pending += s.text;
      }
    }
    if (font < 0) emit({kCmdFont, 0, 0});
    emit({kCmdParagraphEnd});
    ++characters;  // the paragraph end counts as one character
    emit({kCmdEnd});

    Record r{kRecordParagraph, {}, texts.data, characters, topic};
    Bytes d1;
    d1.CompressedLong(int32_t(texts.data.size()));
    d1.CompressedU16(characters);
    d1.U8(0);     // unknown, 0
    d1.U8(0x80);  // unknown biased byte, 0
    d1.U16(0);    // paragraph id
    d1.U16(kParagraphSpaceBelow);
    d1.CompressedShort(6);  // half points below the paragraph
    d1.data.insert(d1.data.end(), commands.data.begin(), commands.data.end());
    r.data1 = std::move(d1.data);
    return r;
  }

  std::vector<Record> Records() const {
    std::vector<Record> records;
    for (size_t i = 0; i < project.topics.size(); ++i) {
      const Topic& t = project.topics[i];
      Record header{kRecordTopicHeader, std::vector<uint8_t>(kTopicHeaderSize, 0), {}, 0, i};
      header.data2.assign(t.title.begin(), t.title.end());
      records.push_back(std::move(header));
      for (const Paragraph& p : t.paragraphs)
        if (!PlainText(p).empty()) records.push_back(MakeParagraph(p, i));
    }
    return records;
  }
};

std::vector<uint8_t> InternalFile(const std::vector<uint8_t>& content) {
  Bytes b;
  b.U32(uint32_t(content.size() + kInternalHeaderSize));
  b.U32(uint32_t(content.size()));
  b.U8(kInternalFlags);
  b.data.insert(b.data.end(), content.begin(), content.end());
  return b.data;
}

struct TopicStream {
  std::vector<uint8_t> blocks;          // |TOPIC content
  std::vector<uint32_t> topicOffsets;   // per topic
};

// Lays the records out in the stream, links them, computes the topic offsets the way the
// viewer does (characters of the paragraphs that start in the same block before the
// topic's header), and cuts the stream into blocks.
TopicStream LayOut(std::vector<Record>& records, size_t topicCount) {
  size_t at = 0;
  for (Record& r : records) {
    r.at = at;
    at += r.Size();
  }
  TopicStream out;
  out.topicOffsets.assign(topicCount, 0);
  std::vector<uint32_t> firstParagraph(topicCount, kNoLink), headerRef(topicCount, kNoLink);
  std::vector<uint32_t> topicBytes(topicCount, 0);
  size_t block = SIZE_MAX;
  uint32_t characters = 0;
  for (const Record& r : records) {
    if (r.at / kTopicBlockData != block) {
      block = r.at / kTopicBlockData;
      characters = 0;
    }
    if (r.type == kRecordTopicHeader) {
      out.topicOffsets[r.topic] = uint32_t(block) * kTopicOffsetBlock + characters;
      headerRef[r.topic] = RefOf(r.at);
    } else if (firstParagraph[r.topic] == kNoLink) {
      firstParagraph[r.topic] = RefOf(r.at);
    }
    characters += r.characters;
    topicBytes[r.topic] += r.Size();
  }

  std::vector<uint8_t> stream;
  for (size_t i = 0; i < records.size(); ++i) {
    Record& r = records[i];
    if (r.type == kRecordTopicHeader) {
      uint8_t* h = r.data1.data();
      lmx::StoreU32(h + kTopicBlockSizeAt, topicBytes[r.topic]);
      lmx::StoreU32(h + kTopicBrowseBackAt, kNoLink);
      lmx::StoreU32(h + kTopicBrowseForwardAt, kNoLink);
      lmx::StoreU32(h + kTopicNumberAt, uint32_t(r.topic));
      lmx::StoreU32(h + kTopicNonScrollAt, kNoLink);
      lmx::StoreU32(h + kTopicScrollAt, firstParagraph[r.topic]);
      lmx::StoreU32(h + kTopicNextAt, r.topic + 1 < topicCount ? headerRef[r.topic + 1] : kNoLink);
    }
    Bytes link;
    link.U32(r.Size());
    link.U32(uint32_t(r.data2.size()));
    link.U32(i == 0 ? kNoLink : RefOf(records[i - 1].at));
    link.U32(i + 1 == records.size() ? kNoLink : RefOf(records[i + 1].at));
    link.U32(uint32_t(kLinkHeaderSize + r.data1.size()));
    link.U8(r.type);
    stream.insert(stream.end(), link.data.begin(), link.data.end());
    stream.insert(stream.end(), r.data1.begin(), r.data1.end());
    stream.insert(stream.end(), r.data2.begin(), r.data2.end());
  }

  // Blocks: the header names the last record before the block, the first record that
  // starts in it and the last topic header before it.
  const size_t count = std::max<size_t>(1, (stream.size() + kTopicBlockData - 1) / kTopicBlockData);
  stream.resize(count * kTopicBlockData, 0);
  size_t next = 0;
  uint32_t lastLink = kNoLink, lastHeader = kNoLink;
  for (size_t b = 0; b < count; ++b) {
    const size_t start = b * kTopicBlockData;
    while (next < records.size() && records[next].at < start) {
      lastLink = RefOf(records[next].at);
      if (records[next].type == kRecordTopicHeader) lastHeader = lastLink;
      ++next;
    }
    const bool firstHere = next < records.size() && records[next].at < start + kTopicBlockData;
    Bytes h;
    h.U32(lastLink);
    h.U32(firstHere ? RefOf(records[next].at) : kNoLink);
    h.U32(lastHeader);
    out.blocks.insert(out.blocks.end(), h.data.begin(), h.data.end());
    out.blocks.insert(out.blocks.end(), stream.begin() + long(start), stream.begin() + long(start + kTopicBlockData));
  }
  return out;
}

std::vector<uint8_t> SystemFile(const HelpProject& project, uint32_t contentsOffset) {
  Bytes b;
  b.U16(kSystemMagic);
  b.U16(kMinorVersion31);
  b.U16(kMajorVersion);
  b.U32(0);  // generation date: none, so that a build repeats byte for byte
  b.U16(0);  // flags: uncompressed topic blocks of 4 KiB
  auto record = [&](uint16_t type, const std::vector<uint8_t>& data) {
    b.U16(type);
    b.U16(uint16_t(data.size()));
    b.data.insert(b.data.end(), data.begin(), data.end());
  };
  std::vector<uint8_t> title(project.title.begin(), project.title.end());
  title.push_back(0);
  record(kSystemTitle, title);
  if (!project.copyright.empty()) {
    std::vector<uint8_t> copyright(project.copyright.begin(), project.copyright.end());
    copyright.push_back(0);
    record(kSystemCopyright, copyright);
  }
  Bytes contents;
  contents.U32(contentsOffset);
  record(kSystemContents, contents.data);
  // The main window, captioned with the title (a viewer otherwise shows its own name).
  std::vector<uint8_t> window(kWindowRecordSize, 0);
  lmx::StoreU16(window.data() + kWindowFlagsAt, kWindowHasType | kWindowHasName | kWindowHasCaption);
  std::copy_n(kMainWindow, sizeof kMainWindow - 1, window.begin() + kWindowTypeAt);
  std::copy_n(kMainWindow, sizeof kMainWindow - 1, window.begin() + kWindowNameAt);
  std::copy(project.title.begin(), project.title.end(), window.begin() + kWindowCaptionAt);
  record(kSystemWindow, window);
  return b.data;
}

std::vector<uint8_t> FontFile() {
  struct Font {
    uint8_t flags, halfPoints;
  };
  const Font fonts[] = {{0, 20}, {1, 28}, {1, 20}};  // plain 10 pt, heading 14 pt bold, bold 10 pt
  Bytes b;
  b.U16(1);
  b.U16(uint16_t(std::size(fonts)));
  b.U16(uint16_t(kFontHeaderSize));
  b.U16(uint16_t(kFontHeaderSize + kFaceNameSize));
  std::string face = "Arial";
  face.resize(kFaceNameSize, '\0');
  b.Text(face);
  for (const Font& f : fonts) {
    b.U8(f.flags);
    b.U8(f.halfPoints);
    b.U8(3);   // swiss
    b.U16(0);  // face 0
    b.U8(0), b.U8(0), b.U8(0);
    b.U8(255), b.U8(255), b.U8(255);
  }
  return b.data;
}

std::vector<uint8_t> Key32(uint32_t v) {
  Bytes b;
  b.U32(v);
  return b.data;
}

}  // namespace

bool WriteHelpFile(const HelpProject& project, std::vector<uint8_t>* out, std::string* error) {
  Builder builder{project, error, {}};
  // The title also captions the main window, whose caption field is the shorter.
  if (project.title.empty() || project.title.size() >= kWindowCaptionSize) {
    *error = "the help file's title must have 1 to " + std::to_string(kWindowCaptionSize - 1) + " characters";
    return false;
  }
  if (!builder.CheckTopics()) return false;
  std::vector<Record> records = builder.Records();
  const TopicStream topics = LayOut(records, project.topics.size());
  const auto contents = std::find_if(project.topics.begin(), project.topics.end(),
                                     [](const Topic& t) { return t.kind == TopicKind::kContents; });
  const uint32_t contentsOffset = topics.topicOffsets[size_t(contents - project.topics.begin())];

  // |CONTEXT: hash (signed order) to topic offset.
  std::vector<BTreeEntry> contexts;
  for (const auto& [hash, topic] : builder.byHash)
    contexts.push_back({Key32(uint32_t(hash)), Key32(topics.topicOffsets[topic])});
  // |TTLBTREE: topic offset to title.
  std::vector<BTreeEntry> titles;
  for (size_t i = 0; i < project.topics.size(); ++i) {
    std::vector<uint8_t> title(project.topics[i].title.begin(), project.topics[i].title.end());
    title.push_back(0);
    titles.push_back({Key32(topics.topicOffsets[i]), title});
  }
  std::sort(titles.begin(), titles.end(),
            [](const BTreeEntry& a, const BTreeEntry& b) { return lmx::LoadU32(a.key.data()) < lmx::LoadU32(b.key.data()); });
  // |CTXOMAP: map number to topic offset, in map order.
  std::map<uint32_t, uint32_t> maps;
  for (size_t i = 0; i < project.topics.size(); ++i)
    if (project.topics[i].map) maps[*project.topics[i].map] = topics.topicOffsets[i];
  Bytes map;
  map.U16(uint16_t(maps.size()));
  for (const auto& [number, offset] : maps) map.U32(number), map.U32(offset);

  // Internal files in the directory's (strcmp) order.
  std::map<std::string, std::vector<uint8_t>> files;
  files["|CONTEXT"] = BuildBTree(contexts, kTreePageSize, kTreeFlags, "L4");
  files["|CTXOMAP"] = map.data;
  files["|FONT"] = FontFile();
  files["|SYSTEM"] = SystemFile(project, contentsOffset);
  files["|TOPIC"] = topics.blocks;
  files["|TTLBTREE"] = BuildBTree(titles, kTreePageSize, kTreeFlags, "Lz");
  if (files["|CONTEXT"].empty() || files["|TTLBTREE"].empty()) {
    *error = "a title is too long for a B+ tree page";
    return false;
  }

  Bytes file;
  file.U32(kFileMagic);
  file.U32(0);  // directory start, set below
  file.U32(kNoLink);
  file.U32(0);  // file size, set below
  std::vector<BTreeEntry> directory;
  for (const auto& [name, content] : files) {
    std::vector<uint8_t> key(name.begin(), name.end());
    key.push_back(0);
    directory.push_back({key, Key32(uint32_t(file.data.size()))});
    const std::vector<uint8_t> internal = InternalFile(content);
    file.data.insert(file.data.end(), internal.begin(), internal.end());
  }
  lmx::StoreU32(file.data.data() + kDirectoryStartAt, uint32_t(file.data.size()));
  const std::vector<uint8_t> dir = InternalFile(BuildBTree(directory, kDirectoryPageSize, kDirectoryTreeFlags, "z4"));
  file.data.insert(file.data.end(), dir.begin(), dir.end());
  lmx::StoreU32(file.data.data() + kFileSizeAt, uint32_t(file.data.size()));
  *out = std::move(file.data);
  return true;
}

}  // namespace winhelp
