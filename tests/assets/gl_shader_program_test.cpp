#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "assets/shader_program.h"
#include "platform/message_box.h"
#include "tests/support/egl_context.h"

namespace {

// Counts the location queries that reach the GL, by standing in for the
// loader's entry points.
int uniformQueries = 0;
int attribQueries = 0;
PFNGLGETUNIFORMLOCATIONPROC realGetUniformLocation = nullptr;
PFNGLGETATTRIBLOCATIONPROC realGetAttribLocation = nullptr;

GLint GLAD_API_PTR CountingGetUniformLocation(GLuint program, const GLchar* name) {
  ++uniformQueries;
  return realGetUniformLocation(program, name);
}

GLint GLAD_API_PTR CountingGetAttribLocation(GLuint program, const GLchar* name) {
  ++attribQueries;
  return realGetAttribLocation(program, name);
}

std::vector<std::string> messages;
void RecordMessage(const char* text, const char*, MessageIcon) { messages.emplace_back(text); }

// A small program of the test's own, so that what is active in it does not
// depend on the scene's shaders.
constexpr char kProbeVertex[] =
    "#version 110\n"
    "attribute vec4 position;\nattribute vec2 coord;\nattribute vec3 unused;\n"
    "uniform mat4 model_view;\nvarying vec2 v;\n"
    "void main() { v = coord; gl_Position = model_view * position; }\n//~\n";
constexpr char kProbeFragment[] =
    "#version 110\n"
    "uniform sampler2D tex;\nuniform float brightness;\nvarying vec2 v;\n"
    "void main() { gl_FragColor = texture2D(tex, v) * brightness; }\n//~\n";

class ShaderProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.ok()) << context_.error();
    messages.clear();
    previousSink_ = SetMessageSink(RecordMessage);
    program_ = new ShaderProgram(kProbeVertex, kProbeFragment);
    realGetUniformLocation = glad_glGetUniformLocation;
    realGetAttribLocation = glad_glGetAttribLocation;
    glad_glGetUniformLocation = CountingGetUniformLocation;
    glad_glGetAttribLocation = CountingGetAttribLocation;
    uniformQueries = attribQueries = 0;
  }
  void TearDown() override {
    if (realGetUniformLocation) glad_glGetUniformLocation = realGetUniformLocation;
    if (realGetAttribLocation) glad_glGetAttribLocation = realGetAttribLocation;
    delete program_;
    SetMessageSink(previousSink_);
  }

  EglSurfacelessContext context_;
  ShaderProgram* program_ = nullptr;
  MessageSink previousSink_ = nullptr;
};

TEST_F(ShaderProgramTest, SceneShadersLinkAndOfferTheFramesInputs) {
  ShaderProgram scene(105, 106);
  EXPECT_TRUE(messages.empty());
  GLint linked = 0, attached = 0;
  glGetProgramiv(scene.program(), GL_LINK_STATUS, &linked);
  glGetProgramiv(scene.program(), GL_ATTACHED_SHADERS, &attached);
  EXPECT_EQ(linked, GL_TRUE);
  EXPECT_EQ(attached, 2) << "both shaders stay attached";
  for (const char* uniform : {"model_view", "iResolution", "iTime", "iChannel0"})
    EXPECT_GE(scene.UniformLocation(uniform), 0) << uniform;
  EXPECT_GE(scene.AttribLocation("position"), 0);
  // Declared for the buffers, never read: the linker drops them.
  for (const char* unused : {"position_normal", "position_tangent", "position_bitangent"})
    EXPECT_EQ(scene.AttribLocation(unused), -1) << unused;
  EXPECT_EQ(scene.UniformLocation("s"), -1);
  EXPECT_EQ(scene.UniformLocation("r"), -1);
}

