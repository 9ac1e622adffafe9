// lmxlib build SRC -o FILE [--kind effect|organization|texture]
#include <filesystem>
#include <fstream>

#include "lmxlib/command.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/texture_format.h"

namespace lmxlib {
namespace {

// The kind of file to write: from --kind, else the output's extension, else the source.
std::string KindOf(const std::string& forced, const std::string& src, const std::string& dst, const Json* json) {
  if (!forced.empty()) return forced;
  const std::string ext = UpperExtension(dst);
  if (ext == "LMI") return "effect";
  if (ext == "ORG") return "organization";
  if (ext == "LMT") return "texture";
  const std::string srcExt = UpperExtension(src);
  if (srcExt == "PNG" || srcExt == "BMP") return "texture";
  if (json) return json->is_object() && json->contains("groups") ? "organization" : "effect";
  return "";
}

Json ReadJson(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(path, &bytes, &error)) throw SourceError(path + ": cannot read: " + error);
  try {
    return Json::parse(bytes.begin(), bytes.end());
  } catch (const nlohmann::json::parse_error& e) {
    throw SourceError(path + ": not valid JSON: " + e.what());
  }
}

}  // namespace

int RunBuild(const Args& args, std::ostream& out, std::ostream& err) {
  std::string src, dst, kind;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) dst = args[++i];
    else if (args[i] == "--kind" && i + 1 < args.size()) kind = args[++i];
    else if (src.empty() && !args[i].empty() && args[i][0] != '-') src = args[i];
    else {
      err << "lmxlib build: unexpected argument \"" << args[i] << "\"\n";
      return kExitUsage;
    }
  }
  if (src.empty() || dst.empty()) {
    err << "usage: lmxlib build SRC -o FILE [--kind effect|organization|texture]\n";
    return kExitUsage;
  }
  try {
    const std::string srcExt = UpperExtension(src);
    const bool picture = srcExt == "PNG" || srcExt == "BMP";
    Json json;
    if (!picture && kind != "texture") json = ReadJson(src);
    kind = KindOf(kind, src, dst, picture ? nullptr : &json);
    std::vector<uint8_t> bytes;
    if (kind == "effect") {
      EffectSource e = ParseEffect(json);
      const std::string stem = std::filesystem::path(dst).stem().string();
      if (stem != e.name)
        err << "lmxlib build: warning: " << dst << " holds the effect \"" << e.name
            << "\"; the library finds an effect by its file name\n";
      bytes = EncodeEffect(e);
    } else if (kind == "organization") {
      bytes = EncodeOrganization(ParseOrganization(json));
    } else if (kind == "texture") {
      bytes = EncodeTexture(LoadPicture(src));
    } else {
      err << "lmxlib build: cannot tell which kind of file to write; use --kind effect|organization|texture\n";
      return kExitUsage;
    }
    std::string error;
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
