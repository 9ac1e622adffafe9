#include "winhelp/hlp_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "library/bytes.h"
#include "winhelp/hlp_btree.h"
#include "winhelp/hlp_format.h"

namespace winhelp {
namespace {

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", v);
  return text;
}

// Reads fields from [p, end); a read past the end yields zeros and clears ok.
struct Cursor {
  const uint8_t* p;
  const uint8_t* end;
  bool ok = true;

  bool Has(size_t n) {
    if (size_t(end - p) >= n) return true;
    ok = false;
    p = end;
    return false;
  }
  uint8_t U8() { return Has(1) ? *p++ : 0; }
  uint16_t U16() {
    if (!Has(2)) return 0;
    p += 2;
    return lmx::LoadU16(p - 2);
  }
  uint32_t U32() {
    if (!Has(4)) return 0;
    p += 4;
    return lmx::LoadU32(p - 4);
  }
  void Skip(size_t n) {
    if (Has(n)) p += n;
  }
  int32_t CompressedLong() {
    if (!Has(1)) return 0;
    return (*p & 1) ? int32_t((U32() - 0x80000000u) / 2) : (int32_t(U16()) - 0x8000) / 2;
  }
  uint32_t CompressedU16() {
    if (!Has(1)) return 0;
    return (*p & 1) ? U16() / 2u : U8() / 2u;
  }
  int CompressedShort() {
    if (!Has(1)) return 0;
    return (*p & 1) ? (int(U16()) - 0x8000) / 2 : (int(U8()) - 0x80) / 2;
  }
  // Text up to its zero (or the end), and the zero.
  std::string TextZ() {
    const void* zero = std::memchr(p, 0, size_t(end - p));
    const uint8_t* stop = zero ? static_cast<const uint8_t*>(zero) : end;
    std::string s(reinterpret_cast<const char*>(p), size_t(stop - p));
    p = zero ? stop + 1 : end;
    return s;
  }
};

struct Reader {
  const std::vector<uint8_t>& bytes;
  HelpFile& out;
  std::string* error;

  bool Fail(const std::string& message) {
    *error = message;
    return false;
  }

  // The content of the internal file whose header is at offset.
  bool Internal(const std::string& name, uint32_t offset, const uint8_t** data, size_t* size) {
    if (uint64_t(offset) + kInternalHeaderSize > out.fileSize)
      return Fail("internal file " + name + " at " + Hex(offset) + " lies outside the file");
    const uint32_t reserved = lmx::LoadU32(bytes.data() + offset + kReservedAt);
    const uint32_t used = lmx::LoadU32(bytes.data() + offset + kUsedAt);
    if (uint64_t(used) + kInternalHeaderSize > reserved || uint64_t(offset) + reserved > out.fileSize)
      return Fail("internal file " + name + " at " + Hex(offset) + " claims " + std::to_string(used) +
                  " bytes, more than the file holds");
    *data = bytes.data() + offset + kInternalHeaderSize;
    *size = used;
    return true;
  }

  bool Find(const std::string& name, const uint8_t** data, size_t* size, bool required) {
    for (const InternalFileEntry& f : out.files)
      if (f.name == name) return Internal(name, f.offset, data, size);
    *data = nullptr;
    *size = 0;
    return required ? Fail("internal file " + name + " is missing") : true;
  }

  bool Header() {
    if (bytes.size() < kFileHeaderSize) return Fail("file cut short: " + std::to_string(bytes.size()) + " bytes, not even a header");
    if (lmx::LoadU32(bytes.data() + kFileMagicAt) != kFileMagic)
      return Fail("not a help file (magic " + Hex(lmx::LoadU32(bytes.data())) + ", a help file has 0x35F3F)");
    out.fileSize = lmx::LoadU32(bytes.data() + kFileSizeAt);
    if (out.fileSize > bytes.size())
      return Fail("file cut short: its header says " + std::to_string(out.fileSize) + " bytes, " +
                  std::to_string(bytes.size()) + " are there");
    if (out.fileSize < kFileHeaderSize) return Fail("file header states a size of " + std::to_string(out.fileSize));
    return true;
  }

