// lumorafx_frame_check [--size WxH] MODE A B FRAME...: whether PNG frames rendered between
// two flat colours (RRGGBB) show a transition made of pieces. A pixel is clip A or B when
// each channel is near that colour, a blend when near their mean. A frame is mixed with 5 %
// A, 5 % B and at most 2 % blend, which no frame of a crossfade is. Modes: transition (first
// frame A, last B, none over 2 % blend, two or more of the middle half mixed) or mixed (every
// frame). Exit status: 0 all hold, 1 a check failed, 2 bad arguments or an unreadable frame.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb/stb_image.h"

namespace {

constexpr int kTolerance = 16;
constexpr double kWhole = 0.99;      // share of pixels that makes a frame one colour
constexpr double kPiece = 0.05;      // share each clip needs in a mixed frame
constexpr double kMostBlend = 0.02;  // share of blended pixels a mixed frame may have

struct Rgb {
  int r, g, b;
};

struct Shares {
  double a = 0, b = 0, blend = 0;
};

bool ParseColour(const std::string& text, Rgb* out) {
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  unsigned long v = std::strtoul(text.c_str(), nullptr, 16);
  *out = {static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF)};
  return true;
}

bool Near(const unsigned char* p, const Rgb& c) {
  return std::abs(p[0] - c.r) <= kTolerance && std::abs(p[1] - c.g) <= kTolerance && std::abs(p[2] - c.b) <= kTolerance;
}

// The shares of one frame; false when it cannot be read or has the wrong size.
bool Measure(const char* path, const Rgb& a, const Rgb& b, int wantW, int wantH, Shares* out) {
  int w = 0, h = 0, channels = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> pixels(stbi_load(path, &w, &h, &channels, 3), stbi_image_free);
  if (!pixels) {
    std::printf("%s: cannot read: %s\n", path, stbi_failure_reason());
    return false;
  }
  if (wantW > 0 && (w != wantW || h != wantH)) {
    std::printf("%s: %d x %d, expected %d x %d\n", path, w, h, wantW, wantH);
    return false;
  }
  const Rgb mean = {(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2};
  size_t na = 0, nb = 0, nblend = 0, n = static_cast<size_t>(w) * h;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char* p = pixels.get() + i * 3;
    na += Near(p, a);
    nb += Near(p, b);
    nblend += Near(p, mean);
  }
  *out = {static_cast<double>(na) / n, static_cast<double>(nb) / n, static_cast<double>(nblend) / n};
  return true;
}

bool Mixed(const Shares& s) { return s.a >= kPiece && s.b >= kPiece && s.blend <= kMostBlend; }

int Usage() {
  std::fprintf(stderr, "usage: lumorafx_frame_check [--size WxH] transition|mixed A B FRAME...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int wantW = 0, wantH = 0;
  if (args.size() >= 2 && args[0] == "--size") {
    if (std::sscanf(args[1].c_str(), "%dx%d", &wantW, &wantH) != 2 || wantW <= 0 || wantH <= 0) return Usage();
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() < 4 || (args[0] != "mixed" && args[0] != "transition")) return Usage();
  const std::string mode = args[0];
  Rgb a{}, b{};
  if (!ParseColour(args[1], &a) || !ParseColour(args[2], &b)) return Usage();
  const std::vector<std::string> frames(args.begin() + 3, args.end());

  bool ok = true;
  size_t mixedInMiddle = 0;
  const size_t n = frames.size();
  for (size_t i = 0; i < n; ++i) {
    const char* path = frames[i].c_str();
    Shares s;
    if (!Measure(path, a, b, wantW, wantH, &s)) return 2;
    bool pass = true;
    const char* verdict = "neither";
    if (mode == "transition" && i == 0) {
      pass = s.a >= kWhole;
      verdict = pass ? "clip A" : "not clip A";
    } else if (mode == "transition" && i == n - 1) {
      pass = s.b >= kWhole;
      verdict = pass ? "clip B" : "not clip B";
    } else if (Mixed(s)) {
      verdict = "pieces of both clips";
      if (i >= n / 4 && i < n - n / 4) ++mixedInMiddle;
    } else if (s.blend > kMostBlend) {
      pass = false;
      verdict = "a blend";
    } else if (mode == "mixed") {
      pass = false;
      verdict = "not a mix of pieces";
    }
    std::printf("%s: A %.1f %%, B %.1f %%, blend %.1f %%: %s\n", path, s.a * 100, s.b * 100, s.blend * 100, verdict);
    ok = ok && pass;
  }
  if (mode == "transition" && mixedInMiddle < 2) {
    std::printf("%zu frames of the middle half show pieces of both clips; at least 2 must\n", mixedInMiddle);
    ok = false;
  }
  return ok ? 0 : 1;
}
