// Preloaded into a GLFW program by the start-up benchmark: notes when the
// windowing library starts, when the window exists, how long the GL spends
// compiling and linking shaders and uploading textures, and when the first
// frame is drawn and presented, without the program knowing. GL functions are
// caught where the program's loader asks GLFW for them.
//
// At the first presented frame it writes GLOAMERY_STARTUP_RECORD, one line
// per step: "<name> <calls> <first start> <last end> <seconds inside>", the
// times in Unix seconds, plus "loaded <time>" for when the libraries were in.
// A program that goes on drawing has it written again at its second frame,
// whose time, set against the first's, shows what only the first frame pays.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

typedef struct {
  long calls;
  double firstStart, lastEnd, inside;
} Step;

enum { kInit, kWindow, kCompile, kLink, kTexture, kMipmap, kDraw, kDrawArrays, kSwap, kStepCount };
static const char* const kStepNames[kStepCount] = {"glfwInit",       "glfwCreateWindow", "glCompileShader",
                                                   "glLinkProgram",  "glTexImage2D",     "glGenerateMipmap",
                                                   "glDrawElements", "glDrawArrays",     "glfwSwapBuffers"};
static Step steps[kStepCount];
static double loaded;

static double Now(void) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

__attribute__((constructor)) static void NoteLoaded(void) { loaded = Now(); }

static double Enter(void) { return Now(); }

static void Leave(int step, double start) {
  double end = Now();
  Step* s = &steps[step];
  if (s->calls++ == 0) s->firstStart = start;
  s->lastEnd = end;
  s->inside += end - start;
}

static void WriteRecord(void) {
  const char* path = getenv("GLOAMERY_STARTUP_RECORD");
  if (path == NULL || steps[kSwap].calls > 2) return;
  char temporary[4096];
  snprintf(temporary, sizeof temporary, "%s.tmp", path);
  FILE* file = fopen(temporary, "w");
  if (file == NULL) return;
  fprintf(file, "loaded 1 %.6f %.6f 0\n", loaded, loaded);
  for (int i = 0; i < kStepCount; ++i)
    fprintf(file, "%s %ld %.6f %.6f %.6f\n", kStepNames[i], steps[i].calls, steps[i].firstStart, steps[i].lastEnd,
            steps[i].inside);
  fclose(file);
  rename(temporary, path);
}

static void* Real(const char* name) { return dlsym(RTLD_NEXT, name); }

int glfwInit(void) {
  static int (*real)(void);
  if (real == NULL) real = (int (*)(void))Real("glfwInit");
  double start = Enter();
  int result = real();
  Leave(kInit, start);
  return result;
}

void* glfwCreateWindow(int width, int height, const char* title, void* monitor, void* share) {
  static void* (*real)(int, int, const char*, void*, void*);
  if (real == NULL) real = (void* (*)(int, int, const char*, void*, void*))Real("glfwCreateWindow");
  double start = Enter();
  void* window = real(width, height, title, monitor, share);
  Leave(kWindow, start);
  return window;
}

void glfwSwapBuffers(void* window) {
  static void (*real)(void*);
  if (real == NULL) real = (void (*)(void*))Real("glfwSwapBuffers");
  double start = Enter();
  real(window);
  Leave(kSwap, start);
  WriteRecord();
}

static void (*realCompileShader)(unsigned);
static void (*realLinkProgram)(unsigned);
static void (*realTexImage2D)(unsigned, int, int, int, int, int, unsigned, unsigned, const void*);
static void (*realGenerateMipmap)(unsigned);
static void (*realDrawElements)(unsigned, int, unsigned, const void*);

static void CompileShader(unsigned shader) {
  double start = Enter();
  realCompileShader(shader);
  Leave(kCompile, start);
}

static void LinkProgram(unsigned program) {
  double start = Enter();
  realLinkProgram(program);
  Leave(kLink, start);
}

static void TexImage2D(unsigned target, int level, int internalFormat, int width, int height, int border,
                       unsigned format, unsigned type, const void* pixels) {
  double start = Enter();
  realTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
  Leave(kTexture, start);
}

static void GenerateMipmap(unsigned target) {
  double start = Enter();
  realGenerateMipmap(target);
  Leave(kMipmap, start);
}

static void DrawElements(unsigned mode, int count, unsigned type, const void* indices) {
  double start = Enter();
  realDrawElements(mode, count, type, indices);
  Leave(kDraw, start);
}

static void (*realDrawArrays)(unsigned, int, int);

static void DrawArrays(unsigned mode, int first, int count) {
  double start = Enter();
  realDrawArrays(mode, first, count);
  Leave(kDrawArrays, start);
}

typedef void (*Function)(void);

// Hands out the timing wrapper in place of the real entry point it keeps.
Function glfwGetProcAddress(const char* name) {
  static Function (*real)(const char*);
  if (real == NULL) real = (Function(*)(const char*))Real("glfwGetProcAddress");
  Function function = real(name);
  if (function == NULL) return NULL;
#define WRAP(glName, wrapper, store)     \
  if (strcmp(name, glName) == 0) {       \
    store = (__typeof__(store))function; \
    return (Function)wrapper;            \
  }
  WRAP("glCompileShader", CompileShader, realCompileShader)
  WRAP("glLinkProgram", LinkProgram, realLinkProgram)
  WRAP("glTexImage2D", TexImage2D, realTexImage2D)
  WRAP("glGenerateMipmap", GenerateMipmap, realGenerateMipmap)
  WRAP("glDrawElements", DrawElements, realDrawElements)
  WRAP("glDrawArrays", DrawArrays, realDrawArrays)
#undef WRAP
  return function;
}
