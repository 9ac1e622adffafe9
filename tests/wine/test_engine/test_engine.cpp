#include "test_engine.h"

#include <windows.h>

#include <atomic>
#include <cstring>

#include "model/render_job.h"

namespace {

using lmx::test::EngineCall;

constexpr int kMaxCalls = 8192;
EngineCall g_calls[kMaxCalls];
std::atomic<int32_t> g_count{0};
std::atomic<int32_t> g_delayMs{0};
std::atomic<int32_t> g_holdAt{-1};
std::atomic<bool> g_honourAbort{true};
std::atomic<bool> g_failing{false};
std::atomic<bool> g_released{false};
std::atomic<bool> g_abortSeen{false};
std::atomic<int32_t> g_active{0};
std::atomic<int32_t> g_maxActive{0};

}  // namespace

extern "C" {

#ifndef LMX_TEST_ENGINE_WITHOUT_RENDER
namespace {

// True when the call is to return for an abort; a deaf engine only notes the request.
bool AbortSeen(const lmx::RenderJob* job) {
  bool asked = job->abortCallback && job->abortCallback() != 0;
  if (asked) g_abortSeen = true;
  return asked && g_honourAbort;
}

void Paint(const lmx::RenderJob* job) {
  auto* pixels = reinterpret_cast<uint32_t*>(job->target.pixels);
  if (!pixels) return;
  uint32_t colour = lmx::test::FrameColour(job->position);
  const uint32_t width = job->target.width;
  size_t n = size_t(width) * job->target.height;
  // The first column is white, so that the stretching of the picture shows.
  for (size_t i = 0; i < n; ++i) pixels[i] = i % width == 0 ? 0xFFFFFFFFu : colour;
}

}  // namespace

__declspec(dllexport) int32_t __cdecl LMX_Render(lmx::EffectSettings* settings, lmx::RenderJob* job, int32_t flags) {
  int32_t active = ++g_active;
  for (int32_t seen = g_maxActive; active > seen && !g_maxActive.compare_exchange_weak(seen, active);) {
  }
  int32_t index = g_count.load();
  EngineCall call{};
  call.position = job->position;
  call.lastPosition = job->lastPosition;
  call.objectCount = job->objectCount;
  call.flags = flags;
  call.hasProgress = job->progressCallback != nullptr;
  call.hasAbort = job->abortCallback != nullptr;
  call.threadPriority = GetThreadPriority(GetCurrentThread());
  call.threadId = GetCurrentThreadId();
  call.frameWidth = job->frameWidth;
  call.frameHeight = job->frameHeight;
  call.targetFormat = job->target.formatCode;
  call.settings = settings;
  call.pixels = job->target.pixels;
  std::memcpy(call.effectName, settings->effectName, sizeof call.effectName);
  const lmx::EffectSettings before = *settings;
  for (int i = 0; i < lmx::kPreviewTextures; ++i) {
    const lmx::TextureImage& texture = job->textures[i];
    call.texturesWithPixels += texture.pixels != nullptr;
    call.texturesOwned += texture.ownsPixels != 0;
    call.textureFormat[i] = texture.formatCode;
    call.textureWidth[i] = texture.width;
    std::memcpy(call.textureName[i], texture.name, sizeof call.textureName[i]);
  }
  if (job->textures[0].pixels) std::memcpy(&call.firstTexturePixel, job->textures[0].pixels, 4);
  if (index < kMaxCalls) g_calls[index] = call;
  g_count = index + 1;

  bool aborted = false;
  DWORD start = GetTickCount();
  while (!aborted && GetTickCount() - start < DWORD(g_delayMs.load())) {
    aborted = AbortSeen(job);
    Sleep(1);
  }
  if (job->progressCallback) job->progressCallback(50);
  int32_t holdAt = g_holdAt;
  while (!aborted && holdAt >= 0 && index >= holdAt && !g_released) {
    aborted = AbortSeen(job);
    Sleep(1);
  }
  const bool failing = g_failing;
  if (!aborted && !failing) Paint(job);
  if (index < kMaxCalls) {
    g_calls[index].aborted = aborted;
    g_calls[index].settingsChanged = std::memcmp(&before, settings, sizeof before) != 0;
  }
  --g_active;
  return failing ? -1 : 0;
}
#endif

__declspec(dllexport) void __cdecl TestEngine_Reset(int32_t delayMs, int32_t holdAtCall, int32_t honourAbort) {
  g_count = 0;
  g_delayMs = delayMs;
  g_holdAt = holdAtCall;
  g_honourAbort = honourAbort != 0;
  g_released = false;
  g_abortSeen = false;
  g_maxActive = 0;
  g_failing = false;
}

__declspec(dllexport) void __cdecl TestEngine_Fail(int32_t failing) { g_failing = failing != 0; }

__declspec(dllexport) int32_t __cdecl TestEngine_CallCount(void) { return g_count; }

__declspec(dllexport) int32_t __cdecl TestEngine_GetCall(int32_t index, EngineCall* call) {
  if (index < 0 || index >= g_count || index >= kMaxCalls) return 0;
  *call = g_calls[index];
  return 1;
}

__declspec(dllexport) void __cdecl TestEngine_Release(void) { g_released = true; }
__declspec(dllexport) int32_t __cdecl TestEngine_AbortSeen(void) { return g_abortSeen; }
__declspec(dllexport) int32_t __cdecl TestEngine_Active(void) { return g_active; }
__declspec(dllexport) int32_t __cdecl TestEngine_MaxActive(void) { return g_maxActive; }

}  // extern "C"
