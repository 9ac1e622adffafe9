#include "lmxlib/examine.h"

#include "library/bytes.h"
#include "library/effect_record.h"
#include "lmxlib/command.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/other_formats.h"
#include "lmxlib/record_walk.h"
#include "lmxlib/texture_format.h"

namespace lmxlib {

std::string GuessKind(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string ext = UpperExtension(path);
  if (ext == "LMI") return "effect";
  if (ext == "ORG") return "organization";
  if (ext == "LMT") return "texture";
  if (ext == "LRI") return "defaults";
  if (ext == "LST") return "engine list";
  if (ext == "BMP") return "bitmap";
  if (bytes.size() >= 4) {
    const uint32_t header = lmx::LoadU32(bytes.data());
    if (header == lmx::kEffectHeader) return "effect";
    if (header == kOrganizationHeader) return "organization";
    if (header == kTextureHeader) return "texture";
  }
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return "bitmap";
  return "";
}

Report Inspect(const std::string& kind, const std::vector<uint8_t>& bytes) {
  if (kind == "bitmap") return DecodeBitmap(bytes);
  if (kind == "defaults") return DecodeDefaults(bytes);
  if (kind == "engine list") return DecodeEngineList(bytes);
  uint32_t expected = 0;
  if (kind == "effect") expected = lmx::kEffectHeader;
  else if (kind == "organization") expected = kOrganizationHeader;
  else if (kind == "texture") expected = kTextureHeader;
  const Walk walk = WalkChunks(bytes);
  if (walk.end == WalkEnd::NoHeader) {
    Report rep;
    rep.kind = kind;
    AddWalkEnd(walk, &rep);
    return rep;
  }
  if (walk.header != expected) {
    Report rep;
    rep.kind = kind;
    rep.readable = false;
    rep.stop = "unreadable from offset 0: header value " + TagName(walk.header) + "; " + kind + " files start with " +
               TagName(expected);
    rep.problems.push_back(rep.stop);
    return rep;
  }
  if (kind == "effect") return DecodeEffect(walk);
  if (kind == "organization") return DecodeOrganization(walk);
  return DecodeTexture(walk);
}

}  // namespace lmxlib
