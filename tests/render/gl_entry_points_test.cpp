#include "render/gl_entry_points.h"

#include <EGL/egl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/egl_context.h"

namespace {

GLADapiproc Real(const char* name) { return eglGetProcAddress(name); }

GLADapiproc Nothing(const char*) { return nullptr; }

// What Windows' own software OpenGL says of itself.
const GLubyte* GdiGenericString(GLenum name) {
  const char* text = "";
  switch (name) {
    case GL_VENDOR: text = "Microsoft Corporation"; break;
    case GL_RENDERER: text = "GDI Generic"; break;
    case GL_VERSION: text = "1.1.0"; break;
    case GL_EXTENSIONS: text = "GL_WIN_swap_hint GL_EXT_bgra GL_EXT_paletted_texture"; break;
    default: break;
  }
  return reinterpret_cast<const GLubyte*>(text);
}

GLADapiproc GdiGeneric(const char* name) {
  if (std::strcmp(name, "glGetString") == 0) return reinterpret_cast<GLADapiproc>(GdiGenericString);
  return Real(name);
}

// A driver that claims a modern version but leaves the shader entry points
// out.
GLADapiproc WithoutShaderNames(const char* name) {
  if (std::strstr(name, "Shader") != nullptr || std::strstr(name, "Program") != nullptr) return nullptr;
  return Real(name);
}

// Names beyond OpenGL 1.1 that the scene needs one of, checked one at a time.
const char* const kOneMissing[] = {"glCreateShader", "glUniformMatrix4fv", "glVertexAttribPointer", "glBufferData",
                                   "glActiveTexture"};
const char* missingName = nullptr;

GLADapiproc AllButOne(const char* name) { return std::strcmp(name, missingName) == 0 ? nullptr : Real(name); }

class SceneEntryPoints : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(context_.ok()) << context_.error(); }
  // Later tests in this binary draw through the real entry points.
  void TearDown() override { gladLoadGL(Real); }

  EglSurfacelessContext context_;
};

TEST_F(SceneEntryPoints, ResolveFromARealContext) { EXPECT_TRUE(LoadSceneEntryPoints(Real)); }

TEST_F(SceneEntryPoints, AreMissingWhereNothingResolvesOrTheGlIsOnePointOne) {
  EXPECT_FALSE(LoadSceneEntryPoints(Nothing));
  EXPECT_FALSE(LoadSceneEntryPoints(GdiGeneric));
}

TEST_F(SceneEntryPoints, AreMissingWhenAnyOneTheSceneCallsIsAbsentWhateverTheVersion) {
  EXPECT_FALSE(LoadSceneEntryPoints(WithoutShaderNames));
  for (const char* name : kOneMissing) {
    missingName = name;
    EXPECT_FALSE(LoadSceneEntryPoints(AllButOne)) << name;
  }
}

}  // namespace
