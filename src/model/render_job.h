// The record handed to the engine's LMX_Render for each preview frame, and the engine's
// entry point. Layout shared byte for byte with LMX.DLL of the same build: 1320 bytes with
// 32-bit addresses; 1424 with 64-bit ones, where the textures are 64 bytes and start on an
// 8-byte boundary (4 bytes of padding after objectCount) and the callbacks are 8 bytes
// from 1376 on (4 bytes of padding after lastPosition).
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/calling_convention.h"
#include "model/effect_settings.h"
#include "model/texture_image.h"

namespace lmx {

inline constexpr int kPreviewTextures = 20;

extern "C" {
// Non-zero when the user has asked the render to stop.
typedef int16_t(__cdecl* AbortCallbackFn)(void);
// Percent done, 0 to 100; returns 0. Given only in filter mode.
typedef int16_t(__cdecl* ProgressCallbackFn)(int32_t percent);
}

struct RenderJob {
  uint32_t frameWidth;
  uint32_t frameHeight;
  uint32_t objectCount;
  TextureImage textures[kPreviewTextures];
  TextureImage target;
  uint32_t reserved0;
  int32_t position;
  int32_t lastPosition;
  ProgressCallbackFn progressCallback;
  AbortCallbackFn abortCallback;
  uint8_t reserved1[20];
  uint32_t reserved2;
  uint16_t reserved3;
  uint16_t reserved4;
};

static_assert(offsetof(RenderJob, frameWidth) == 0);
static_assert(offsetof(RenderJob, frameHeight) == 4);
static_assert(offsetof(RenderJob, objectCount) == 8);
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(RenderJob) == 1320);
static_assert(offsetof(RenderJob, textures) == 12);
static_assert(offsetof(RenderJob, target) == 1212);
static_assert(offsetof(RenderJob, reserved0) == 1272);
static_assert(offsetof(RenderJob, position) == 1276);
static_assert(offsetof(RenderJob, lastPosition) == 1280);
static_assert(offsetof(RenderJob, progressCallback) == 1284);
static_assert(offsetof(RenderJob, abortCallback) == 1288);
static_assert(offsetof(RenderJob, reserved1) == 1292);
static_assert(offsetof(RenderJob, reserved2) == 1312);
static_assert(offsetof(RenderJob, reserved3) == 1316);
static_assert(offsetof(RenderJob, reserved4) == 1318);
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(RenderJob) == 1424);
static_assert(offsetof(RenderJob, textures) == 16);
static_assert(offsetof(RenderJob, target) == 1296);
static_assert(offsetof(RenderJob, reserved0) == 1360);
static_assert(offsetof(RenderJob, position) == 1364);
static_assert(offsetof(RenderJob, lastPosition) == 1368);
static_assert(offsetof(RenderJob, progressCallback) == 1376);
static_assert(offsetof(RenderJob, abortCallback) == 1384);
static_assert(offsetof(RenderJob, reserved1) == 1392);
static_assert(offsetof(RenderJob, reserved2) == 1412);
static_assert(offsetof(RenderJob, reserved3) == 1416);
static_assert(offsetof(RenderJob, reserved4) == 1418);
#else
#error "RenderJob has a layout for 32-bit and 64-bit addresses only"
#endif

extern "C" {
// The engine's one export: renders the frame at job->position into job->target.
// The third argument is always 1. A negative result is the engine's error (the frame
// could not be rendered); 0 and above are a rendered or a stopped frame.
typedef int32_t(__cdecl* RenderEntryFn)(EffectSettings* settings, RenderJob* job, int32_t flags);
}

}  // namespace lmx
