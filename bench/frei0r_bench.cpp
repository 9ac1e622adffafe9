// lumorafx_bench: frames per second of the frei0r plugin as an MLT editor drives it,
// through its entry points in the built lumorafx.so: each frame converts the two clips,
// renders and converts back.
//   lumorafx_bench PLUGIN LIBRARY [--effect NAME] [--size WxH]... [--threads N]
//                  [--frames N] [--min-seconds S] [--antialiasing SAMPLES]
// Per size one line of NAME=VALUE fields. With --threads N, N instances render frames at
// once, each on its own thread, as MLT does when it renders N frames in parallel
// (real_time=-N); fps is then their sum. cpu_ms_per_frame is the process's processor time
// (user and system) per frame: on a machine shared with other work it shows what a frame
// costs when the wall clock cannot. peak_rss_mb is the process's peak resident size so
// far, and frames_mb what the frames given to and taken from the plugin take (both clips
// and the output, per instance).
#include <dlfcn.h>
#include <sys/resource.h>

extern "C" {
#include <frei0r.h>
}

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Api {
  void (*pluginInfo)(f0r_plugin_info_t*);
  void (*paramInfo)(f0r_param_info_t*, int);
  f0r_instance_t (*construct)(unsigned, unsigned);
  void (*destruct)(f0r_instance_t);
  void (*setParam)(f0r_instance_t, f0r_param_t, int);
  void (*update2)(f0r_instance_t, double, const uint32_t*, const uint32_t*, const uint32_t*, uint32_t*);
};

struct Options {
  std::string library, effect = "TILES4X4";
  std::vector<std::pair<int, int>> sizes;
  int threads = 1, frames = 25;
  double minSeconds = 2;
  int antiAliasing = 0;  // samples per pixel; 0: the plugin's default
};

// The index of the plugin's parameter `name`, or -1.
int ParamIndex(const Api& api, const char* name) {
  f0r_plugin_info_t plugin{};
  api.pluginInfo(&plugin);
  for (int i = 0; i < plugin.num_params; ++i) {
    f0r_param_info_t info{};
    api.paramInfo(&info, i);
    if (info.name != nullptr && std::strcmp(info.name, name) == 0) return i;
  }
  return -1;
}

// Clips with texture everywhere, so that no part of a frame is cheaper than a real one.
std::vector<uint32_t> Clip(int width, int height, int seed) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<size_t>(y) * width + x] =
          0xFF000000u | static_cast<uint32_t>((x * 7 + seed) & 0xFF) | static_cast<uint32_t>((y * 5) & 0xFF) << 8 |
          static_cast<uint32_t>(((x ^ y) + seed * 3) & 0xFF) << 16;
  return pixels;
}

// Renders whole transitions of `frames` frames until minSeconds have passed; returns the
// frames rendered.
long RenderLoop(const Api& api, const Options& o, int width, int height, Clock::time_point until) {
  f0r_instance_t instance = api.construct(width, height);
  if (instance == nullptr) return 0;
  const char* library = o.library.c_str();
  const char* effect = o.effect.c_str();
  api.setParam(instance, &library, 0);
  api.setParam(instance, &effect, 1);
  if (o.antiAliasing > 0) {
    double share = o.antiAliasing / 8.0;  // the parameter is samples per pixel / 8
    const int index = ParamIndex(api, "antialiasing");
    if (index >= 0) api.setParam(instance, &share, index);
  }
  std::vector<uint32_t> a = Clip(width, height, 1), b = Clip(width, height, 2), out(a.size());
  long rendered = 0;
  do {
    for (int k = 0; k < o.frames; ++k) {
      double position = o.frames > 1 ? static_cast<double>(k) / (o.frames - 1) : 0.5;
      api.setParam(instance, &position, 2);
      api.update2(instance, k / 25.0, a.data(), b.data(), nullptr, out.data());
      ++rendered;
    }
  } while (Clock::now() < until);
  api.destruct(instance);
  return rendered;
}

double PeakResidentMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;  // kB
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int Usage() {
  std::fprintf(stderr,
               "usage: lumorafx_bench PLUGIN LIBRARY [--effect NAME] [--size WxH]... [--threads N] [--frames N] "
               "[--min-seconds S] [--antialiasing SAMPLES]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  Options o;
  o.library = argv[2];
  for (int i = 3; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    const char* value = argv[i + 1];
    int w = 0, h = 0;
    if (flag == "--effect") o.effect = value;
    else if (flag == "--size" && std::sscanf(value, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) o.sizes.push_back({w, h});
    else if (flag == "--threads") o.threads = std::max(1, std::atoi(value));
    else if (flag == "--frames") o.frames = std::max(1, std::atoi(value));
    else if (flag == "--min-seconds") o.minSeconds = std::atof(value);
    else if (flag == "--antialiasing") o.antiAliasing = std::clamp(std::atoi(value), 1, 8);
    else return Usage();
  }
  if (o.sizes.empty()) o.sizes = {{1280, 720}, {1920, 1080}};

  void* handle = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(stderr, "lumorafx_bench: %s\n", dlerror());
    return 1;
  }
  Api api{reinterpret_cast<decltype(Api::pluginInfo)>(dlsym(handle, "f0r_get_plugin_info")),
          reinterpret_cast<decltype(Api::paramInfo)>(dlsym(handle, "f0r_get_param_info")),
          reinterpret_cast<decltype(Api::construct)>(dlsym(handle, "f0r_construct")),
          reinterpret_cast<decltype(Api::destruct)>(dlsym(handle, "f0r_destruct")),
          reinterpret_cast<decltype(Api::setParam)>(dlsym(handle, "f0r_set_param_value")),
          reinterpret_cast<decltype(Api::update2)>(dlsym(handle, "f0r_update2"))};
  auto init = reinterpret_cast<int (*)()>(dlsym(handle, "f0r_init"));
  if (!api.pluginInfo || !api.paramInfo || !api.construct || !api.destruct || !api.setParam || !api.update2 || !init || init() != 1) {
    std::fprintf(stderr, "lumorafx_bench: %s is not a usable frei0r plugin\n", argv[1]);
    return 1;
  }

  for (const auto& size : o.sizes) {
    const int width = size.first, height = size.second;
    Clock::time_point start = Clock::now();
    double cpuStart = CpuSeconds();
    Clock::time_point until = start + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(o.minSeconds));
    std::atomic<long> total{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < o.threads; ++t)
      threads.emplace_back([&] { total += RenderLoop(api, o, width, height, until); });
    for (std::thread& t : threads) t.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = CpuSeconds() - cpuStart;
    long frames = std::max(1L, total.load());
    const double framesMb = 3.0 * width * height * 4 * o.threads / (1 << 20);
    std::printf("frei0r effect=%s size=%dx%d threads=%d frames=%ld seconds=%.2f fps=%.1f ms_per_frame=%.2f "
                "cpu_ms_per_frame=%.2f peak_rss_mb=%.1f frames_mb=%.1f\n",
                o.effect.c_str(), width, height, o.threads, total.load(), seconds, total / seconds,
                1000 * seconds / frames, 1000 * cpu / frames, PeakResidentMb(), framesMb);
    if (total == 0) return 1;
  }
  return 0;
}
