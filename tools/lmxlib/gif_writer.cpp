#include "lmxlib/gif_writer.h"

#include "lmxlib/colour_quantizer.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

namespace lmxlib {

namespace {

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

std::vector<uint8_t> EncodeGif(int width, int height, const std::vector<GifFrame>& frames, int delayCentiseconds) {
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  U16(out, width);
  U16(out, height);
  out.push_back(0xF7);  // global colour table of 256 entries, 8 bits per channel
  out.push_back(0);     // background colour
  out.push_back(0);     // square pixels
  std::vector<const std::vector<uint8_t>*> pictures;
  for (const GifFrame& frame : frames) pictures.push_back(&frame.bgra);
  const std::vector<Rgb> palette = BuildPalette(pictures);
  for (int i = 0; i < 256; ++i) {
    const Rgb c = size_t(i) < palette.size() ? palette[size_t(i)] : Rgb{0, 0, 0};
    out.insert(out.end(), {c.r, c.g, c.b});
  }
  // Loop forever.
  const uint8_t loop[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  out.insert(out.end(), loop, loop + sizeof loop);
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
    // GIF rows run top-down; the engine's rows bottom-up.
    std::vector<uint8_t> topDown(frame.bgra.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
      std::copy_n(frame.bgra.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * row), row,
                  topDown.begin() + static_cast<std::ptrdiff_t>(y * row));
    Lzw(MapToPalette(topDown, width, height, palette), out);
  }
  out.push_back(0x3B);
  return out;
}

}  // namespace lmxlib
