#include "tests/support/egl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace {

GLADapiproc LookUp(const char* name) { return reinterpret_cast<GLADapiproc>(eglGetProcAddress(name)); }

EGLDisplay SurfacelessDisplay() {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

EglSurfacelessContext::EglSurfacelessContext() {
  EGLDisplay display = SurfacelessDisplay();
  if (display == EGL_NO_DISPLAY) {
    Fail("no surfaceless EGL display");
    return;
  }
  if (!eglInitialize(display, nullptr, nullptr)) {
    Fail("eglInitialize failed");
    return;
  }
  display_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    Fail("desktop OpenGL is not available through EGL");
    return;
  }
  // The surfaceless platform offers pbuffer configs only, never window ones.
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
    Fail("no EGL config for desktop OpenGL");
    return;
  }
  // The program's own windows get a compatibility context (drawing without a
  // vertex array object, GLSL 1.10), so tests ask for the same kind.
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                      EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (context == EGL_NO_CONTEXT) {
    Fail("eglCreateContext failed");
    return;
  }
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    Fail("eglMakeCurrent without a surface failed");
    return;
  }
  if (gladLoadGL(LookUp) == 0) {
    Fail("the GL entry points did not load");
    return;
  }
  ok_ = true;
}

EglSurfacelessContext::~EglSurfacelessContext() {
  if (display_ == nullptr) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_ != nullptr) eglDestroyContext(display_, context_);
  eglTerminate(display_);
}

void EglSurfacelessContext::Fail(const char* what) { error_ = what; }

OffscreenTarget::OffscreenTarget(int width, int height) : width_(width), height_(height) {
  glGenRenderbuffers(1, &renderbuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer_);
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
}

OffscreenTarget::~OffscreenTarget() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer_);
  glDeleteRenderbuffers(1, &renderbuffer_);
}

bool OffscreenTarget::complete() const { return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }

std::vector<uint8_t> OffscreenTarget::ReadPixels() const {
  std::vector<uint8_t> pixels(static_cast<size_t>(width_) * height_ * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}
