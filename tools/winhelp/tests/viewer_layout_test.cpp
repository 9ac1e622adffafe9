// The built file walked the way Wine's help viewer (winhlp32) parses a help file, with
// none of our reader's code: its B+ tree search with its fixed offsets, its |SYSTEM
// checks, its copy of the uncompressed topic blocks, its TOPICLINK walk and topic
// offsets, its map and context look-ups and its paragraph decoding. Every assumption the
// viewer makes without checking (block padding, font numbers, terminated texts, paired
// hot spots) is asserted here, since a file that breaks one crashes the viewer rather
// than being refused.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <utility>

#include "help_test_util.h"

namespace winhelp::test {
namespace {

uint16_t U16(const uint8_t* p, size_t i = 0) { return uint16_t(p[i] | p[i + 1] << 8); }
uint32_t U32(const uint8_t* p, size_t i = 0) { return U16(p, i) | uint32_t(U16(p, i + 2)) << 16; }

// The viewer's compressed numbers; the long ones are only skipped here.
void SkipLong(const uint8_t*& p) { p += (*p & 1) ? 4 : 2; }
uint32_t FetchUShort(const uint8_t*& p) {
  uint32_t v = (*p & 1) ? U16(p) / 2u : *p / 2u;
  p += (*p & 1) ? 2 : 1;
  return v;
}

struct Page {
  std::string title;
  uint32_t offset;  // topic offset
  uint32_t ref;     // position of its header record
};

// The tree's own sources (0), or a large project (its popup count) of several blocks, records
// across block boundaries and a two-level |CONTEXT tree.
class ViewerWalk : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    project_ = GetParam() ? LargeProject(GetParam()) : TreeSources();
    file_ = Build(project_);
    file_.push_back(0);  // the viewer reads the file into a buffer one byte longer
    buf_ = file_.data();
    ASSERT_EQ(U32(buf_, 0), 0x00035F3Fu);
    ASSERT_EQ(U32(buf_, 12), file_.size() - 1) << "the viewer reads exactly this many bytes";
    Open();
  }

  // B+ tree search exactly as the viewer does it: header at +9, pages at +9+38, root at
  // header offset 26, levels at 32, index entries after 6 header bytes, leaves after 8.
  template <typename Compare>
  const uint8_t* Search(const uint8_t* tree, Compare compare) {
    EXPECT_EQ(U16(tree, 9), 0x293B);
    const unsigned pageSize = U16(tree, 9 + 4);
    unsigned page = U16(tree, 9 + 26), level = U16(tree, 9 + 32);
    const uint8_t* pages = tree + 9 + 38;
    while (--level > 0) {
      const uint8_t* p = pages + page * pageSize;
      const int entries = int16_t(U16(p, 2));
      p += 6;
      for (int i = 0; i < entries; ++i) {
        const uint8_t* next;
        if (compare(p, false, &next) > 0) break;
        p = next;
      }
      page = U16(p - 2);
    }
    const uint8_t* p = pages + page * pageSize;
    const int entries = int16_t(U16(p, 2));
    p += 8;
    for (int i = 0; i < entries; ++i) {
      const uint8_t* next;
      const int r = compare(p, true, &next);
      if (r == 0) return p;
      if (r > 0) return nullptr;
      p = next;
    }
    return nullptr;
  }

  // The |CONTEXT leaf entry of a context string, found by its hash.
  const uint8_t* FindContext(const uint8_t* context, const std::string& name) {
    const int32_t hash = ContextHash(name);
    return Search(context, [&](const uint8_t* p, bool leaf, const uint8_t** next) {
      *next = p + (leaf ? 8 : 6);
      const int32_t key = int32_t(U32(p));
      return key < hash ? -1 : key > hash ? 1 : 0;
    });
  }

  // The viewer's internal file look-up, with its three bounds checks.
  bool SubFile(const char* name, const uint8_t** sub, const uint8_t** end) {
    const uint8_t* entry = Search(buf_ + U32(buf_, 4), [&](const uint8_t* p, bool leaf, const uint8_t** next) {
      const char* key = reinterpret_cast<const char*>(p);
      *next = p + std::strlen(key) + (leaf ? 5 : 3);
      return std::strcmp(key, name);
    });
    if (!entry) return false;
    const size_t size = file_.size() - 1;
    *sub = buf_ + U32(entry, std::strlen(name) + 1);
    EXPECT_LT(*sub, buf_ + size) << name;
    *end = *sub + U32(*sub, 0);
    EXPECT_LE(*end, buf_ + size) << name;
    EXPECT_GE(U32(*sub, 0), U32(*sub, 4) + 9) << name;
    return true;
  }