TEST_F(ShaderProgramTest, AsksTheGlOncePerName) {
  const GLint first = program_->UniformLocation("brightness");
  EXPECT_GE(first, 0);
  EXPECT_EQ(program_->UniformLocation("brightness"), first);
  EXPECT_EQ(uniformQueries, 1);
  const GLint position = program_->AttribLocation("position");
  EXPECT_GE(position, 0);
  EXPECT_EQ(program_->AttribLocation("position"), position);
  EXPECT_EQ(attribQueries, 1);
}

TEST_F(ShaderProgramTest, CachesAMissingNameAsMinusOne) {
  EXPECT_EQ(program_->UniformLocation("s"), -1);
  EXPECT_EQ(program_->UniformLocation("s"), -1);
  EXPECT_EQ(uniformQueries, 1);
  EXPECT_EQ(program_->AttribLocation("unused"), -1);
  EXPECT_EQ(program_->AttribLocation("unused"), -1);
  EXPECT_EQ(attribQueries, 1);
}

TEST_F(ShaderProgramTest, KeysTheCacheByNameOnly) {
  const GLint uniform = program_->UniformLocation("model_view");
  ASSERT_GE(uniform, 0);
  EXPECT_EQ(program_->AttribLocation("model_view"), uniform) << "the uniform answer, not the attribute one (-1)";
  EXPECT_EQ(attribQueries, 0);

  const GLint attribute = program_->AttribLocation("coord");
  ASSERT_GE(attribute, 0);
  EXPECT_EQ(program_->UniformLocation("coord"), attribute);
  EXPECT_EQ(uniformQueries, 1);
}

TEST_F(ShaderProgramTest, UseMakesTheProgramCurrent) {
  glUseProgram(0);
  program_->Use();
  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(static_cast<GLuint>(current), program_->program());
}

TEST_F(ShaderProgramTest, BindTextureSetsTheSamplerAndLeavesItsUnitActive) {
  GLuint textures[2];
  glGenTextures(2, textures);
  program_->Use();
  program_->BindTexture("tex", 3, textures[0]);
  GLint sampler = -1;
  glGetUniformiv(program_->program(), program_->UniformLocation("tex"), &sampler);
  EXPECT_EQ(sampler, 3);
  GLint active = 0, bound = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(active, GL_TEXTURE0 + 3);
  EXPECT_EQ(static_cast<GLuint>(bound), textures[0]);

  // A sampler the program lacks: nothing is assigned, but the texture is
  // still bound on the unit, which stays active.
  while (glGetError() != GL_NO_ERROR) {
  }
  program_->BindTexture("r", 1, textures[1]);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "an assignment at -1 is no error";
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(active, GL_TEXTURE0 + 1);
  EXPECT_EQ(static_cast<GLuint>(bound), textures[1]);
  glGetUniformiv(program_->program(), program_->UniformLocation("tex"), &sampler);
  EXPECT_EQ(sampler, 3) << "the other sampler is left alone";
  glDeleteTextures(2, textures);
}

// Failures end the process; each runs in a child of its own, with no display,
// where the Debug messages go to standard error.
constexpr char kVertexShader[] =
    "#version 110\nattribute vec4 position;\nvoid main() { gl_Position = position; }\n//~\n";
constexpr char kFragmentShader[] = "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n//~\n";
constexpr char kBrokenShader[] = "#version 110\nvoid main() { gl_Position = undeclared_thing; }\n//~\n";
// Compiles on its own, but a program needs a main in each stage it has.
constexpr char kFragmentShaderWithoutMain[] = "#version 110\nvoid helper() { gl_FragColor = vec4(1.0); }\n//~\n";

PFNGLCREATESHADERPROC realCreateShader = nullptr;
GLuint GLAD_API_PTR LoggingCreateShader(GLenum type) {
  std::fprintf(stderr, "glCreateShader 0x%X\n", type);
  return realCreateShader(type);
}

