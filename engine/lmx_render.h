// The engine's one entry point, as the front end calls it from LMX.DLL; tools and the
// benchmark link the same function from the static library.
#pragma once

#include <cstdint>

#include "model/render_job.h"

extern "C" int32_t __cdecl LMX_Render(lmx::EffectSettings* settings, lmx::RenderJob* job, int32_t flags);
