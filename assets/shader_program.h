#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gl.h"

// Which GL query fills a missing cache entry; not part of the cache key.
enum class LocationKind { Uniform = 0, Attribute = 1 };

// The one linked program that draws the scene, built from two TEXTFILE
// resources, with every uniform and attribute location it is ever asked for
// kept by name. Construction returns only with both shaders compiled and the
// program linked; otherwise the user is told why and the process ends with
// status 0.
class ShaderProgram {
 public:
  static constexpr size_t kSourceCapacity = 32768;
  static constexpr size_t kSourceBufferBytes = 32772;

  ShaderProgram(int vertexShaderId, int fragmentShaderId);
  // The same from texts in memory, each read up to its `~` as a resource
  // would be: for tools and tests that bring their own shaders.
  ShaderProgram(std::string_view vertexText, std::string_view fragmentText);
  ~ShaderProgram();
  ShaderProgram(const ShaderProgram&) = delete;
  ShaderProgram& operator=(const ShaderProgram&) = delete;

  GLint UniformLocation(const char* name);
  GLint AttribLocation(const char* name);
  void Use();
  // Call Use first: the sampler assignment acts on the current program. The
  // given unit stays the active one.
  void BindTexture(const char* samplerName, int unit, GLuint texture);
  // The info log of one shader object, in a Debug message.
  void ReportShaderLog(GLuint shader);

  GLuint program() const { return program_; }

 private:
  ShaderProgram();
  void Build();
  GLuint CompileOrExit(GLenum type, const char* source, const char* failureMessage);
  void LinkOrExit();
  GLint Location(LocationKind kind, const char* name);

  // Sized for the longest source and its terminator, as the loader expects.
  std::unique_ptr<char[]> vertexSource_;
  std::unique_ptr<char[]> fragmentSource_;
  GLuint vertexShader_ = 0;
  GLuint fragmentShader_ = 0;
  GLuint program_ = 0;
  std::map<std::string, GLint> locationCache_;
};
