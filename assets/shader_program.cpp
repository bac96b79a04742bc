#include "assets/shader_program.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "assets/text_resource.h"
#include "platform/message_box.h"

namespace {

[[noreturn]] void ExitWithMessage(const char* text) {
  ShowDebugMessage(text);
  std::exit(0);
}

// A source that runs to the end of its resource, or past the capacity,
// without its `~` is not a shader we can trust to be whole.
void LoadSourceOrExit(int id, char* destination) {
  if (LoadTextResource(id, destination, ShaderProgram::kSourceCapacity)) return;
  std::string text = "Shader source " + std::to_string(id) + " is missing or has no end marker";
  ExitWithMessage(text.c_str());
}

void CopySourceOrExit(std::string_view text, char* destination, const char* stage) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  if (CopyTextUpToMarker(bytes, text.size(), destination, ShaderProgram::kSourceCapacity)) return;
  std::string message = std::string(stage) + " shader source has no end marker";
  ExitWithMessage(message.c_str());
}

}  // namespace

ShaderProgram::ShaderProgram()
    : vertexSource_(new char[kSourceBufferBytes]), fragmentSource_(new char[kSourceBufferBytes]) {}

ShaderProgram::ShaderProgram(int vertexShaderId, int fragmentShaderId) : ShaderProgram() {
  LoadSourceOrExit(vertexShaderId, vertexSource_.get());
  LoadSourceOrExit(fragmentShaderId, fragmentSource_.get());
  Build();
}

ShaderProgram::ShaderProgram(std::string_view vertexText, std::string_view fragmentText) : ShaderProgram() {
  CopySourceOrExit(vertexText, vertexSource_.get(), "Vertex");
  CopySourceOrExit(fragmentText, fragmentSource_.get(), "Fragment");
  Build();
}

ShaderProgram::~ShaderProgram() {
  glDeleteShader(vertexShader_);
  glDeleteShader(fragmentShader_);
  glDeleteProgram(program_);
}

// The program object exists before either shader; a shader that fails to
// compile ends the process before the next one is created.
void ShaderProgram::Build() {
  program_ = glCreateProgram();
  vertexShader_ = CompileOrExit(GL_VERTEX_SHADER, vertexSource_.get(), "Vertex shader compilation error");
  fragmentShader_ = CompileOrExit(GL_FRAGMENT_SHADER, fragmentSource_.get(), "Fragment shader compilation error");
  glAttachShader(program_, vertexShader_);
  glAttachShader(program_, fragmentShader_);
  LinkOrExit();
}

GLuint ShaderProgram::CompileOrExit(GLenum type, const char* source, const char* failureMessage) {
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status == 0) {
    ReportShaderLog(shader);
    ShowDebugMessage(failureMessage);
    glDeleteShader(shader);
    std::exit(0);
  }
  return shader;
}

// A program that does not link would draw nothing while every later call on
// it failed unseen, so it is reported like a compile failure.
void ShaderProgram::LinkOrExit() {
  glLinkProgram(program_);
  GLint status = 0;
  glGetProgramiv(program_, GL_LINK_STATUS, &status);
  if (status != 0) return;
  GLint length = 0;
  glGetProgramiv(program_, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  glGetProgramInfoLog(program_, length, nullptr, log.data());
  ShowDebugMessage(log.data());
  ExitWithMessage("Shader program link error");
}

void ShaderProgram::ReportShaderLog(GLuint shader) {
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  glGetShaderInfoLog(shader, length, nullptr, log.data());
  ShowDebugMessage(log.data());
}

GLint ShaderProgram::Location(LocationKind kind, const char* name) {
  std::string key(name);
  auto cached = locationCache_.find(key);
  if (cached != locationCache_.end()) return cached->second;
  GLint location =
      kind == LocationKind::Uniform ? glGetUniformLocation(program_, name) : glGetAttribLocation(program_, name);
  locationCache_.emplace(std::move(key), location);
  return location;
}

GLint ShaderProgram::UniformLocation(const char* name) { return Location(LocationKind::Uniform, name); }

GLint ShaderProgram::AttribLocation(const char* name) { return Location(LocationKind::Attribute, name); }

void ShaderProgram::Use() { glUseProgram(program_); }

void ShaderProgram::BindTexture(const char* samplerName, int unit, GLuint texture) {
  glUniform1i(UniformLocation(samplerName), unit);
  glActiveTexture(GL_TEXTURE0 + unit);
  glBindTexture(GL_TEXTURE_2D, texture);
}