  // Opens the file as the viewer does; fills title, contents, fonts, pages and the map.
  void Open() {
    const uint8_t *sys, *sysEnd;
    ASSERT_TRUE(SubFile("|SYSTEM", &sys, &sysEnd));
    ASSERT_EQ(U16(sys + 9, 0), 0x036C);
    ASSERT_EQ(U16(sys + 9, 4), 1);
    ASSERT_GT(U16(sys + 9, 2), 16) << "a 3.1 file: topic offsets, |CONTEXT";
    ASSERT_EQ(U16(sys + 9, 10), 0) << "flags 0: uncompressed 4 KiB blocks";
    for (const uint8_t* p = sys + 0x15; p + 4 <= sysEnd; p += U16(p, 2) + 4) {
      ASSERT_LE(p + 4 + U16(p, 2), sysEnd);
      if (U16(p, 0) == 1) title_ = reinterpret_cast<const char*>(p + 4);
      if (U16(p, 0) == 3) {
        ASSERT_EQ(U16(p, 2), 4);
        contents_ = U32(p, 4);
      }
    }

    const uint8_t *font, *fontEnd;
    ASSERT_TRUE(SubFile("|FONT", &font, &fontEnd));
    const uint8_t* f = font + 9;
    ASSERT_GT(U16(f, 0), 0) << "the viewer divides by the face count";
    fonts_ = U16(f, 2);
    ASSERT_LE(f + U16(f, 6) + fonts_ * 11, fontEnd);
    for (unsigned i = 0; i < fonts_; ++i) {
      const uint8_t family = f[U16(f, 6) + i * 11 + 2];
      EXPECT_TRUE(family >= 1 && family <= 5) << "font " << i;
      EXPECT_LT(U16(f, U16(f, 6) + i * 11 + 3), U16(f, 0)) << "face of font " << i;
    }

    const uint8_t *topic, *topicEnd;
    ASSERT_TRUE(SubFile("|TOPIC", &topic, &topicEnd));
    topic += 9;
    const size_t size = size_t(topicEnd - topic);
    ASSERT_EQ(size % 0x1000, 0u) << "the viewer copies 0xFF4 bytes of every block, the last one too";
    const size_t blocks = (size - 1) / 0x1000 + 1;
    for (size_t i = 0; i < blocks; ++i) stream_.insert(stream_.end(), topic + i * 0x1000 + 12, topic + (i + 1) * 0x1000);
    topicEnd_ = stream_.size() + 12 * blocks;  // the viewer's topic_end counts the block headers too

    uint32_t ref = 0x0C;
    unsigned oldIndex = ~0u, offs = 0;
    do {
      const unsigned index = (ref - 0x0C) >> 14, offset = (ref - 0x0C) & 0x3FFF;
      ASSERT_LT(index, blocks);
      const size_t at = index * 0xFF4 + offset;
      ASSERT_LT(at + 0x15, topicEnd_);
      ASSERT_LE(at + U32(&stream_[at], 0), stream_.size()) << "record inside the copied blocks";
      const uint8_t* b = &stream_[at];
      if (index != oldIndex) offs = 0, oldIndex = index;
      const uint32_t blockSize = U32(b, 0), dataLen1 = U32(b, 0x10);
      if (b[0x14] == 0x02) {
        const uint32_t titleSize = U32(b, 4);
        ASSERT_LE(titleSize, blockSize - dataLen1) << "title stored uncompressed";
        pages_.push_back({std::string(reinterpret_cast<const char*>(b + dataLen1), titleSize), index * 0x8000 + offs, ref});
      } else {
        ASSERT_EQ(b[0x14], 0x20) << "only topic headers and paragraphs";
        ASSERT_FALSE(pages_.empty());
        ASSERT_GE(blockSize, 0x19u);
        const uint8_t* p = b + 0x15;
        SkipLong(p);
        offs += FetchUShort(p);
      }
      ref = U32(b, 0xC);
    } while (ref != 0xFFFFFFFF);

    const uint8_t *map, *mapEnd;
    ASSERT_TRUE(SubFile("|CTXOMAP", &map, &mapEnd));
    ASSERT_LE(map + 11 + U16(map, 9) * 8, mapEnd);
    for (unsigned i = 0; i < U16(map, 9); ++i) map_[U32(map + 11, i * 8)] = U32(map + 11, i * 8 + 4);
  }

  // The title of the page at or before offset, as the viewer picks it, and the rest.
  std::pair<std::string, uint32_t> PageAt(uint32_t offset) {
    const Page* found = nullptr;
    for (const Page& p : pages_)
      if (p.offset <= offset && (!found || found->offset < p.offset)) found = &p;
    return found ? std::pair(found->title, offset - found->offset) : std::pair(std::string("(none)"), offset);
  }

