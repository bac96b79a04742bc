#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <glad/gl.h>

#include <vector>

#include "tools/offscreen/offscreen_context.h"

// A real GL context, on the software or a hardware renderer, without X,
// Wayland or a window, drawing only into framebuffer objects. Mesa offers its
// surfaceless platform for that; other drivers (NVIDIA's) offer their GPUs as
// EGL devices, the first of which that gives an OpenGL context is taken.

namespace {

std::string ClientExtensions() {
  const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  return extensions ? extensions : "";
}

PFNEGLGETPLATFORMDISPLAYEXTPROC GetPlatformDisplayFunction() {
  return reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
}

EGLDisplay OpenSurfacelessDisplay() {
  auto getPlatformDisplay = GetPlatformDisplayFunction();
  if (!getPlatformDisplay) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

std::vector<EGLDeviceEXT> QueryDevices() {
  auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  if (!queryDevices) return {};
  EGLint count = 0;
  if (!queryDevices(0, nullptr, &count) || count <= 0) return {};
  std::vector<EGLDeviceEXT> devices(static_cast<size_t>(count));
  if (!queryDevices(count, devices.data(), &count)) return {};
  devices.resize(static_cast<size_t>(count));
  return devices;
}

// The scene shaders are GLSL 1.10 and draw without a vertex array object,
// which only a compatibility profile allows.
EGLContext CreateCompatibilityContext(EGLDisplay display) {
  if (!eglBindAPI(EGL_OPENGL_API)) return EGL_NO_CONTEXT;
  const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  return eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
}

struct DisplayAndContext {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext context = EGL_NO_CONTEXT;
};

// An initialised display and a compatibility context on it, or neither.
DisplayAndContext InitialiseWithContext(EGLDisplay display) {
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) return {};
  EGLContext context = CreateCompatibilityContext(display);
  if (context == EGL_NO_CONTEXT) {
    eglTerminate(display);
    return {};
  }
  return {display, context};
}

DisplayAndContext FirstDeviceWithContext() {
  auto getPlatformDisplay = GetPlatformDisplayFunction();
  if (!getPlatformDisplay) return {};
  for (EGLDeviceEXT device : QueryDevices()) {
    DisplayAndContext found = InitialiseWithContext(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr));
    if (found.context != EGL_NO_CONTEXT) return found;
  }
  return {};
}

}  // namespace

bool OffscreenContext::Create(std::string* error) {
  OffscreenPlatform platform = ChooseOffscreenPlatform(ClientExtensions());
  if (platform == OffscreenPlatform::None) {
    *error =
        "no windowless EGL platform: neither surfaceless (EGL_MESA_platform_surfaceless) nor devices "
        "(EGL_EXT_platform_device)";
    return false;
  }
  return CreateOn(platform, error);
}

bool OffscreenContext::CreateOn(OffscreenPlatform platform, std::string* error) {
  Release();
  DisplayAndContext found;
  if (platform == OffscreenPlatform::Surfaceless) {
    found = InitialiseWithContext(OpenSurfacelessDisplay());
    if (found.context == EGL_NO_CONTEXT) {
      *error = "no OpenGL compatibility context on the surfaceless EGL platform (EGL_PLATFORM_SURFACELESS_MESA)";
      return false;
    }
  } else if (platform == OffscreenPlatform::Device) {
    found = FirstDeviceWithContext();
    if (found.context == EGL_NO_CONTEXT) {
      *error = "no EGL device gives an OpenGL compatibility context (EGL_PLATFORM_DEVICE_EXT)";
      return false;
    }
  } else {
    *error = "no offscreen EGL platform was named";
    return false;
  }
  display_ = found.display;
  context_ = found.context;
  platform_ = platform;
  return MakeCurrent(found.display, error);
}

bool OffscreenContext::MakeCurrent(void* display, std::string* error) {
  if (!eglMakeCurrent(static_cast<EGLDisplay>(display), EGL_NO_SURFACE, EGL_NO_SURFACE,
                      static_cast<EGLContext>(context_))) {
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
  platform_ = OffscreenPlatform::None;
}

OffscreenContext::~OffscreenContext() { Release(); }
