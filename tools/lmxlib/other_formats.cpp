#include "lmxlib/other_formats.h"

#include <cstring>
#include <string>

#include "library/bytes.h"
#include "model/effect_settings.h"

namespace lmxlib {

Report DecodeBitmap(const std::vector<uint8_t>& b) {
  Report rep;
  rep.kind = "bitmap";
  size_t info = 0;
  uint32_t bitsOffset = 0;
  Json c;
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') {
    if (b.size() < 14) {
      rep.readable = false;
      rep.stop = "unreadable from offset 0: the 14-byte file header is cut off";
      rep.problems.push_back(rep.stop);
      return rep;
    }
    info = 14;
    bitsOffset = lmx::LoadU32(b.data() + 10);
    c["fileHeader"] = {{"fileSize", lmx::LoadU32(b.data() + 2)}, {"bitsOffset", bitsOffset}};
  } else {
    c["fileHeader"] = nullptr;
  }
  if (b.size() < info + 12) {
    rep.readable = false;
    rep.stop = "unreadable from offset " + std::to_string(info) + ": the information header is cut off";
    rep.problems.push_back(rep.stop);
    rep.content = c;
    return rep;
  }
  const uint32_t headerSize = lmx::LoadU32(b.data() + info);
  int64_t width = 0, height = 0;
  uint32_t bitCount = 0, compression = 0, colours = 0;
  if (headerSize == 12) {
    width = lmx::LoadU16(b.data() + info + 4);
    height = lmx::LoadU16(b.data() + info + 6);
    bitCount = lmx::LoadU16(b.data() + info + 10);
  } else if (headerSize == 40) {
    if (b.size() < info + 40) {
      rep.readable = false;
      rep.stop = "unreadable from offset " + std::to_string(info) + ": the 40-byte information header is cut off";
      rep.problems.push_back(rep.stop);
      rep.content = c;
      return rep;
    }
    width = int32_t(lmx::LoadU32(b.data() + info + 4));
    height = int32_t(lmx::LoadU32(b.data() + info + 8));
    bitCount = lmx::LoadU16(b.data() + info + 14);
    compression = lmx::LoadU32(b.data() + info + 16);
    colours = lmx::LoadU32(b.data() + info + 32);
  } else {
    rep.readable = false;
    rep.stop = "unreadable from offset " + std::to_string(info) + ": information header of " +
               std::to_string(headerSize) + " bytes (readers take 40 or 12; lmxlib icon writes an icon they take from any picture)";
    rep.problems.push_back(rep.stop);
    rep.content = c;
    return rep;
  }
  c["headerSize"] = headerSize;
  c["width"] = width;
  c["height"] = height;
  c["bitCount"] = bitCount;
  c["compression"] = compression;
  c["coloursUsed"] = colours;
  if (bitCount < 24) rep.problems.push_back("bitmap of " + std::to_string(bitCount) + " bits per pixel; readers take 24 or 32");
  else if (bitCount != 24 && bitCount != 32) rep.problems.push_back(std::to_string(bitCount) + " bits per pixel is not 24 or 32");
  if (compression != 0) rep.problems.push_back("compressed bitmap (compression " + std::to_string(compression) + "); readers take the bits as uncompressed");
  if (width <= 0 || height <= 0) rep.problems.push_back("width and height must be positive (bottom-up rows)");
  const uint64_t row = (uint64_t(bitCount) * uint64_t(width > 0 ? width : 0) + 31) / 32 * 4;
  const uint64_t image = row * uint64_t(height > 0 ? height : 0);
  const uint64_t start = bitsOffset ? bitsOffset : info + headerSize + uint64_t(colours) * (headerSize == 12 ? 3 : 4);
  c["bitsStart"] = start;
  c["imageBytes"] = image;
  if (start + image > b.size())
    rep.problems.push_back("pixel bits cut off: " + std::to_string(image) + " bytes from offset " +
                           std::to_string(start) + ", file has " + std::to_string(b.size()));
  rep.content = c;
  return rep;
}

Report DecodeDefaults(const std::vector<uint8_t>& b) {
  Report rep;
  rep.kind = "defaults";
  if (b.size() < kDefaultsSize) {
    rep.readable = false;
    rep.stop = "file of " + std::to_string(b.size()) + " bytes is shorter than one settings block (1016); readers ignore it";
    rep.problems.push_back(rep.stop);
    return rep;
  }
  if (b.size() > kDefaultsSize)
    rep.problems.push_back(std::to_string(b.size() - kDefaultsSize) + " bytes after the settings block are ignored");
  lmx::EffectSettings s;
  std::memcpy(&s, b.data(), sizeof s);
  Json c;
  c["effectName"] = std::string(s.effectName, strnlen(s.effectName, sizeof s.effectName));
  c["generalValues"] = Json::array();
  for (float v : s.generalValues) c["generalValues"].push_back(v);
  c["objectValues"] = Json::array();
  for (const auto& row : s.objectValues) {
    Json r = Json::array();
    for (float v : row) r.push_back(v);
    c["objectValues"].push_back(r);
  }
  c["specialCount"] = s.specialCount;
  c["specialValues"] = Json::array();
  for (const auto& sv : s.specialValues)
    c["specialValues"].push_back({{"reserved", sv.reserved}, {"tag", sv.tag}, {"value", sv.value}});
  if (!std::memchr(s.effectName, 0, 9)) rep.problems.push_back("effect name without terminating zero in its 9 bytes");
  if (s.specialCount > uint32_t(lmx::kSpecialSlots))
    rep.problems.push_back("special count " + std::to_string(s.specialCount) + " is above 10");
  rep.content = c;
  return rep;
}

Report DecodeEngineList(const std::vector<uint8_t>& b) {
  Report rep;
  rep.kind = "engine list";
  Json engines = Json::array();
  size_t start = 0, lineNo = 1;
  while (start < b.size()) {
    const uint8_t* nl = static_cast<const uint8_t*>(std::memchr(b.data() + start, '\n', b.size() - start));
    const size_t end = nl ? size_t(nl - b.data()) : b.size();
    std::string line(reinterpret_cast<const char*>(b.data() + start), end - start);
    const std::string where = "line " + std::to_string(lineNo);
    if (!nl) {
      rep.problems.push_back(where + " \"" + line + "\" does not end with a line feed; readers leave it out");
      break;
    }
    if (line.size() > 1023) rep.problems.push_back(where + ": longer than 1023 characters");
    if (!line.empty() && line.back() == '\r')
      rep.problems.push_back(where + ": carriage return before the line feed becomes part of the entry");
    const size_t blank = line.find(' ');
    if (blank == std::string::npos || blank == 0)
      rep.problems.push_back(where + ": expected an identifier, a blank and a description");
    engines.push_back({{"identifier", line.substr(0, blank)}, {"line", line}});
    start = end + 1;
    ++lineNo;
  }
  if (engines.empty()) rep.problems.push_back("no engines listed");
  rep.content = {{"engines", engines}};
  return rep;
}

}  // namespace lmxlib
