#include "lmxlib/record_walk.h"

#include <cstdio>

#include "library/bytes.h"
#include "library/chunk_file.h"

namespace lmxlib {

Walk WalkChunks(const std::vector<uint8_t>& bytes) {
  Walk walk;
  const size_t size = bytes.size();
  if (size < 4) {
    walk.end = WalkEnd::NoHeader;
    walk.endOffset = 0;
    walk.endReason = "file of " + std::to_string(size) + " bytes is too short for its 4-byte header value";
    return walk;
  }
  walk.header = lmx::LoadU32(bytes.data());
  size_t pos = 4;
  for (;;) {
    const size_t left = size - pos;
    if (left == 0) {
      walk.end = WalkEnd::Complete;
      walk.endOffset = pos;
      return walk;
    }
    if (left < 4) {
      walk.end = WalkEnd::StrayBytes;
      walk.endOffset = pos;
      walk.endReason = std::to_string(left) + " stray byte(s) after the last record (readers stop there)";
      return walk;
    }
    WalkRecord r;
    r.offset = pos;
    r.tag = lmx::LoadU32(bytes.data() + pos);
    if (left < 8) {
      walk.end = WalkEnd::Damaged;
      walk.endOffset = pos;
      walk.endReason = "record " + TagName(r.tag) + " is cut off inside its length field (" +
                       std::to_string(left - 4) + " of 4 bytes)";
      return walk;
    }
    r.length = lmx::LoadU32(bytes.data() + pos + 4);
    if (r.length > lmx::kMaxChunkPayload) {
      walk.end = WalkEnd::TooLarge;
      walk.endOffset = pos;
      walk.endReason = "record " + TagName(r.tag) + " declares " + std::to_string(r.length) +
                       " bytes of payload, more than a reader accepts (" + std::to_string(lmx::kMaxChunkPayload) + ")";
      return walk;
    }
    if (r.length > left - 8) {
      walk.end = WalkEnd::Damaged;
      walk.endOffset = pos;
      walk.endReason = "record " + TagName(r.tag) + " declares " + std::to_string(r.length) +
                       " bytes of payload but only " + std::to_string(left - 8) + " remain";
      return walk;
    }
    r.data = bytes.data() + pos + 8;
    walk.records.push_back(r);
    pos += 8 + size_t(r.length);
  }
}

std::string TagName(uint32_t tag) {
  std::string s;
  for (int i = 0; i < 4; ++i) {
    char c = char((tag >> (8 * i)) & 0xFF);
    if (c < 0x20 || c > 0x7E) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "0x%08X", tag);
      return buf;
    }
    s += c;
  }
  return s;
}

bool IsReadable(const Walk& walk) { return walk.end == WalkEnd::Complete || walk.end == WalkEnd::StrayBytes; }

}  // namespace lmxlib
