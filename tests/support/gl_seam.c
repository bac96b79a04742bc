// Preloaded by the end-to-end tests and the soak benchmark: stands between
// the program and its GL loader, where the program asks for entry points by
// name (glfwGetProcAddress for its own windows, glXGetProcAddressARB for a
// host's), without the program knowing.
//   GLOAMERY_RESET_AT=N[,M...]   the reset status query reports a GPU reset
//                                (GL_GUILTY_CONTEXT_RESET) at its Nth, Mth ...
//                                call: the program asks once a frame. Mesa
//                                cannot lose a context on purpose.
//   GLOAMERY_RESET_RECORD=FILE   each reported reset appends "<call> <time>"
//   GLOAMERY_GL_OBJECTS_RECORD=FILE  the buffers, textures, framebuffers,
//                                queries, shaders and programs alive, all
//                                ever made, and the timer queries begun,
//                                written at each reset status query as
//                                "<alive> <made> <timed>"
//   GLOAMERY_HIDE_TIMER_QUERIES=1  answers no entry point for a timer
//                                query's result, as a GL without them would
//   GLOAMERY_SWAP_DELAY_MS=N     every buffer swap of a GLFW window takes N ms
//                                longer, as on a renderer far too slow for
//                                the windows it is asked to fill
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

typedef unsigned int GLenum;
typedef unsigned int GLuint;
typedef int GLsizei;
typedef void (*Proc)(void);

#define GL_NO_ERROR 0
#define GL_GUILTY_CONTEXT_RESET 0x8253
#define GL_TIME_ELAPSED 0x88BF

static long statusCalls;
static long liveObjects;
static long madeObjects;
static long timedFrames;

static int IsResetCall(long call) {
  const char* list = getenv("GLOAMERY_RESET_AT");
  while (list != NULL && *list != '\0') {
    char* end = NULL;
    long at = strtol(list, &end, 10);
    if (end == list) break;
    if (at == call) return 1;
    list = *end == ',' ? end + 1 : end;
  }
  return 0;
}

static double Now(void) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

static FILE* OpenRecord(const char* variable, const char* mode) {
  const char* path = getenv(variable);
  return path != NULL ? fopen(path, mode) : NULL;
}

static GLenum FakeResetStatus(void) {
  ++statusCalls;
  const char* objectsPath = getenv("GLOAMERY_GL_OBJECTS_RECORD");
  if (objectsPath != NULL) {
    // Replaced whole, so that a reader never sees an empty file.
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.tmp", objectsPath);
    FILE* objects = fopen(temporary, "w");
    if (objects != NULL) {
      fprintf(objects, "%ld %ld %ld\n", liveObjects, madeObjects, timedFrames);
      if (fclose(objects) == 0) rename(temporary, objectsPath);
    }
  }
  if (!IsResetCall(statusCalls)) return GL_NO_ERROR;
  FILE* resets = OpenRecord("GLOAMERY_RESET_RECORD", "a");
  if (resets != NULL) {
    fprintf(resets, "%ld %.6f\n", statusCalls, Now());
    fclose(resets);
  }
  return GL_GUILTY_CONTEXT_RESET;
}

// The real entry points behind the counting ones, found by the real loader.
static void (*realGenBuffers)(GLsizei, GLuint*);
static void (*realGenTextures)(GLsizei, GLuint*);
static void (*realGenFramebuffers)(GLsizei, GLuint*);
static void (*realGenQueries)(GLsizei, GLuint*);
static void (*realDeleteBuffers)(GLsizei, const GLuint*);
static void (*realDeleteTextures)(GLsizei, const GLuint*);
static void (*realDeleteFramebuffers)(GLsizei, const GLuint*);
static void (*realDeleteQueries)(GLsizei, const GLuint*);
static GLuint (*realCreateShader)(GLenum);
static GLuint (*realCreateProgram)(void);
static void (*realDeleteShader)(GLuint);
static void (*realDeleteProgram)(GLuint);
static void (*realBeginQuery)(GLenum, GLuint);

static void Made(GLsizei n, const GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) liveObjects += names[i] != 0;
  for (GLsizei i = 0; i < n; ++i) madeObjects += names[i] != 0;
}
static void Gone(GLsizei n, const GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) liveObjects -= names[i] != 0;
}

