// lmx_gl_bench: the benchmark scenes through OpenGL ES 3 on Mesa's llvmpipe (EGL
// surfaceless, one rasteriser thread): what an OpenGL engine gives a user without a GPU.
//   lmx_gl_bench [--scene NAME] [--frames N] [--min-seconds S] [--default-threads 1]
// (--default-threads 1: as many rasteriser threads as llvmpipe takes by itself)
// The scene's pieces are placed, lit and clipped by the same code as the engine's; GL
// then rasterises them with the same sample count (multisampled framebuffer), blends the
// translucent ones, darkens shadows once per sample (stencil), resolves every blur pass
// and accumulates the passes, and reads the frame back into memory as a preview needs.
// cold_ms: from nothing to the first frame in memory (display, context, shaders, textures,
// frame); steady_ms: mean per frame over whole previews afterwards, and cpu_ms the
// processor time it took (every thread's).
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES3/gl3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "process_stats.h"
#include "render_frame.h"
#include "scenes.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const char* kSceneVs = R"(#version 300 es
layout(location = 0) in vec4 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec3 light;  // diffuse, specular, alpha
out vec2 vUv;
out vec3 vLight;
void main() { gl_Position = position; vUv = uv; vLight = light; })";

const char* kSceneFs = R"(#version 300 es
precision mediump float;
uniform sampler2D picture;
in vec2 vUv;
in vec3 vLight;
out vec4 colour;
void main() {
  vec3 texel = texture(picture, clamp(vUv, 0.0, 1.0)).rgb;
  colour = vec4(min(texel * vLight.x + vLight.y, 1.0), vLight.z);
})";

const char* kQuadVs = R"(#version 300 es
layout(location = 0) in vec2 corner;
out vec2 vUv;
void main() { gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0); vUv = corner; })";

const char* kQuadFs = R"(#version 300 es
precision mediump float;
uniform sampler2D picture;
uniform float weight;
in vec2 vUv;
out vec4 colour;
void main() { colour = vec4(texture(picture, vUv).rgb * weight, 1.0); })";

const char* kShadowVs = R"(#version 300 es
layout(location = 0) in vec4 position;
layout(location = 2) in vec3 light;
out float vKeep;
void main() { gl_Position = position; vKeep = light.x; })";

const char* kShadowFs = R"(#version 300 es
precision mediump float;
in float vKeep;
out vec4 colour;
void main() { colour = vec4(vKeep, vKeep, vKeep, 1.0); })";

GLuint Compile(GLenum type, const char* source) {
  GLuint s = glCreateShader(type);
  glShaderSource(s, 1, &source, nullptr);
  glCompileShader(s);
  GLint ok = 0;
  glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024];
    glGetShaderInfoLog(s, sizeof log, nullptr, log);
    std::fprintf(stderr, "shader: %s\n", log);
    std::exit(3);
  }
  return s;
}

GLuint Program(const char* vs, const char* fs) {
  GLuint p = glCreateProgram();
  glAttachShader(p, Compile(GL_VERTEX_SHADER, vs));
  glAttachShader(p, Compile(GL_FRAGMENT_SHADER, fs));
  glLinkProgram(p);
  GLint ok = 0;
  glGetProgramiv(p, GL_LINK_STATUS, &ok);
  if (!ok) {
    std::fprintf(stderr, "program link failed\n");
    std::exit(3);
  }
  return p;
}

struct Vertex {
  float x, y, z, w;
  float u, v;
  float diffuse, specular, alpha;
};