  // The viewer's paragraph decoding for one page: the texts between its formatting
  // commands, paragraph ends as separate entries.
  std::vector<std::string> Browse(const Page& page) {
    std::vector<std::string> paragraphs;
    std::string current;
    bool linkOpen = false;
    uint32_t ref = page.ref;
    int headers = 0;
    do {
      const size_t at = ((ref - 0x0C) >> 14) * 0xFF4 + ((ref - 0x0C) & 0x3FFF);
      const uint8_t* b = &stream_[at];
      if (b[0x14] == 0x02) {
        if (headers++) break;
      } else {
        const uint32_t blockSize = U32(b, 0), size = U32(b, 4), dataLen = U32(b, 0x10);
        EXPECT_LE(size, blockSize - dataLen) << "text stored uncompressed";
        const char* text = reinterpret_cast<const char*>(b + dataLen);
        const char* textEnd = text + size;
        const uint8_t* format = b + 0x15;
        const uint8_t* formatEnd = b + dataLen;
        SkipLong(format);
        const uint32_t parlen = FetchUShort(format);
        format += 4;
        const uint16_t bits = U16(format);
        format += 2;
        EXPECT_EQ(bits & 0xE080, 0) << "bits the viewer does not handle";
        EXPECT_NE(bits & 0x0C00, 0x0C00) << "alignment";
        if (bits & 0x0001) SkipLong(format);
        for (uint16_t bit : {0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040})
          if (bits & bit) FetchUShort(format);  // a short of the same width
        uint32_t chars = 0;
        while (text < textEnd && format < formatEnd) {
          const void* zero = std::memchr(text, 0, size_t(textEnd - text));
          EXPECT_NE(zero, nullptr) << "the viewer runs strlen over the text";
          if (!zero) break;
          current += text;
          chars += uint32_t(std::strlen(text));
          text += std::strlen(text) + 1;
          const uint8_t command = *format++;
          if (command == 0xFF) break;
          switch (command) {
            case 0x80:
              EXPECT_LT(U16(format), fonts_) << "the viewer indexes its font table unchecked";
              format += 2;
              break;
            case 0x82:
              paragraphs.push_back(std::exchange(current, {}));
              ++chars;
              break;
            case 0x89:
              EXPECT_TRUE(std::exchange(linkOpen, false)) << "the viewer dereferences the open link";
              break;
            case 0xE2:
            case 0xE3:
              EXPECT_FALSE(std::exchange(linkOpen, true));
              links_.push_back(int32_t(U32(format)));
              format += 4;
              break;
            default:
              ADD_FAILURE() << "formatting command " << int(command);
              return paragraphs;
          }
        }
        EXPECT_EQ(chars, parlen) << "paragraph length as the viewer counts characters";
        EXPECT_FALSE(linkOpen);
      }
      ref = U32(b, 0xC);
    } while (ref != 0xFFFFFFFF);
    if (!current.empty()) paragraphs.push_back(current);
    return paragraphs;
  }

  HelpProject project_;
  std::vector<uint8_t> file_;
  const uint8_t* buf_ = nullptr;
  std::string title_;
  uint32_t contents_ = 0xFFFFFFFF;
  unsigned fonts_ = 0;
  std::vector<uint8_t> stream_;
  size_t topicEnd_ = 0;
  std::vector<Page> pages_;
  std::map<uint32_t, uint32_t> map_;
  std::vector<int32_t> links_;
};

TEST_P(ViewerWalk, OpensAndShowsEveryTopicByIndexMapNumberAndContext) {
  EXPECT_EQ(title_, project_.title);
  ASSERT_EQ(pages_.size(), project_.topics.size());
  EXPECT_EQ(PageAt(contents_), std::pair(project_.topics[0].title, 0u));
  EXPECT_EQ(project_.topics[0].kind, TopicKind::kContents);
  const uint8_t *context, *end;  // |SYSTEM, |FONT, |TOPIC and |CTXOMAP are opened above
  EXPECT_TRUE(SubFile("|TTLBTREE", &context, &end));
  ASSERT_TRUE(SubFile("|CONTEXT", &context, &end));
  if (GetParam()) {
    EXPECT_EQ(U16(context, 9 + 32), 2) << "levels";
    EXPECT_GT(stream_.size(), 50u * 0xFF4);
  }
  std::vector<int32_t> links;
  for (size_t i = 0; i < pages_.size(); ++i) {
    const Topic& t = project_.topics[i];
    SCOPED_TRACE(t.context);
    EXPECT_EQ(pages_[i].title, t.title);
    if (t.map) {
      ASSERT_TRUE(map_.count(*t.map));
      EXPECT_EQ(PageAt(map_[*t.map]), std::pair(t.title, 0u));
    }
    const uint8_t* entry = FindContext(context, t.context);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(PageAt(U32(entry, 4)), std::pair(t.title, 0u));
    std::vector<std::string> text;
    for (const Paragraph& p : t.paragraphs) {
      text.push_back(PlainText(p));
      for (const Span& s : p.spans)
        if (!s.link.empty()) links.push_back(ContextHash(s.link));
    }
    EXPECT_EQ(Browse(pages_[i]), text);
  }
  EXPECT_EQ(links_, links);
}

INSTANTIATE_TEST_SUITE_P(TreeAndLarge, ViewerWalk, ::testing::Values(0, 700));

}  // namespace
}  // namespace winhelp::test
