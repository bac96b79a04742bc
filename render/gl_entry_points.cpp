#include "render/gl_entry_points.h"

namespace {

bool HasShaderEntryPoints() {
  return glCreateShader && glShaderSource && glCompileShader && glGetShaderiv && glGetShaderInfoLog && glDeleteShader &&
         glCreateProgram && glAttachShader && glLinkProgram && glGetProgramiv && glGetProgramInfoLog && glUseProgram &&
         glDeleteProgram && glGetUniformLocation && glGetAttribLocation && glUniform1i && glUniform1f && glUniform2f &&
         glUniformMatrix4fv;
}

bool HasVertexEntryPoints() {
  return glVertexAttribPointer && glEnableVertexAttribArray && glGenBuffers && glBindBuffer && glBufferData &&
         glDeleteBuffers;
}

}  // namespace

bool CurrentContextWasReset() {
  GLenum status = GL_NO_ERROR;
  if (GLAD_GL_ARB_robustness && glGetGraphicsResetStatusARB) {
    status = glGetGraphicsResetStatusARB();
  } else if (GLAD_GL_KHR_robustness && glGetGraphicsResetStatus) {
    status = glGetGraphicsResetStatus();
  }
  return status != GL_NO_ERROR;
}

bool LoadSceneEntryPoints(GLADloadfunc load) {
  // Zero when not even the version could be read.
  const int version = gladLoadGL(load);
  if (version == 0 || GLAD_VERSION_MAJOR(version) < 2) return false;
  return HasShaderEntryPoints() && HasVertexEntryPoints() && glActiveTexture;
}
