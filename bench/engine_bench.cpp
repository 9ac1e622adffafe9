// lmx_bench: times the engine on the benchmark scenes.
//   lmx_bench [--scene NAME] [--frames N] [--min-seconds S] [--threads N] [--antialiasing N]
// (--threads: for the filter frames, 0 for one per core, the default; --antialiasing:
// samples per pixel instead of the scene's)
// For each scene prints one line of NAME=VALUE fields: the first frame of a fresh
// process (first_ms), the mean steady time per frame over every frame of the scene
// (steady_ms) and the processor time that took (cpu_ms, every thread's), the work per
// frame (passes, samples: every sample of every pass) and, on Linux, the memory: the process's size before the first frame, with the scene's
// pictures and target in it (base_rss_mb), and its peak (peak_rss_mb).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame_params.h"
#include "process_stats.h"
#include "render_frame.h"
#include "scenes.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  std::string only;
  int frameLimit = 0;
  double minSeconds = 1.0;
  int threads = 0, antiAliasing = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--scene")) only = argv[i + 1];
    else if (!std::strcmp(argv[i], "--frames")) frameLimit = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--min-seconds")) minSeconds = std::atof(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--threads")) threads = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--antialiasing")) antiAliasing = std::atoi(argv[i + 1]);
  }
  using namespace lmx;
  bool any = false;
  for (bench::Scene& scene : bench::Scenes(only)) {
    any = true;
    if (antiAliasing > 0) scene.settings.generalValues[AntiAliasing] = static_cast<float>(antiAliasing);
    std::vector<uint8_t> target;
    RenderJob job = bench::MakeJob(scene, target);
    const double baseMb = bench::ResidentMb();
    int frames = frameLimit > 0 ? std::min(frameLimit, scene.frames) : scene.frames;

    // The first frame of the scene, from nothing.
    Clock::time_point start = Clock::now();
    engine::FrameParams params = engine::ReadFrameParams(scene.settings);
    bench::SetFrame(scene, job, 0);
    if (engine::RenderShape(params, scene.shape, job, nullptr, threads) != 0) return 1;
    double firstMs = Ms(Clock::now() - start);

    // Steady: whole previews, repeated for at least minSeconds.
    engine::RenderStats stats;
    int rendered = 0;
    start = Clock::now();
    const double cpuStart = bench::ProcessCpuMs();
    do {
      for (int k = 0; k < frames; ++k) {
        bench::SetFrame(scene, job, k);
        params = engine::ReadFrameParams(scene.settings);  // as each call does
        if (engine::RenderShape(params, scene.shape, job, &stats, threads) != 0) return 1;
        ++rendered;
      }
    } while (Ms(Clock::now() - start) < minSeconds * 1000);
    double steadyMs = Ms(Clock::now() - start) / rendered;
    double cpuMs = (bench::ProcessCpuMs() - cpuStart) / rendered;
    uint64_t checksum = 0;
    for (uint8_t b : target) checksum = checksum * 31 + b;
    int aa = static_cast<int>(scene.settings.generalValues[AntiAliasing]);
    double passes = static_cast<double>(stats.passes) / rendered;
    double samples = passes * scene.width * scene.height * (aa > 1 ? aa : 1);
    std::printf("engine scene=%s size=%dx%d frames=%d first_ms=%.3f steady_ms=%.4f cpu_ms=%.4f fps=%.1f passes=%.1f "
                "samples=%.0f fragments=%.0f triangles=%.0f threads=%d checksum=%llx base_rss_mb=%.1f peak_rss_mb=%.1f\n",
                scene.name.c_str(), scene.width, scene.height, frames, firstMs, steadyMs, cpuMs, 1000 / steadyMs, passes,
                samples, static_cast<double>(stats.shadedFragments) / rendered,
                static_cast<double>(stats.triangles) / rendered, scene.filterMode ? threads : 1,
                static_cast<unsigned long long>(checksum), baseMb, bench::PeakResidentMb());
    std::fflush(stdout);
  }
  return any ? 0 : 2;
}
