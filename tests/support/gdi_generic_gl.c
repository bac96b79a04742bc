// Preloaded into the real binary: every context reports itself as Windows'
// own software OpenGL 1.1 ("GDI Generic"), so a loader that trusts the
// version resolves no shader entry point. Both ways the program resolves
// entry points (GLFW's and GLX's) are caught.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <string.h>

typedef void (*Proc)(void);

static const unsigned char* GdiGenericString(unsigned name) {
  switch (name) {
    case 0x1F00: return (const unsigned char*)"Microsoft Corporation"; /* GL_VENDOR */
    case 0x1F01: return (const unsigned char*)"GDI Generic";           /* GL_RENDERER */
    case 0x1F02: return (const unsigned char*)"1.1.0";                 /* GL_VERSION */
    case 0x1F03: return (const unsigned char*)"GL_WIN_swap_hint GL_EXT_bgra";
    default: return (const unsigned char*)"";
  }
}

static Proc Resolve(const char* real, const char* name) {
  if (strcmp(name, "glGetString") == 0) return (Proc)GdiGenericString;
  Proc (*next)(const char*) = (Proc(*)(const char*))dlsym(RTLD_NEXT, real);
  return next != NULL ? next(name) : NULL;
}

Proc glfwGetProcAddress(const char* name) { return Resolve("glfwGetProcAddress", name); }
Proc glXGetProcAddressARB(const char* name) { return Resolve("glXGetProcAddressARB", name); }
Proc glXGetProcAddress(const char* name) { return Resolve("glXGetProcAddress", name); }