  bool Directory() {
    const uint8_t* data;
    size_t size;
    std::string why;
    if (!Internal("directory", lmx::LoadU32(bytes.data() + kDirectoryStartAt), &data, &size))
      return Fail("internal directory damaged: " + *error);
    const auto entrySize = [](const uint8_t* e, size_t n) -> size_t {
      const void* zero = std::memchr(e, 0, n);
      if (!zero) return 0;
      const size_t name = size_t(static_cast<const uint8_t*>(zero) - e) + 1;
      return name + 4 <= n ? name + 4 : 0;
    };
    const auto visit = [&](const uint8_t* e, size_t n) {
      out.files.push_back({reinterpret_cast<const char*>(e), lmx::LoadU32(e + n - 4), 0});
    };
    if (!WalkBTree(data, size, entrySize, visit, &why)) return Fail("internal directory damaged: " + why);
    for (InternalFileEntry& f : out.files) {
      const uint8_t* d;
      if (!Internal(f.name, f.offset, &d, &size)) return Fail("internal directory damaged: " + *error);
      f.size = uint32_t(size);
    }
    return true;
  }

  bool System() {
    const uint8_t* data;
    size_t size;
    if (!Find("|SYSTEM", &data, &size, true)) return false;
    Cursor c{data, data + size};
    const uint16_t magic = c.U16();
    out.minorVersion = c.U16();
    const uint16_t major = c.U16();
    c.U32();
    out.flags = c.U16();
    if (!c.ok || magic != kSystemMagic || major != kMajorVersion) return Fail("|SYSTEM: not a WinHelp system header");
    if (out.minorVersion <= 16) return Fail("|SYSTEM: a WinHelp 3.0 file (version " + std::to_string(out.minorVersion) + ") is not read");
    if (out.flags != 0) return Fail("|SYSTEM: compressed topic blocks (flags " + Hex(out.flags) + ") are not read");
    while (size_t(c.end - c.p) >= 4) {
      const uint16_t type = c.U16(), length = c.U16();
      if (!c.Has(length)) return Fail("|SYSTEM: record " + std::to_string(type) + " runs past the end");
      Cursor record{c.p, c.p + length};
      c.p += length;
      if (type == kSystemTitle) out.title = record.TextZ();
      if (type == kSystemCopyright) out.copyright = record.TextZ();
      if (type == kSystemContents) {
        if (length != 4) return Fail("|SYSTEM: contents record of " + std::to_string(length) + " bytes");
        out.contentsOffset = record.U32();
      }
      if (type == kSystemWindow && !Window(record.p, length)) return false;
    }
    return true;
  }

  // A window definition; only the caption of "main" is kept.
  bool Window(const uint8_t* data, size_t length) {
    if (length != kWindowRecordSize) return Fail("|SYSTEM: window record of " + std::to_string(length) + " bytes");
    auto field = [&](size_t at, size_t size) {
      const char* p = reinterpret_cast<const char*>(data + at);
      return std::string(p, strnlen(p, size - 1));
    };
    const uint16_t flags = lmx::LoadU16(data + kWindowFlagsAt);
    if ((flags & kWindowHasName) && (flags & kWindowHasCaption) &&
        field(kWindowNameAt, kWindowNameSize) == kMainWindow)
      out.mainCaption = field(kWindowCaptionAt, kWindowCaptionSize);
    return true;
  }

  bool Fonts() {
    const uint8_t* data;
    size_t size;
    if (!Find("|FONT", &data, &size, true)) return false;
    Cursor c{data, data + size};
    const uint16_t faces = c.U16(), descriptors = c.U16(), faceAt = c.U16(), descriptorAt = c.U16();
    if (!c.ok || faces == 0 || descriptorAt < faceAt || faceAt < kFontHeaderSize ||
        uint64_t(descriptorAt) + uint64_t(descriptors) * kFontDescriptorSize > size)
      return Fail("|FONT: face or descriptor table outside the file");
    out.fontCount = descriptors;
    return true;
  }

