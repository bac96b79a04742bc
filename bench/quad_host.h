#pragma once

#include <string>

// The least a host can do to show the scene shader: compile the two sources,
// one quad over the whole viewport, the uniforms set straight from arguments,
// a texture on unit 0. The yardstick for what the program's own host adds.
// Needs a current context for its whole life.
class QuadHost {
 public:
  QuadHost() = default;
  ~QuadHost();
  QuadHost(const QuadHost&) = delete;
  QuadHost& operator=(const QuadHost&) = delete;

  // False, with the compiler's log in *error, when a source does not compile
  // or the program does not link.
  bool Build(const std::string& vertexSource, const std::string& fragmentSource, std::string* error);

  // The texture both samplers read; a grey test texture of its own until set.
  void SetTexture(unsigned texture) { texture_ = texture; }

  // One frame into the bound framebuffer.
  void Draw(float time, int width, int height) const;

 private:
  unsigned program_ = 0;
  unsigned vertexShader_ = 0;
  unsigned fragmentShader_ = 0;
  unsigned quadBuffer_ = 0;
  unsigned ownTexture_ = 0;
  unsigned texture_ = 0;
  int positionLocation_ = -1;
  int modelViewLocation_ = -1;
  int resolutionLocation_ = -1;
  int timeLocation_ = -1;
};

// The text of a shader file up to its first '~', as the program's loader
// hands it to the compiler. False when the file cannot be read.
bool ReadShaderText(const std::string& path, std::string* text);

// 256 by 256 grey speckles, repeating, with mip levels.
unsigned CreateGreyTestTexture();
