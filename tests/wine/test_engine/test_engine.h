// The instrumented stand-in for LMX.DLL that the end-to-end tests install: it records
// every LMX_Render call, paints each frame in a colour that names its position (its first
// column white), can be made slow or held at a given call, honours the abort callback,
// and fails on request (its error result, nothing painted). Built twice: with LMX_Render,
// and without it (for the missing-export case).
#pragma once

#include <cstdint>

namespace lmx::test {

struct EngineCall {
  int32_t position;
  int32_t lastPosition;
  uint32_t objectCount;
  int32_t flags;             // the third argument
  int32_t hasProgress;       // progressCallback given
  int32_t hasAbort;          // abortCallback given
  int32_t aborted;           // the call returned because the abort callback said so
  int32_t settingsChanged;   // the block was written while the call ran
  int32_t threadPriority;    // GetThreadPriority of the calling thread
  uint32_t threadId;
  uint32_t frameWidth;
  uint32_t frameHeight;
  uint32_t targetFormat;
  void* settings;            // the first argument
  void* pixels;              // target pixels
  char effectName[12];       // of the block, at the call
  int32_t texturesWithPixels;  // of the 20 textures of the job
  int32_t texturesOwned;       // textures whose ownsPixels is set (the engine must not free)
  uint32_t textureFormat[20];
  uint32_t textureWidth[20];
  uint32_t firstTexturePixel;  // first pixel of texture 0, 0 without pixels
  char textureName[20][9];
};

// Frame colour: blue and green 0, red from the position (0x20 + 24 * position, wrapping).
inline uint32_t FrameColour(int32_t position) {
  return 0xFF000000u | (uint32_t(uint8_t(0x20 + 24 * position)) << 16);
}

extern "C" {
// Forgets all calls; each later call lasts delayMs; calls from holdAtCall on (-1: none)
// wait for TestEngine_Release, or for an abort when honourAbort is set.
typedef void(__cdecl* TestEngineResetFn)(int32_t delayMs, int32_t holdAtCall, int32_t honourAbort);
typedef int32_t(__cdecl* TestEngineCallCountFn)(void);
typedef int32_t(__cdecl* TestEngineGetCallFn)(int32_t index, EngineCall* call);
typedef void(__cdecl* TestEngineReleaseFn)(void);
// While failing is set (until the next reset), every call returns -1 and paints nothing.
typedef void(__cdecl* TestEngineFailFn)(int32_t failing);
// Whether a call has seen the abort callback ask for a stop since the last reset.
typedef int32_t(__cdecl* TestEngineAbortSeenFn)(void);
// Calls running now, and the most that ever ran at once.
typedef int32_t(__cdecl* TestEngineActiveFn)(void);
typedef int32_t(__cdecl* TestEngineMaxActiveFn)(void);
}

}  // namespace lmx::test
