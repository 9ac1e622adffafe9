// One settings block given twice: field by field, and as the bytes a file holds, each
// field written at its offset in little-endian order. Every build (native, 32-bit and
// 64-bit Windows) must turn the one into the other, so a defaults file or a host's block
// written by one build reads the same in any other.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "model/effect_settings.h"

namespace lmx::test {

inline float GoldenValue(int i) { return static_cast<float>(i) * 0.75f - 40.0f; }

inline EffectSettings GoldenBlock() {
  EffectSettings block;
  std::memset(&block, 0, sizeof block);
  std::memcpy(block.effectName, "CUBESPIN\0ab", 12);
  for (int i = 0; i < kGeneralCount; ++i) block.generalValues[i] = GoldenValue(i);
  for (int r = 0; r < kObjectRows; ++r)
    for (int c = 0; c < kObjectColumns; ++c) block.objectValues[r][c] = GoldenValue(100 + r * kObjectColumns + c);
  block.specialCount = 7;
  for (int k = 0; k < kSpecialSlots; ++k)
    block.specialValues[k] = {static_cast<uint16_t>(k), static_cast<uint16_t>(0x0A00 + k), GoldenValue(400 + k)};
  return block;
}

inline std::vector<uint8_t> GoldenBlockImage() {
  std::vector<uint8_t> image(1016, 0);
  auto u16 = [&](size_t at, uint16_t v) { image[at] = uint8_t(v), image[at + 1] = uint8_t(v >> 8); };
  auto u32 = [&](size_t at, uint32_t v) { u16(at, uint16_t(v)), u16(at + 2, uint16_t(v >> 16)); };
  auto f32 = [&](size_t at, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(at, bits);
  };
  std::memcpy(image.data(), "CUBESPIN\0ab", 12);
  for (int i = 0; i < 30; ++i) f32(12 + 4 * i, GoldenValue(i));
  for (int i = 0; i < 200; ++i) f32(132 + 4 * i, GoldenValue(100 + i));
  u32(932, 7);
  for (int k = 0; k < 10; ++k) u16(936 + 8 * k, uint16_t(k)), u16(938 + 8 * k, uint16_t(0x0A00 + k)), f32(940 + 8 * k, GoldenValue(400 + k));
  return image;
}

}  // namespace lmx::test
