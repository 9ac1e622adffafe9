// Helpers of the lmxlib tests: scratch directories, planted files and command runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/tests/temp_dir.h"
#include "lmxlib/command.h"
#include "lmxlib/report.h"

namespace lmxlib::test {

namespace fs = std::filesystem;
using lmx::test::ReadBytes;
using lmx::test::TempDir;

struct Result {
  int status = -1;
  std::string out, err;
};

inline Result Lmxlib(std::vector<std::string> args) {
  args.insert(args.begin(), "lmxlib");
  std::ostringstream out, err;
  const int status = RunTool(args, out, err);
  return {status, out.str(), err.str()};
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// lmxlib run with args: its exit status is `status`, its standard error holds `message` and
// its standard output `printed`.
inline Result ExpectRun(const std::vector<std::string>& args, int status, const std::string& message = "",
                        const std::string& printed = "") {
  Result r = Lmxlib(args);
  std::string command = "lmxlib";
  for (const std::string& a : args) command += " " + a;
  EXPECT_EQ(r.status, status) << command << "\n" << r.err;
  EXPECT_TRUE(Has(r.err, message)) << command << "\nprints no \"" << message << "\" but:\n" << r.err;
  EXPECT_TRUE(Has(r.out, printed)) << command << "\nprints no \"" << printed << "\" but:\n" << r.out;
  return r;
}

inline bool HasProblem(const Report& rep, const std::string& text) {
  for (const std::string& p : rep.problems)
    if (Has(p, text)) return true;
  return false;
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

// A bitmap file with a 40-byte header; pixel(x, y) for y counted from the top gives
// {r, g, b}. 8-bit files get a grey colour table and index 0 everywhere.
template <typename Pixel>
std::vector<uint8_t> MakeBmp(int w, int h, int bits, Pixel pixel) {
  const uint32_t row = (uint32_t(bits) * uint32_t(w) + 31) / 32 * 4;
  const uint32_t palette = bits <= 8 ? (1u << bits) * 4 : 0;
  std::vector<uint8_t> b = {'B', 'M'};
  // File size, reserved, pixel offset, header size, width, height, 1 plane and bits per
  // pixel, then six zero fields (no compression, sizes and colour counts left to the reader).
  for (uint32_t v : {14 + 40 + palette + row * h, 0u, 14 + 40 + palette, 40u, uint32_t(w), uint32_t(h),
                     1u | uint32_t(bits) << 16, 0u, 0u, 0u, 0u, 0u, 0u})
    Put32(b, v);
  for (uint32_t i = 0; i < palette / 4; ++i) Put32(b, i * 0x010101u);
  for (int y = h - 1; y >= 0; --y) {
    size_t start = b.size();
    for (int x = 0; x < w && bits <= 8; ++x) b.push_back(0);
    for (int x = 0; x < w && bits > 8; ++x) {
      auto [r, g, bl] = pixel(x, y);
      b.insert(b.end(), {uint8_t(bl), uint8_t(g), uint8_t(r)});
      if (bits == 32) b.push_back(255);
    }
    while (b.size() - start < row) b.push_back(0);
  }
  return b;
}

inline std::vector<uint8_t> SolidBmp(int w, int h, int bits = 24) {
  return MakeBmp(w, h, bits, [](int, int) { return std::tuple<int, int, int>(200, 100, 50); });
}

}  // namespace lmxlib::test
