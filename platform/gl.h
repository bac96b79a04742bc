#pragma once

// The one way program code reaches OpenGL: the generated loader, and GLFW
// without its own GL header so the two never disagree.
#include <glad/gl.h>
#ifndef GLFW_INCLUDE_NONE
#define GLFW_INCLUDE_NONE
#endif
#include <GLFW/glfw3.h>
