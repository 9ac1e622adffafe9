// lmxlib build SRC -o FILE [--kind effect|organization|texture]
#include "lmxlib/cli.h"
#include "lmxlib/command.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/texture_format.h"

namespace lmxlib {
namespace {

const CommandInfo kCommand = {
    "build", "SRC", "Writes an effect (.LMI), organization (.ORG) or texture (.LMT) from its JSON source or a PNG or\n"
    "BMP picture. The source is checked first; a fault names the field and nothing is written.",
    1, 1,
    {{"--output", "-o", "FILE", "the file to write (replaced in one step; never the source itself)", Use::Required},
     {"--kind", nullptr, "KIND", "effect, organization or texture; else from FILE's extension, else the source",
      Use::Optional}},
    nullptr};

// The kind of file to write: from --kind, else the output's extension, else the source.
std::string KindOf(const std::string& forced, const std::string& dst, bool picture, const Json& json) {
  if (!forced.empty()) return forced;
  const std::string ext = UpperExtension(dst);
  if (ext == "LMI") return "effect";
  if (ext == "ORG") return "organization";
  if (ext == "LMT") return "texture";
  if (picture) return "texture";
  return json.is_object() && json.contains("groups") ? "organization" : "effect";
}

}  // namespace

int RunBuild(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  if (int status = ParseCommandLine(kCommand, args, &a, out, err); status >= 0) return status;
  const std::string src = a.operands[0], dst = a.Get("--output"), forced = a.Get("--kind");
  if (!forced.empty() && forced != "effect" && forced != "organization" && forced != "texture") {
    err << "lmxlib build: unknown kind \"" << forced << "\" (effect, organization, texture)\n";
    return kExitUsage;
  }
  if (SameFile(src, dst)) {
    err << "lmxlib build: " << dst << " is the source itself; write the output elsewhere\n";
    return kExitUsage;
  }
  std::vector<uint8_t> source;
  std::string error;
  if (!ReadFileBytes(src, &source, &error)) {
    err << "lmxlib build: cannot read " << src << ": " << error << "\n";
    return kExitFindings;
  }
  try {
    const std::string srcExt = UpperExtension(src);
    const bool picture = !PictureFormat(source).empty() || forced == "texture" || srcExt == "PNG" || srcExt == "BMP";
    const Json json = picture ? Json() : ParseJsonText(source);
    const std::string kind = KindOf(forced, dst, picture, json);
    std::vector<uint8_t> bytes;
    if (kind == "texture") {
      bytes = EncodeTexture(DecodePicture(source));
    } else if (picture) {
      throw SourceError("a picture builds a texture (.LMT), not an " + kind);
    } else if (kind == "effect") {
      EffectSource e = ParseEffect(json);
      const std::string stem = TextOf(PathOf(dst).stem());
      if (stem != e.name)
        err << "lmxlib build: warning: " << dst << " holds the effect \"" << e.name
            << "\"; the library finds an effect by its file name\n";
      bytes = EncodeEffect(e);
    } else {
      bytes = EncodeOrganization(ParseOrganization(json));
    }
    if (!WriteFileBytes(dst, bytes, &error)) {
      err << "lmxlib build: cannot write " << dst << ": " << error << "\n";
      return kExitFindings;
    }
    out << dst << ": " << kind << ", " << bytes.size() << " bytes\n";
    return kExitOk;
  } catch (const SourceError& e) {
    err << "lmxlib build: " << src << ": " << e.what() << "\n";
    return kExitFindings;
  }
}

}  // namespace lmxlib
