// lmxlib icon PICTURE -o EFFECTS/NAME.BMP: an effect's icon from any PNG or BMP picture.
#include "lmxlib/cli.h"
#include "lmxlib/command.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/icon_bitmap.h"

namespace lmxlib {

int RunIcon(const Args& args, std::ostream& out, std::ostream& err) {
  static const CommandInfo info = {
      "icon", "PICTURE",
      "Writes an effect's icon as the FX page draws it: a 24-bit bitmap with the 40-byte header, 48 x 44\n"
      "pixels, from a PNG or BMP picture of any size (scaled by area averaging, transparent parts black).\n"
      "The FX page finds the icon of effect NAME as EFFECTS/NAME.BMP.",
      1, 1,
      {{"--output", "-o", "FILE", "the icon to write, EFFECTS/NAME.BMP (replaced in one step)", Use::Required}},
      nullptr};
  ParsedArgs a;
  if (int status = ParseCommandLine(info, args, &a, out, err); status >= 0) return status;
  const std::string src = a.operands[0], dst = a.Get("--output");
  if (SameFile(src, dst)) {
    err << "lmxlib icon: " << dst << " is the picture itself; write the icon elsewhere\n";
    return kExitUsage;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(src, &bytes, &error)) {
    err << "lmxlib icon: cannot read " << src << ": " << error << "\n";
    return kExitFindings;
  }
  try {
    const Picture picture = DecodePicture(bytes);
    const std::string stem = TextOf(PathOf(dst).stem());
    try {
      CheckShortName(stem, "icon name");
      if (UpperExtension(dst) != "BMP") throw SourceError("the extension is not .BMP");
    } catch (const SourceError& e) {
      err << "lmxlib icon: warning: " << dst << ": " << e.what() << "; the FX page looks for EFFECTS/NAME.BMP\n";
    }
    const std::vector<uint8_t> icon = EncodeBmp24(ScalePicture(picture, kIconWidth, kIconHeight));
    if (!WriteFileBytes(dst, icon, &error)) {
      err << "lmxlib icon: cannot write " << dst << ": " << error << "\n";
      return kExitFindings;
    }
    out << dst << ": icon of " << kIconWidth << " x " << kIconHeight << " from " << picture.width << " x "
        << picture.height << " pixels\n";
    return kExitOk;
  } catch (const SourceError& e) {
    err << "lmxlib icon: " << src << ": " << e.what() << "\n";
    return kExitFindings;
  }
}

}  // namespace lmxlib
