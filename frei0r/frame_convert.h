// Frames between the hosts and the engine. The engine reads and writes blue, green, red,
// alpha with rows bottom-up. frei0r and MLT's rgba hand RGBA8888 (bytes red, green, blue,
// alpha; rows top-down); MLT's yuv422 is packed Y0 U Y1 V (video levels, BT.601 or BT.709
// as the frame says, rows top-down, two bytes a pixel). One pass per frame each way, into
// buffers the caller keeps.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumorafx {

enum class PixelLayout { Rgba, Yuv601, Yuv709 };

size_t BytesPerPixel(PixelLayout layout);

// width x height pixels from a host's frame into the engine's layout (alpha 255 from yuv422).
void FrameToEngine(PixelLayout layout, const uint8_t* in, int width, int height, uint8_t* bgra);
// The engine's picture back into a host's frame; rgba takes alpha as the engine wrote it.
void EngineToFrame(PixelLayout layout, const uint8_t* bgra, int width, int height, uint8_t* out);

// One row of yuv422 to BGRA and back, plain C++: the reference the SIMD rows are held to,
// and the tail of a row they leave.
// The fixed-point factors of one colour space (x 64 from YUV, x 256 to YUV).
struct YuvFactors {
  int16_t rv, gu, gv, bu;              // from YUV: R = Y' + rv V', G = Y' - gu U' - gv V', B = Y' + bu U'
  int16_t yr, yg, yb, ur, ug, vg, vb;  // to YUV: Y from yr, yg, yb; U = -ur R - ug G + 112 B; V = 112 R - vg G - vb B
};
const YuvFactors& FactorsOf(PixelLayout layout);

void Yuv422RowToBgra(const YuvFactors& f, const uint8_t* yuv, int first, int width, uint8_t* bgra);
void BgraRowToYuv422(const YuvFactors& f, const uint8_t* bgra, int first, int width, uint8_t* yuv);

}  // namespace lumorafx
