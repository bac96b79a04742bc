// The baseline for the start-up benchmark: the least a GLFW program can do to
// put one full-screen frame on the primary monitor. It then waits to be killed.
#ifdef _WIN32
#include <windows.h>
#define GLFW_INCLUDE_NONE
#else
#define GLFW_INCLUDE_GLCOREARB
#include <unistd.h>
#endif
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <string.h>

// With --same-hints it asks for the context and framebuffer the screensaver
// asks for (notably 4x multisampling, the largest single start-up cost on a
// software rasteriser); without, for the library's defaults.
static void ApplyScreensaverHints(void) {
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
  glfwWindowHint(GLFW_SAMPLES, 4);
  glfwWindowHint(GLFW_STEREO, GLFW_FALSE);
}

int main(int argc, char** argv) {
  if (!glfwInit()) return 1;
  if (argc > 1 && strcmp(argv[1], "--same-hints") == 0) ApplyScreensaverHints();
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = glfwGetVideoMode(monitor);
  GLFWwindow* window = glfwCreateWindow(mode->width, mode->height, "bare", monitor, NULL);
  if (window == NULL) return 1;
  glfwMakeContextCurrent(window);
  glClear(GL_COLOR_BUFFER_BIT);
  glfwSwapBuffers(window);
#ifdef _WIN32
  for (;;) Sleep(INFINITE);
#else
  for (;;) pause();
#endif
}
