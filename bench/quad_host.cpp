#include "bench/quad_host.h"

#include <glad/gl.h>

#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

bool CompileShader(GLenum stage, const std::string& source, GLuint* shader, std::string* error) {
  *shader = glCreateShader(stage);
  const char* text = source.c_str();
  glShaderSource(*shader, 1, &text, nullptr);
  glCompileShader(*shader);
  GLint status = 0;
  glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
  if (status) return true;
  GLint length = 0;
  glGetShaderiv(*shader, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<size_t>(length) + 1, '\0');
  glGetShaderInfoLog(*shader, length, nullptr, log.data());
  *error = (stage == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") + log;
  return false;
}

}  // namespace

bool QuadHost::Build(const std::string& vertexSource, const std::string& fragmentSource, std::string* error) {
  if (!CompileShader(GL_VERTEX_SHADER, vertexSource, &vertexShader_, error)) return false;
  if (!CompileShader(GL_FRAGMENT_SHADER, fragmentSource, &fragmentShader_, error)) return false;
  program_ = glCreateProgram();
  glAttachShader(program_, vertexShader_);
  glAttachShader(program_, fragmentShader_);
  glLinkProgram(program_);
  GLint linked = 0;
  glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (!linked) {
    *error = "the program did not link";
    return false;
  }
  positionLocation_ = glGetAttribLocation(program_, "position");
  modelViewLocation_ = glGetUniformLocation(program_, "model_view");
  resolutionLocation_ = glGetUniformLocation(program_, "iResolution");
  timeLocation_ = glGetUniformLocation(program_, "iTime");

  const float corners[] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, 1, 1, 0};
  glGenBuffers(1, &quadBuffer_);
  glBindBuffer(GL_ARRAY_BUFFER, quadBuffer_);
  glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);

  ownTexture_ = CreateGreyTestTexture();
  if (texture_ == 0) texture_ = ownTexture_;
  return true;
}

QuadHost::~QuadHost() {
  glDeleteTextures(1, &ownTexture_);
  glDeleteBuffers(1, &quadBuffer_);
  glDeleteProgram(program_);
  glDeleteShader(vertexShader_);
  glDeleteShader(fragmentShader_);
}

void QuadHost::Draw(float time, int width, int height) const {
  static const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  glUseProgram(program_);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glViewport(0, 0, width, height);
  glUniformMatrix4fv(modelViewLocation_, 1, GL_FALSE, kIdentity);
  glUniform2f(resolutionLocation_, static_cast<float>(width), static_cast<float>(height));
  glUniform1f(timeLocation_, time);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindBuffer(GL_ARRAY_BUFFER, quadBuffer_);
  glEnableVertexAttribArray(positionLocation_);
  glVertexAttribPointer(positionLocation_, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

bool ReadShaderText(const std::string& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  size_t marker = text->find('~');
  if (marker != std::string::npos) text->resize(marker);
  return true;
}

unsigned CreateGreyTestTexture() {
  constexpr int kSide = 256;
  std::mt19937 random(256);
  std::uniform_int_distribution<int> speckle(60, 160);
  std::vector<int> heights(kSide * kSide);
  for (int& h : heights) h = speckle(random);
  // A little blur so that the red channel reads as pebbles rather than noise.
  std::vector<unsigned char> pixels(kSide * kSide * 3);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      int sum = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) sum += heights[((y + dy + kSide) % kSide) * kSide + (x + dx + kSide) % kSide];
      unsigned char grey = static_cast<unsigned char>(sum / 9);
      for (int c = 0; c < 3; ++c) pixels[(y * kSide + x) * 3 + c] = grey;
    }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kSide, kSide, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return texture;
}