// Builds a program from its sources (texts or resource ids) in a child with a
// context but no display, logging each shader the GL is asked for.
template <typename Source>
void BuildWithoutDisplay(Source vertex, Source fragment) {
  EglSurfacelessContext context;
  if (!context.ok()) {
    std::fprintf(stderr, "no context: %s\n", context.error().c_str());
    std::abort();
  }
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  realCreateShader = glad_glCreateShader;
  glad_glCreateShader = LoggingCreateShader;
  new ShaderProgram(vertex, fragment);
  std::fprintf(stderr, "constructor returned\n");
  std::exit(3);
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Exactly two Debug messages: first the GL's log (which names an error),
// then the fixed text.
testing::Matcher<const std::string&> TwoMessagesEndingWith(const std::string& fixed) {
  return testing::Truly([fixed](const std::string& err) {
    const size_t first = err.find("Debug: ");
    const size_t second = err.find("Debug: " + fixed + "\n");
    return CountOf(err, "Debug: ") == 2 && first != std::string::npos && second != std::string::npos &&
           first < second && err.substr(first, second - first).find("error") != std::string::npos;
  });
}

class ShaderFailureTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ShaderFailureTest, VertexCompileErrorShowsTheLogThenTheMessageAndExitsZero) {
  EXPECT_EXIT(BuildWithoutDisplay(kBrokenShader, kFragmentShader), testing::ExitedWithCode(0),
              testing::AllOf(TwoMessagesEndingWith("Vertex shader compilation error"),
                             testing::HasSubstr("glCreateShader 0x8B31"),
                             testing::Not(testing::HasSubstr("glCreateShader 0x8B30"))));
}

TEST_F(ShaderFailureTest, FragmentCompileErrorShowsTheLogThenTheMessageAndExitsZero) {
  std::string broken = kBrokenShader;
  broken.replace(broken.find("gl_Position"), 11, "gl_FragColor");
  EXPECT_EXIT(BuildWithoutDisplay(kVertexShader, broken.c_str()), testing::ExitedWithCode(0),
              TwoMessagesEndingWith("Fragment shader compilation error"));
}

TEST_F(ShaderFailureTest, LinkErrorShowsTheLinkLogThenTheMessageAndExitsZero) {
  EXPECT_EXIT(
      BuildWithoutDisplay(kVertexShader, kFragmentShaderWithoutMain), testing::ExitedWithCode(0),
      testing::AllOf(TwoMessagesEndingWith("Shader program link error"), testing::HasSubstr("glCreateShader 0x8B30")));
}

TEST_F(ShaderFailureTest, SourceWithoutItsEndMarkerIsRefused) {
  EXPECT_EXIT(BuildWithoutDisplay("#version 110\nvoid main() {}\n", kFragmentShader), testing::ExitedWithCode(0),
              testing::AllOf(testing::HasSubstr("Debug: Vertex shader source has no end marker\n"),
                             testing::Not(testing::HasSubstr("glCreateShader"))));
}

// Both sources are read before either is compiled, so a missing one stops
// the build before the GL sees any shader. 4242 is no resource; 105 and 106
// are the scene's shaders.
TEST_F(ShaderFailureTest, MissingVertexSourceIsNamedAndNothingIsCompiled) {
  EXPECT_EXIT(BuildWithoutDisplay(4242, 106), testing::ExitedWithCode(0),
              testing::AllOf(testing::HasSubstr("Debug: Shader source 4242 is missing or has no end marker\n"),
                             testing::Not(testing::HasSubstr("glCreateShader"))));
}

TEST_F(ShaderFailureTest, MissingFragmentSourceIsNamedAndNothingIsCompiled) {
  EXPECT_EXIT(BuildWithoutDisplay(105, 4243), testing::ExitedWithCode(0),
              testing::AllOf(testing::HasSubstr("Debug: Shader source 4243 is missing or has no end marker\n"),
                             testing::Not(testing::HasSubstr("Shader source 105")),
                             testing::Not(testing::HasSubstr("glCreateShader"))));
}

}  // namespace
