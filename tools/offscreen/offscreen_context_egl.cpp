#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <glad/gl.h>

#include "tools/offscreen/offscreen_context.h"

// Mesa's surfaceless platform: a real GL context on the software or hardware
// renderer without X, Wayland or a GBM device, drawing only into framebuffer
// objects.

namespace {

EGLDisplay OpenSurfacelessDisplay() {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// The scene shaders are GLSL 1.10 and draw without a vertex array object,
// which only a compatibility profile allows.
EGLContext CreateCompatibilityContext(EGLDisplay display) {
  if (!eglBindAPI(EGL_OPENGL_API)) return EGL_NO_CONTEXT;
  const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  return eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
}

}  // namespace

bool OffscreenContext::Create(std::string* error) {
  Release();
  EGLDisplay display = OpenSurfacelessDisplay();
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
    *error = "no surfaceless EGL display (EGL_PLATFORM_SURFACELESS_MESA)";
    return false;
  }
  display_ = display;
  EGLContext context = CreateCompatibilityContext(display);
  if (context == EGL_NO_CONTEXT) {
    *error = "EGL could not create an OpenGL compatibility context";
    Release();
    return false;
  }
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    *error = "EGL could not make the context current without a surface";
    Release();
    return false;
  }
  if (!gladLoadGL(reinterpret_cast<GLADloadfunc>(eglGetProcAddress))) {
    *error = "the OpenGL entry points could not be loaded";
    Release();
    return false;
  }
  return true;
}

void OffscreenContext::Release() {
  if (display_ == nullptr) return;
  EGLDisplay display = static_cast<EGLDisplay>(display_);
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_ != nullptr) eglDestroyContext(display, static_cast<EGLContext>(context_));
  eglTerminate(display);
  context_ = nullptr;
  display_ = nullptr;
}

OffscreenContext::~OffscreenContext() { Release(); }
