// Preloaded into the real binary by the end-to-end tests and the start-up
// benchmark: counts presented frames and notes when the first one went out,
// without the program knowing. GLFW and GLX swaps are both caught, since the
// program presents through one or the other.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static long presentedFrames;

// The record is rewritten after every frame, so it is current however the
// process ends: "<frames> <first-frame unix time> <last-frame unix time>".
static void Record(void) {
  static double first;
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  double seconds = now.tv_sec + now.tv_nsec / 1e9;
  if (++presentedFrames == 1) first = seconds;
  const char* path = getenv("GLOAMERY_SWAP_RECORD");
  if (path == NULL) return;
  char line[128];
  int length = snprintf(line, sizeof line, "%ld %.6f %.6f\n", presentedFrames, first, seconds);
  char temporary[4096];
  snprintf(temporary, sizeof temporary, "%s.tmp", path);
  int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  if (write(fd, line, (size_t)length) == length) rename(temporary, path);
  close(fd);
}

void glfwSwapBuffers(void* window) {
  static void (*real)(void*);
  if (real == NULL) real = (void (*)(void*))dlsym(RTLD_NEXT, "glfwSwapBuffers");
  real(window);
  Record();
}

void glXSwapBuffers(void* display, unsigned long drawable) {
  static void (*real)(void*, unsigned long);
  if (real == NULL) real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
  real(display, drawable);
  Record();
}
