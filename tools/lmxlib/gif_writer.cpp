#include "lmxlib/gif_writer.h"

#include <cstddef>
#include <unordered_map>

namespace lmxlib {

namespace {

constexpr int kRedLevels = 6, kGreenLevels = 7, kBlueLevels = 6;

int Level(uint8_t value, int levels) { return (value * (levels - 1) + 127) / 255; }

// Variable-length codes packed into bytes, least significant bit first, then cut into
// sub-blocks of at most 255 bytes.
class CodeStream {
 public:
  void Put(uint32_t code, int bits) {
    accumulator_ |= code << filled_;
    filled_ += bits;
    while (filled_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(accumulator_ & 0xFF));
      accumulator_ >>= 8;
      filled_ -= 8;
    }
  }
  void Flush(std::vector<uint8_t>& out) {
    if (filled_ > 0) bytes_.push_back(static_cast<uint8_t>(accumulator_ & 0xFF));
    for (size_t i = 0; i < bytes_.size(); i += 255) {
      size_t n = bytes_.size() - i < 255 ? bytes_.size() - i : 255;
      out.push_back(static_cast<uint8_t>(n));
      out.insert(out.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(i),
                 bytes_.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
  }

 private:
  std::vector<uint8_t> bytes_;
  uint32_t accumulator_ = 0;
  int filled_ = 0;
};

// LZW with 8-bit symbols: clear code 256, end code 257, codes up to 12 bits; the table
// starts over when it is full.
void Lzw(const std::vector<uint8_t>& indices, std::vector<uint8_t>& out) {
  const uint32_t clear = 256, end = 257;
  out.push_back(8);  // minimum code size
  CodeStream stream;
  std::unordered_map<uint32_t, uint32_t> table;
  uint32_t next = 258;
  int bits = 9;
  stream.Put(clear, bits);
  if (indices.empty()) {
    stream.Put(end, bits);
    stream.Flush(out);
    return;
  }
  uint32_t prefix = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    uint32_t key = prefix << 8 | indices[i];
    auto found = table.find(key);
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    stream.Put(prefix, bits);
    if (next < 4096) {
      table[key] = next++;
      if (next > (1u << bits) && bits < 12) ++bits;
    } else {
      stream.Put(clear, bits);
      table.clear();
      next = 258;
      bits = 9;
    }
    prefix = indices[i];
  }
  stream.Put(prefix, bits);
  stream.Put(end, bits);
  stream.Flush(out);
}

void U16(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

}  // namespace

uint8_t PaletteIndex(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint8_t>((Level(red, kRedLevels) * kGreenLevels + Level(green, kGreenLevels)) * kBlueLevels +
                              Level(blue, kBlueLevels));
}

void PaletteColour(uint8_t index, uint8_t* red, uint8_t* green, uint8_t* blue) {
  int i = index < kRedLevels * kGreenLevels * kBlueLevels ? index : 0;
  *blue = static_cast<uint8_t>(i % kBlueLevels * 255 / (kBlueLevels - 1));
  i /= kBlueLevels;
  *green = static_cast<uint8_t>(i % kGreenLevels * 255 / (kGreenLevels - 1));
  *red = static_cast<uint8_t>(i / kGreenLevels * 255 / (kRedLevels - 1));
}

std::vector<uint8_t> EncodeGif(int width, int height, const std::vector<GifFrame>& frames, int delayCentiseconds) {
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  U16(out, width);
  U16(out, height);
  out.push_back(0xF7);  // global colour table of 256 entries, 8 bits per channel
  out.push_back(0);     // background colour
  out.push_back(0);     // square pixels
  for (int i = 0; i < 256; ++i) {
    uint8_t r, g, b;
    PaletteColour(static_cast<uint8_t>(i), &r, &g, &b);
    out.insert(out.end(), {r, g, b});
  }
  // Loop forever.
  const uint8_t loop[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  out.insert(out.end(), loop, loop + sizeof loop);
  std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
  for (const GifFrame& frame : frames) {
    out.insert(out.end(), {0x21, 0xF9, 4, 0x04});  // graphic control: keep the frame
    U16(out, delayCentiseconds);
    out.insert(out.end(), {0, 0});
    out.push_back(0x2C);
    U16(out, 0);
    U16(out, 0);
    U16(out, width);
    U16(out, height);
    out.push_back(0);
    for (int y = 0; y < height; ++y) {
      // GIF rows run top-down; the engine's rows bottom-up.
      const uint8_t* row = &frame.bgra[static_cast<size_t>(height - 1 - y) * width * 4];
      for (int x = 0; x < width; ++x) {
        indices[static_cast<size_t>(y) * width + x] = PaletteIndex(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
      }
    }
    Lzw(indices, out);
  }
  out.push_back(0x3B);
  return out;
}

}  // namespace lmxlib