static void GenBuffers(GLsizei n, GLuint* names) {
  realGenBuffers(n, names);
  Made(n, names);
}
static void GenTextures(GLsizei n, GLuint* names) {
  realGenTextures(n, names);
  Made(n, names);
}
static void GenFramebuffers(GLsizei n, GLuint* names) {
  realGenFramebuffers(n, names);
  Made(n, names);
}
static void GenQueries(GLsizei n, GLuint* names) {
  realGenQueries(n, names);
  Made(n, names);
}
static void DeleteBuffers(GLsizei n, const GLuint* names) {
  Gone(n, names);
  realDeleteBuffers(n, names);
}
static void DeleteTextures(GLsizei n, const GLuint* names) {
  Gone(n, names);
  realDeleteTextures(n, names);
}
static void DeleteFramebuffers(GLsizei n, const GLuint* names) {
  Gone(n, names);
  realDeleteFramebuffers(n, names);
}
static void DeleteQueries(GLsizei n, const GLuint* names) {
  Gone(n, names);
  realDeleteQueries(n, names);
}
static GLuint CreateShader(GLenum type) {
  GLuint name = realCreateShader(type);
  Made(1, &name);
  return name;
}
static GLuint CreateProgram(void) {
  GLuint name = realCreateProgram();
  Made(1, &name);
  return name;
}
static void DeleteShader(GLuint name) {
  liveObjects -= name != 0;
  realDeleteShader(name);
}
static void DeleteProgram(GLuint name) {
  liveObjects -= name != 0;
  realDeleteProgram(name);
}
static void BeginQuery(GLenum target, GLuint name) {
  timedFrames += target == GL_TIME_ELAPSED;
  realBeginQuery(target, name);
}

struct Wrapped {
  const char* name;
  Proc wrapper;
  Proc* real;
};

#define WRAP(gl, ours, real) \
  { gl, (Proc)ours, (Proc*)&real }
static const struct Wrapped kWrapped[] = {
    WRAP("glGenBuffers", GenBuffers, realGenBuffers),
    WRAP("glGenTextures", GenTextures, realGenTextures),
    WRAP("glGenFramebuffers", GenFramebuffers, realGenFramebuffers),
    WRAP("glGenQueries", GenQueries, realGenQueries),
    WRAP("glDeleteBuffers", DeleteBuffers, realDeleteBuffers),
    WRAP("glDeleteTextures", DeleteTextures, realDeleteTextures),
    WRAP("glDeleteFramebuffers", DeleteFramebuffers, realDeleteFramebuffers),
    WRAP("glDeleteQueries", DeleteQueries, realDeleteQueries),
    WRAP("glCreateShader", CreateShader, realCreateShader),
    WRAP("glCreateProgram", CreateProgram, realCreateProgram),
    WRAP("glDeleteShader", DeleteShader, realDeleteShader),
    WRAP("glDeleteProgram", DeleteProgram, realDeleteProgram),
    WRAP("glBeginQuery", BeginQuery, realBeginQuery),
};

static Proc Resolve(const char* symbol, const char* name) {
  Proc (*loader)(const char*) = (Proc(*)(const char*))dlsym(RTLD_NEXT, symbol);
  if (loader == NULL) return NULL;
  if (strncmp(name, "glGetGraphicsResetStatus", 24) == 0) return (Proc)FakeResetStatus;
  if (strncmp(name, "glGetQueryObjectui64v", 21) == 0 && getenv("GLOAMERY_HIDE_TIMER_QUERIES") != NULL) return NULL;
  Proc real = loader(name);
  for (size_t i = 0; real != NULL && i < sizeof kWrapped / sizeof *kWrapped; ++i) {
    if (strcmp(name, kWrapped[i].name) != 0) continue;
    *kWrapped[i].real = real;
    return kWrapped[i].wrapper;
  }
  return real;
}

Proc glfwGetProcAddress(const char* name) { return Resolve("glfwGetProcAddress", name); }
Proc glXGetProcAddressARB(const unsigned char* name) { return Resolve("glXGetProcAddressARB", (const char*)name); }

void glfwSwapBuffers(void* window) {
  static void (*real)(void*);
  if (real == NULL) real = (void (*)(void*))dlsym(RTLD_NEXT, "glfwSwapBuffers");
  const char* delay = getenv("GLOAMERY_SWAP_DELAY_MS");
  if (delay != NULL) {
    const long ms = atol(delay);
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, NULL);
  }
  real(window);
}
