#include "render/scaled_frame.h"

namespace {

// The stretch draws one rectangle over clip space; its texture coordinates
// follow from the position, so no vertex array of the scene's is touched.
constexpr char kStretchVertexShader[] =
    "#version 110\n"
    "varying vec2 uv;\n"
    "void main() {\n"
    "  uv = gl_Vertex.xy * 0.5 + 0.5;\n"
    "  gl_Position = gl_Vertex;\n"
    "}\n";
constexpr char kStretchFragmentShader[] =
    "#version 110\n"
    "uniform sampler2D picture;\n"
    "varying vec2 uv;\n"
    "void main() { gl_FragColor = texture2D(picture, uv); }\n";

GLuint CompiledShader(GLenum type, const char* source) {
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status != 0) return shader;
  glDeleteShader(shader);
  return 0;
}

}  // namespace

bool HasFramebufferEntryPoints() {
  return glGenFramebuffers && glBindFramebuffer && glFramebufferTexture2D && glCheckFramebufferStatus &&
         glDeleteFramebuffers && glRectf;
}

std::unique_ptr<ScaledFrame> ScaledFrame::Create() {
  if (!HasFramebufferEntryPoints()) return nullptr;
  std::unique_ptr<ScaledFrame> frame(new ScaledFrame());
  if (!frame->BuildStretchProgram()) return nullptr;
  glGenFramebuffers(1, &frame->framebuffer_);
  glGenTextures(1, &frame->texture_);
  return frame;
}

ScaledFrame::~ScaledFrame() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
  if (texture_ != 0) glDeleteTextures(1, &texture_);
  if (program_ != 0) glDeleteProgram(program_);
}

bool ScaledFrame::BuildStretchProgram() {
  const GLuint vertex = CompiledShader(GL_VERTEX_SHADER, kStretchVertexShader);
  const GLuint fragment = CompiledShader(GL_FRAGMENT_SHADER, kStretchFragmentShader);
  if (vertex != 0 && fragment != 0) {
    program_ = glCreateProgram();
    glAttachShader(program_, vertex);
    glAttachShader(program_, fragment);
    glLinkProgram(program_);
  }
  // Flagged for deletion now, gone with the program.
  if (vertex != 0) glDeleteShader(vertex);
  if (fragment != 0) glDeleteShader(fragment);
  GLint linked = 0;
  if (program_ != 0) glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (linked != 0) {
    glUseProgram(program_);
    glUniform1i(glGetUniformLocation(program_, "picture"), 0);
  }
  return linked != 0;
}

// The scene binds its own textures to unit 0 and 1 before it draws, so the
// target's texture is never sampled while it is drawn into.
bool ScaledFrame::Allocate(FrameSize size) {
  size_ = size;
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size.width, size.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
  complete_ = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  return complete_;
}

bool ScaledFrame::BindForDrawing(FrameSize size) {
  if (size != size_ && !Allocate(size)) return false;
  if (!complete_) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  return true;
}

void ScaledFrame::StretchTo(FrameSize window) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, window.width, window.height);
  glDisable(GL_BLEND);
  glUseProgram(program_);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture_);
  // A rectangle over the whole window has no edges to smooth: sampling each
  // pixel once spares a software rasteriser three quarters of the work.
  glDisable(GL_MULTISAMPLE);
  glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
  glEnable(GL_MULTISAMPLE);
  glEnable(GL_BLEND);
}