  // Decodes one paragraph record; the texts of LinkData2 alternate with the commands.
  bool Paragraph(const uint8_t* record, uint32_t data1, uint32_t size, ReadTopic& topic, uint32_t* characters) {
    Cursor format{record + kLinkHeaderSize, record + data1};
    Cursor text{record + data1, record + size};
    format.CompressedLong();
    *characters = format.CompressedU16();
    format.Skip(4);
    const uint16_t bits = format.U16();
    if (bits & 0x0001) format.CompressedLong();
    for (uint16_t b : {0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040})
      if (bits & b) format.CompressedShort();
    if (bits & 0x0100) format.Skip(3);
    if (bits & 0x0200) {
      const int tabs = format.CompressedShort();
      for (int i = 0; i < tabs && format.ok; ++i)
        if (format.CompressedU16() & 0x4000) format.CompressedU16();
    }
    if (!format.ok) return Fail("paragraph formatting cut short");
    std::string current;
    bool open = false;
    while (text.p < text.end && format.p < format.end) {
      current += text.TextZ();
      open = true;
      const uint8_t command = format.U8();
      if (command == kCmdEnd) break;
      switch (command) {
        case kCmdFont: {
          const uint16_t font = format.U16();
          if (format.ok && font >= out.fontCount)
            return Fail("paragraph uses font " + std::to_string(font) + " of " + std::to_string(out.fontCount));
          break;
        }
        case kCmdLineBreak: current += '\n'; break;
        case kCmdParagraphEnd:
          topic.paragraphs.push_back(std::move(current));
          current.clear();
          open = false;
          break;
        case kCmdTab: current += '\t'; break;
        case kCmdLinkEnd: break;
        case kCmdNonBreakSpace: current += ' '; break;
        case kCmdHyphen: current += '-'; break;
        case 0xE2: case 0xE3: case 0xE6: case 0xE7: topic.links.push_back(int32_t(format.U32())); break;
        case 0xC8: case 0xCC: format.Skip(format.U16()); break;
        case 0x20: format.Skip(4); break;
        case 0x21: format.Skip(2); break;
        default: return Fail("paragraph formatting command " + Hex(command) + " is not read");
      }
      if (!format.ok) return Fail("paragraph formatting cut short");
    }
    if (open && !current.empty()) topic.paragraphs.push_back(std::move(current));
    return true;
  }

  bool Topics() {
    const uint8_t* data;
    size_t size;
    if (!Find("|TOPIC", &data, &size, true)) return false;
    // The record stream: each block's data after its 12-byte header.
    std::vector<uint8_t> stream;
    for (size_t at = 0; at < size; at += kTopicBlockSize) {
      const size_t block = std::min(kTopicBlockSize, size - at);
      if (block > kTopicBlockHeaderSize) stream.insert(stream.end(), data + at + kTopicBlockHeaderSize, data + at + block);
    }
    uint32_t ref = kTopicBlockHeaderSize;
    size_t previous = 0, block = SIZE_MAX;
    uint32_t characters = 0;
    bool first = true;
    while (ref != kNoLink) {
      const std::string where = "|TOPIC: record at " + Hex(ref);
      const uint32_t inBlock = (ref - uint32_t(kTopicBlockHeaderSize)) & 0x3FFF;
      if (ref < kTopicBlockHeaderSize || inBlock >= kTopicBlockData) return Fail(where + " is not a position in a block");
      const size_t pos = size_t((ref - kTopicBlockHeaderSize) >> 14) * kTopicBlockData + inBlock;
      if (!first && pos <= previous) return Fail(where + " goes back in the chain of records");
      first = false;
      previous = pos;
      if (pos + kLinkHeaderSize > stream.size()) return Fail(where + " lies past the end of the topics");
      const uint8_t* r = stream.data() + pos;
      const uint32_t recordSize = lmx::LoadU32(r + kLinkBlockSizeAt), data2 = lmx::LoadU32(r + kLinkDataLen2At);
      const uint32_t data1 = lmx::LoadU32(r + kLinkDataLen1At), next = lmx::LoadU32(r + kLinkNextAt);
      const uint8_t type = r[kLinkTypeAt];
      if (data1 < kLinkHeaderSize || data1 > recordSize || recordSize > stream.size() - pos)
        return Fail(where + ": sizes run past the end of the topics");
      if (data2 != recordSize - data1) return Fail(where + ": compressed text is not read");
      if ((ref - kTopicBlockHeaderSize) >> 14 != block) {
        block = (ref - kTopicBlockHeaderSize) >> 14;
        characters = 0;
      }
      if (type == kRecordTopicHeader) {
        if (data1 < kLinkHeaderSize + kTopicHeaderSize) return Fail(where + ": topic header cut short");
        ReadTopic t;
        t.offset = uint32_t(block) * kTopicOffsetBlock + characters;
        t.position = ref;
        t.number = lmx::LoadU32(r + kLinkHeaderSize + kTopicNumberAt);
        Cursor title{r + data1, r + recordSize};
        t.title = title.TextZ();
        out.topics.push_back(std::move(t));
      } else if (type == kRecordParagraph) {
        if (out.topics.empty()) return Fail(where + ": paragraph before the first topic");
        uint32_t count = 0;
        if (!Paragraph(r, data1, recordSize, out.topics.back(), &count)) return Fail(where + ": " + *error);
        characters += count;
      } else {
        return Fail(where + ": record type " + Hex(type) + " is not read");
      }
      ref = next;
    }
    return true;
  }