class GlRenderer {
 public:
  bool Open() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    display_ = getPlatformDisplay ? getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                                  : eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) {
      std::fprintf(stderr, "gl: no display (0x%x)\n", eglGetError());
      return false;
    }
    eglBindAPI(EGL_OPENGL_ES_API);
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES3_BIT, EGL_NONE};
    EGLConfig config;
    EGLint n = 0;
    if (!eglChooseConfig(display_, configAttribs, &config, 1, &n) || n < 1) {
      std::fprintf(stderr, "gl: no configuration (0x%x)\n", eglGetError());
      return false;
    }
    const EGLint contextAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttribs);
    if (context_ == EGL_NO_CONTEXT || !eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
      std::fprintf(stderr, "gl: no context (0x%x)\n", eglGetError());
      return false;
    }
    scene_ = Program(kSceneVs, kSceneFs);
    quad_ = Program(kQuadVs, kQuadFs);
    shadow_ = Program(kShadowVs, kShadowFs);
    glGenBuffers(1, &vertices_);
    glGenBuffers(1, &corners_);
    const float corners[] = {0, 0, 1, 0, 0, 1, 1, 1};
    glBindBuffer(GL_ARRAY_BUFFER, corners_);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples_);
    const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    floatAccumulation_ = ext && std::strstr(ext, "GL_EXT_color_buffer_float");
    return true;
  }

  const char* Renderer() const { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }
  int MaxSamples() const { return maxSamples_; }
  // Samples per pixel as drawn: per framebuffer times shifted passes.
  int DrawnSamples() const { return samples_ * shifts_; }

  void Close() {
    if (display_ != EGL_NO_DISPLAY) {
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
      eglTerminate(display_);
    }
  }

  // Textures and framebuffers for the scene's size and sample count.
  void Prepare(const lmx::bench::Scene& scene, int samples, bool linear) {
    width_ = scene.width, height_ = scene.height;
    // More samples than the multisampled framebuffer holds are drawn as several passes
    // with the samples shifted by part of a pixel.
    int most = std::max(maxSamples_, 1);
    samples = std::max(samples, 1);
    shifts_ = (samples + most - 1) / most;
    samples_ = (samples + shifts_ - 1) / shifts_;
    textures_.resize(scene.textures.size());
    glGenTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
    std::vector<uint8_t> rgba;
    for (size_t i = 0; i < scene.textures.size(); ++i) {
      rgba = scene.textures[i];
      for (size_t p = 0; p < rgba.size(); p += 4) std::swap(rgba[p], rgba[p + 2]);  // BGRA to RGBA
      glBindTexture(GL_TEXTURE_2D, textures_[i]);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, scene.width, scene.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
      Filter(linear);
    }
    glGenFramebuffers(1, &msFbo_);
    glGenRenderbuffers(1, &msColour_);
    glGenRenderbuffers(1, &msDepth_);
    glBindRenderbuffer(GL_RENDERBUFFER, msColour_);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_ > 1 ? samples_ : 0, GL_RGBA8, width_, height_);
    glBindRenderbuffer(GL_RENDERBUFFER, msDepth_);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_ > 1 ? samples_ : 0, GL_DEPTH24_STENCIL8, width_, height_);
    glBindFramebuffer(GL_FRAMEBUFFER, msFbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, msColour_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, msDepth_);
    resolveFbo_ = TextureTarget(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, resolved_);
    accumFbo_ = floatAccumulation_ ? TextureTarget(GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, accum_)
                                   : TextureTarget(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, accum_);
    outFbo_ = TextureTarget(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, out_);
  }

  void Render(const lmx::engine::FrameSetup& setup, lmx::engine::DrawLists& lists, uint8_t* target) {
    using namespace lmx::engine;
    glBindFramebuffer(GL_FRAMEBUFFER, accumFbo_);
    glViewport(0, 0, width_, height_);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    float weight = 1.0f / static_cast<float>(setup.passes.size() * shifts_);
    for (size_t p = 0; p < setup.passes.size() * shifts_; ++p) {
      const Pass& pass = setup.passes[p / shifts_];
      int shift = static_cast<int>(p % shifts_);
      shiftX_ = shifts_ > 1 ? (shift + 0.5f) / shifts_ - 0.5f : 0.0f;
      shiftY_ = shifts_ > 1 ? 0.5f - (shift + 0.5f) / shifts_ : 0.0f;
      if (shift == 0) BuildPass(setup.context, pass.tau, lists);
      glBindFramebuffer(GL_FRAMEBUFFER, msFbo_);
      glViewport(0, 0, width_, height_);
      glClearStencil(0);
      glClearDepthf(1);
      glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
      glDisable(GL_DEPTH_TEST);
      glDisable(GL_BLEND);
      glDisable(GL_STENCIL_TEST);
      Quad(textures_[setup.backgroundTexture], 1.0f);
      Shadows(lists);
      Triangles(setup, lists.opaque, false);
      Triangles(setup, lists.translucent, true);
      // Resolve the samples, then add the pass into the accumulation.
      glBindFramebuffer(GL_READ_FRAMEBUFFER, msFbo_);
      glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFbo_);
      glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
      glBindFramebuffer(GL_FRAMEBUFFER, accumFbo_);
      glDisable(GL_DEPTH_TEST);
      glDisable(GL_STENCIL_TEST);
      glEnable(GL_BLEND);
      glBlendFunc(GL_ONE, GL_ONE);
      Quad(resolved_, weight);
    }
    glDisable(GL_BLEND);
    glBindFramebuffer(GL_FRAMEBUFFER, outFbo_);
    Quad(accum_, 1.0f);
    pixels_.resize(static_cast<size_t>(width_) * height_ * 4);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    for (size_t p = 0; p < pixels_.size(); p += 4) {
      target[p] = pixels_[p + 2], target[p + 1] = pixels_[p + 1], target[p + 2] = pixels_[p], target[p + 3] = 255;
    }
  }

 private:
  static void Filter(bool linear) {
    GLint f = linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }

  GLuint TextureTarget(GLenum internal, GLenum format, GLenum type, GLuint& texture) {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, internal, width_, height_, 0, format, type, nullptr);
    Filter(false);
    GLuint fbo;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return fbo;
  }

  void Quad(GLuint texture, float weight) {
    glUseProgram(quad_);
    glUniform1f(glGetUniformLocation(quad_, "weight"), weight);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindBuffer(GL_ARRAY_BUFFER, corners_);
    glEnableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(2);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  }

  // Screen vertices of the shared scene code back to clip coordinates.
  Vertex ToClip(const lmx::engine::ScreenVertex& s, float alpha) const {
    const float near = 0.05f, far = 100.0f;
    float w = s.invW > 1e-9f ? 1.0f / s.invW : 1e9f;
    float nx = (s.x + shiftX_ * 0.5f) / width_ * 2 - 1, ny = (s.y + shiftY_ * 0.5f) / height_ * 2 - 1;
    float z = (far + near) / (far - near) * w - 2 * far * near / (far - near);
    return {nx * w, ny * w, z, w, s.u, s.v, s.diffuse, s.specular, alpha};
  }

  void Upload() {
    glBindBuffer(GL_ARRAY_BUFFER, vertices_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(batch_.size() * sizeof(Vertex)), batch_.data(),
                 GL_STREAM_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(16));
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(24));
  }

  // Each sample darkened at most once: the stencil counts the shadows that reached it.
  void Shadows(const lmx::engine::DrawLists& lists) {
    if (lists.shadows.empty()) return;
    batch_.clear();
    for (const auto& s : lists.shadows)
      for (int i = 0; i < lmx::engine::TriangleCornerCount(s.corners); ++i) {
        Vertex c = ToClip(s.v[lmx::engine::kTriangleCorners[i]], 1);
        c.z = -c.w;  // on the background, in front of nothing
        c.diffuse = s.keep / 256.0f;
        batch_.push_back(c);
      }
    Upload();
    glUseProgram(shadow_);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(batch_.size()));
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_BLEND);
  }

  void Triangles(const lmx::engine::FrameSetup& setup, const std::vector<lmx::engine::DrawTriangle>& list,
                 bool translucent) {
    if (list.empty()) return;
    glUseProgram(scene_);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(translucent ? GL_FALSE : GL_TRUE);
    if (translucent) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
      glDisable(GL_BLEND);
    }
    // One draw per run of triangles showing the same clip.
    size_t start = 0;
    while (start < list.size()) {
      const lmx::engine::Sampler* sampler = list[start].material.sampler;
      size_t end = start;
      batch_.clear();
      while (end < list.size() && list[end].material.sampler == sampler) {
        const lmx::engine::DrawTriangle& t = list[end];
        for (int i = 0; i < lmx::engine::TriangleCornerCount(t.corners); ++i) {
          batch_.push_back(ToClip(t.v[lmx::engine::kTriangleCorners[i]], t.material.alpha));
        }
        ++end;
      }
      Upload();
      glActiveTexture(GL_TEXTURE0);
      glBindTexture(GL_TEXTURE_2D, textures_[sampler == &setup.clips[1] ? 1 : 0]);
      glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(batch_.size()));
      start = end;
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
  }

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint scene_ = 0, quad_ = 0, shadow_ = 0, vertices_ = 0, corners_ = 0;
  GLint maxSamples_ = 1;
  bool floatAccumulation_ = false;
  int width_ = 0, height_ = 0, samples_ = 1, shifts_ = 1;
  float shiftX_ = 0, shiftY_ = 0;
  std::vector<GLuint> textures_;
  GLuint msFbo_ = 0, msColour_ = 0, msDepth_ = 0;
  GLuint resolveFbo_ = 0, resolved_ = 0, accumFbo_ = 0, accum_ = 0, outFbo_ = 0, out_ = 0;
  std::vector<Vertex> batch_;
  std::vector<uint8_t> pixels_;
};

}  // namespace

