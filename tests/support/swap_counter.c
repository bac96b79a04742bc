// Preloaded into the real binary by the end-to-end tests and the start-up
// benchmark: counts presented frames and notes when the first one went out,
// without the program knowing. GLFW and GLX swaps are both caught, since the
// program presents through one or the other. With GLOAMERY_VIEWPORT_RECORD
// set it also notes the viewport each presented frame was drawn with, as
// "<width> <height>"; with GLOAMERY_DRAW_SIZE_RECORD, the first viewport the
// frame set, which is the size the scene was shaded at where a smaller
// picture was stretched to the window after it; with GLOAMERY_SAMPLES_RECORD,
// the samples per pixel of the framebuffer each frame was presented from.
// Swaps of windows set not to wait for the refresh (a swap interval of 0: the
// other monitors' windows, which leave the waiting to the scene's own) are
// counted apart, in GLOAMERY_OTHER_SWAPS_RECORD, so that the presented frames
// and the records above are the scene's own window's.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

struct SwapCount {
  long frames;
  double first;
};
static struct SwapCount presented, others;

// Replaces `path` whole, so a reader never sees half a line.
static void WriteRecord(const char* path, const char* line, int length) {
  char temporary[4096];
  snprintf(temporary, sizeof temporary, "%s.tmp", path);
  int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  if (write(fd, line, (size_t)length) == length) rename(temporary, path);
  close(fd);
}

// Asked of the context that is current at the swap, through whatever GL
// library the program itself resolved; false where there is none.
static int GetIntegers(unsigned name, int* values) {
  static void (*getIntegers)(unsigned, int*);
  if (getIntegers == NULL) getIntegers = (void (*)(unsigned, int*))dlsym(RTLD_DEFAULT, "glGetIntegerv");
  if (getIntegers == NULL) return 0;
  getIntegers(name, values);
  return 1;
}

static void RecordViewport(void) {
  const char* path = getenv("GLOAMERY_VIEWPORT_RECORD");
  int viewport[4] = {0, 0, 0, 0};
  if (path == NULL || !GetIntegers(0x0BA2 /* GL_VIEWPORT */, viewport)) return;
  char line[64];
  int length = snprintf(line, sizeof line, "%d %d\n", viewport[2], viewport[3]);
  WriteRecord(path, line, length);
}

static void RecordSamples(void) {
  const char* path = getenv("GLOAMERY_SAMPLES_RECORD");
  int samples = -1;
  if (path == NULL || !GetIntegers(0x80A9 /* GL_SAMPLES */, &samples)) return;
  char line[32];
  int length = snprintf(line, sizeof line, "%d\n", samples);
  WriteRecord(path, line, length);
}

static int frameViewport[2];
static int frameViewportSet;
static void (*realViewport)(int, int, int, int);

static void CountingViewport(int x, int y, int width, int height) {
  if (!frameViewportSet) {
    frameViewport[0] = width;
    frameViewport[1] = height;
    frameViewportSet = 1;
  }
  realViewport(x, y, width, height);
}

// The program reaches glViewport through a loader, never by linking, so the
// loader's answer for that one name is replaced.
static void* ReplaceViewport(const char* name, void* resolved) {
  if (resolved == NULL || strcmp(name, "glViewport") != 0 || getenv("GLOAMERY_DRAW_SIZE_RECORD") == NULL)
    return resolved;
  realViewport = (void (*)(int, int, int, int))resolved;
  return (void*)CountingViewport;
}

void* glfwGetProcAddress(const char* name) {
  static void* (*real)(const char*);
  if (real == NULL) real = (void* (*)(const char*))dlsym(RTLD_NEXT, "glfwGetProcAddress");
  return ReplaceViewport(name, real(name));
}

void* glXGetProcAddressARB(const unsigned char* name) {
  static void* (*real)(const unsigned char*);
  if (real == NULL) real = (void* (*)(const unsigned char*))dlsym(RTLD_NEXT, "glXGetProcAddressARB");
  return ReplaceViewport((const char*)name, real(name));
}

void* glXGetProcAddress(const unsigned char* name) {
  static void* (*real)(const unsigned char*);
  if (real == NULL) real = (void* (*)(const unsigned char*))dlsym(RTLD_NEXT, "glXGetProcAddress");
  return ReplaceViewport((const char*)name, real(name));
}

static void RecordDrawSize(void) {
  const char* path = getenv("GLOAMERY_DRAW_SIZE_RECORD");
  if (path == NULL || !frameViewportSet) return;
  frameViewportSet = 0;
  char line[64];
  int length = snprintf(line, sizeof line, "%d %d\n", frameViewport[0], frameViewport[1]);
  WriteRecord(path, line, length);
}

// The record is rewritten after every frame, so it is current however the
// process ends: "<frames> <first-frame unix time> <last-frame unix time>".
static void Record(struct SwapCount* count, const char* variable) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  double seconds = now.tv_sec + now.tv_nsec / 1e9;
  if (++count->frames == 1) count->first = seconds;
  const char* path = getenv(variable);
  if (path == NULL) return;
  char line[128];
  int length = snprintf(line, sizeof line, "%ld %.6f %.6f\n", count->frames, count->first, seconds);
  WriteRecord(path, line, length);
}

// The GLFW windows whose context was last given a swap interval of 0.
#define MAX_UNPACED 64
static void* unpaced[MAX_UNPACED];

static void* CurrentGlfwContext(void) {
  static void* (*current)(void);
  if (current == NULL) current = (void* (*)(void))dlsym(RTLD_DEFAULT, "glfwGetCurrentContext");
  return current ? current() : NULL;
}

static int IsUnpaced(void* window) {
  for (int i = 0; i < MAX_UNPACED; ++i)
    if (window != NULL && unpaced[i] == window) return 1;
  return 0;
}

void glfwSwapInterval(int interval) {
  static void (*real)(int);
  if (real == NULL) real = (void (*)(int))dlsym(RTLD_NEXT, "glfwSwapInterval");
  real(interval);
  void* window = CurrentGlfwContext();
  for (int i = 0; i < MAX_UNPACED; ++i)
    if (unpaced[i] == window) unpaced[i] = NULL;
  if (interval != 0 || window == NULL) return;
  for (int i = 0; i < MAX_UNPACED; ++i)
    if (unpaced[i] == NULL) {
      unpaced[i] = window;
      return;
    }
}

void glfwSwapBuffers(void* window) {
  static void (*real)(void*);
  if (real == NULL) real = (void (*)(void*))dlsym(RTLD_NEXT, "glfwSwapBuffers");
  if (IsUnpaced(window)) {
    real(window);
    Record(&others, "GLOAMERY_OTHER_SWAPS_RECORD");
    return;
  }
  RecordViewport();
  RecordSamples();
  RecordDrawSize();
  real(window);
  Record(&presented, "GLOAMERY_SWAP_RECORD");
}

void glXSwapBuffers(void* display, unsigned long drawable) {
  static void (*real)(void*, unsigned long);
  if (real == NULL) real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
  RecordViewport();
  RecordSamples();
  RecordDrawSize();
  real(display, drawable);
  Record(&presented, "GLOAMERY_SWAP_RECORD");
}
