// The start-up benchmark's second yardstick: the least a GLFW program can do
// to put one full-screen frame of the scene shader on the primary monitor,
// with the screensaver's window hints: the window, the two shader files
// compiled, one texture, one quad drawn and presented. It then waits to be
// killed.
//   bare_scene VERTEX FRAGMENT
#include <glad/gl.h>
//
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/quad_host.h"

int main(int argc, char** argv) {
  std::string vertex, fragment, error;
  if (argc != 3 || !ReadShaderText(argv[1], &vertex) || !ReadShaderText(argv[2], &fragment)) {
    std::fprintf(stderr, "usage: %s VERTEX FRAGMENT\n", argv[0]);
    return 2;
  }
  if (!glfwInit()) return 1;
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
  glfwWindowHint(GLFW_SAMPLES, 4);
  glfwWindowHint(GLFW_STEREO, GLFW_FALSE);
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* mode = glfwGetVideoMode(monitor);
  GLFWwindow* window = glfwCreateWindow(mode->width, mode->height, "bare scene", monitor, nullptr);
  if (window == nullptr) return 1;
  glfwMakeContextCurrent(window);
  if (!gladLoadGL(glfwGetProcAddress)) return 1;
  QuadHost host;
  if (!host.Build(vertex, fragment, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  int width = 0, height = 0;
  glfwGetFramebufferSize(window, &width, &height);
  host.Draw(static_cast<float>(glfwGetTime()), width, height);
  glfwSwapBuffers(window);
  for (;;) pause();
}