int main(int argc, char** argv) {
  std::string only;
  int frameLimit = 0;
  double minSeconds = 1.0;
  bool defaultThreads = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--scene")) only = argv[i + 1];
    else if (!std::strcmp(argv[i], "--frames")) frameLimit = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--min-seconds")) minSeconds = std::atof(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--default-threads")) defaultThreads = std::atoi(argv[i + 1]) != 0;
  }
  // One rasteriser thread (or llvmpipe's own choice), no window system, the software
  // rasteriser.
  if (!defaultThreads) setenv("LP_NUM_THREADS", "1", 1);
  setenv("EGL_PLATFORM", "surfaceless", 1);
  setenv("GALLIUM_DRIVER", "llvmpipe", 1);
  using namespace lmx;
  std::vector<bench::Scene> scenes = bench::Scenes(only.empty() ? "typical" : only);
  if (scenes.empty()) return 2;
  const bench::Scene* scene = &scenes.front();

  std::vector<uint8_t> target, reference;
  RenderJob job = bench::MakeJob(*scene, target);
  int frames = frameLimit > 0 ? std::min(frameLimit, scene->frames) : scene->frames;
  engine::FrameParams params = engine::ReadFrameParams(scene->settings);
  engine::DrawLists lists;

  // Cold: from nothing to the first frame in memory.
  Clock::time_point start = Clock::now();
  GlRenderer gl;
  if (!gl.Open()) {
    std::fprintf(stderr, "gl: no EGL surfaceless OpenGL ES 3 context\n");
    return 3;
  }
  int samples = std::max(1, params.antiAliasing);
  gl.Prepare(*scene, samples, params.bestImage);
  engine::VisibleSpanCache spans;  // as the engine keeps it between frames
  bench::SetFrame(*scene, job, 0);
  {
    engine::FrameSetup setup;
    engine::PrepareFrame(params, scene->shape, job, setup, &spans);
    gl.Render(setup, lists, target.data());
  }
  double coldMs = Ms(Clock::now() - start);

  // Warm: whole previews.
  int rendered = 0;
  start = Clock::now();
  const double cpuStart = bench::ProcessCpuMs();
  do {
    for (int k = 0; k < frames; ++k) {
      bench::SetFrame(*scene, job, k);
      params = engine::ReadFrameParams(scene->settings);
      engine::FrameSetup setup;
      engine::PrepareFrame(params, scene->shape, job, setup, &spans);
      gl.Render(setup, lists, target.data());
      ++rendered;
    }
  } while (Ms(Clock::now() - start) < minSeconds * 1000);
  double steadyMs = Ms(Clock::now() - start) / rendered;
  double cpuMs = (bench::ProcessCpuMs() - cpuStart) / rendered;

  // The two renderers draw the same picture: mean difference halfway through.
  std::vector<uint8_t> ours;
  RenderJob check = bench::MakeJob(*scene, ours);
  bench::SetFrame(*scene, check, frames / 2);
  bench::SetFrame(*scene, job, frames / 2);
  {
    engine::FrameSetup setup;
    engine::PrepareFrame(params, scene->shape, job, setup, &spans);
    gl.Render(setup, lists, target.data());
  }
  engine::RenderShape(params, scene->shape, check);
  double diff = 0;
  for (size_t i = 0; i < ours.size(); ++i)
    if (i % 4 != 3) diff += std::abs(static_cast<int>(ours[i]) - static_cast<int>(target[i]));
  diff /= static_cast<double>(ours.size()) * 3 / 4;
  std::printf("gl scene=%s size=%dx%d frames=%d renderer=\"%s\" samples=%d max_msaa=%d cold_ms=%.3f steady_ms=%.4f cpu_ms=%.4f fps=%.1f "
              "mean_diff=%.2f\n",
              scene->name.c_str(), scene->width, scene->height, frames, gl.Renderer(), gl.DrawnSamples(), gl.MaxSamples(),
              coldMs, steadyMs, cpuMs, 1000 / steadyMs, diff);
  gl.Close();
  return 0;
}
