// Frames between frei0r and the engine. frei0r hands RGBA8888 frames (bytes red, green,
// blue, alpha; rows top-down); the engine reads and writes blue, green, red, alpha with rows
// bottom-up. One pass per frame each way, into buffers the caller keeps.
#pragma once

#include <cstdint>

namespace lumorafx {

// width x height pixels from a frei0r frame into the engine's layout.
void FrameToEngine(const uint32_t* rgba, int width, int height, uint8_t* bgra);
// The engine's picture back into a frei0r frame; alpha is copied as the engine wrote it.
void EngineToFrame(const uint8_t* bgra, int width, int height, uint32_t* rgba);

}  // namespace lumorafx