  bool Contexts() {
    const uint8_t* data;
    size_t size;
    if (!Find("|CONTEXT", &data, &size, true)) return false;
    std::string why;
    const auto visit = [&](const uint8_t* e, size_t) {
      out.contexts.push_back({int32_t(lmx::LoadU32(e)), lmx::LoadU32(e + 4)});
    };
    if (!WalkBTree(data, size, [](const uint8_t*, size_t n) -> size_t { return n >= 8 ? 8 : 0; }, visit, &why))
      return Fail("|CONTEXT: " + why);
    return true;
  }

  bool Map() {
    const uint8_t* data;
    size_t size;
    if (!Find("|CTXOMAP", &data, &size, false)) return false;
    if (!data) return true;
    Cursor c{data, data + size};
    const uint16_t count = c.U16();
    if (!c.ok || size_t(c.end - c.p) / 8 < count) return Fail("|CTXOMAP: " + std::to_string(count) + " entries do not fit");
    for (uint16_t i = 0; i < count; ++i) {
      const uint32_t number = c.U32();
      out.map.push_back({number, c.U32()});
    }
    return true;
  }

  bool Titles() {
    const uint8_t* data;
    size_t size;
    if (!Find("|TTLBTREE", &data, &size, false)) return false;
    if (!data) return true;
    std::string why;
    const auto entrySize = [](const uint8_t* e, size_t n) -> size_t {
      if (n < 5) return 0;
      const void* zero = std::memchr(e + 4, 0, n - 4);
      return zero ? size_t(static_cast<const uint8_t*>(zero) - e) + 1 : 0;
    };
    const auto visit = [&](const uint8_t* e, size_t) {
      out.titles.push_back({lmx::LoadU32(e), reinterpret_cast<const char*>(e + 4)});
    };
    if (!WalkBTree(data, size, entrySize, visit, &why)) return Fail("|TTLBTREE: " + why);
    return true;
  }
};

}  // namespace

const ReadTopic* HelpFile::TopicAt(uint32_t offset) const {
  for (const ReadTopic& t : topics)
    if (t.offset == offset) return &t;
  return nullptr;
}

bool ReadHelpFile(const std::vector<uint8_t>& bytes, HelpFile* out, std::string* error) {
  *out = HelpFile{};
  Reader r{bytes, *out, error};
  return r.Header() && r.Directory() && r.System() && r.Fonts() && r.Topics() && r.Contexts() && r.Map() &&
         r.Titles();
}

}  // namespace winhelp
