#include <gtest/gtest.h>

#include <vector>

#include "assets/gpu_buffer.h"
#include "assets/mesh_arrays.h"
#include "assets/shader_program.h"
#include "tests/support/egl_context.h"

namespace {

objl::Vertex Corner(float x, float y, float u, float v) {
  objl::Vertex vertex;
  vertex.position.x = x;
  vertex.position.y = y;
  vertex.normal.z = -1;
  vertex.texCoord.x = u;
  vertex.texCoord.y = v;
  return vertex;
}

MeshArrays SquareArrays() {
  objl::Mesh mesh;
  mesh.vertices = {Corner(-1, -1, 0, 0), Corner(1, -1, 1, 0), Corner(1, 1, 1, 1), Corner(-1, 1, 0, 1)};
  mesh.indices = {0, 1, 3, 1, 2, 3};
  return MeshArrays(std::vector<objl::Mesh>{mesh});
}

GLint Integer(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

template <typename T>
std::vector<T> Contents(GLenum target, const GpuBuffer* buffer) {
  glBindBuffer(target, buffer->buffer());
  GLint size = 0;
  glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
  std::vector<T> contents(static_cast<size_t>(size) / sizeof(T));
  glGetBufferSubData(target, 0, size, contents.data());
  return contents;
}

class GpuBufferTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.ok()) << context_.error();
    program_ = new ShaderProgram(105, 106);
    CreateBuffers();
    UploadBuffers(arrays_, *program_);
  }
  void TearDown() override {
    DeleteBuffers();
    delete program_;
  }

  EglSurfacelessContext context_;
  MeshArrays arrays_ = SquareArrays();
  ShaderProgram* program_ = nullptr;
};

TEST_F(GpuBufferTest, LeavesTheIndexBufferAsTheElementArrayAndTheBitangentsAsTheArray) {
  EXPECT_EQ(static_cast<GLuint>(Integer(GL_ELEMENT_ARRAY_BUFFER_BINDING)), indexBuffer->buffer());
  EXPECT_EQ(static_cast<GLuint>(Integer(GL_ARRAY_BUFFER_BINDING)), bitangentBuffer->buffer());
}

TEST_F(GpuBufferTest, MakesSixDistinctBuffersOfTheirKinds) {
  const GpuBuffer* all[] = {positionBuffer, texCoordBuffer, normalBuffer, tangentBuffer, bitangentBuffer, indexBuffer};
  for (int i = 0; i < 6; ++i) {
    ASSERT_NE(all[i], nullptr);
    EXPECT_TRUE(glIsBuffer(all[i]->buffer())) << i;
    EXPECT_EQ(all[i]->kind(), i < 5 ? BufferKind::Vertex : BufferKind::Index) << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(all[i]->buffer(), all[j]->buffer());
  }
}

TEST_F(GpuBufferTest, FillsEachBufferWithItsArray) {
  EXPECT_EQ(Contents<float>(GL_ARRAY_BUFFER, positionBuffer), arrays_.positions);
  EXPECT_EQ(Contents<float>(GL_ARRAY_BUFFER, texCoordBuffer), arrays_.texCoords);
  // Inactive attributes still get their data.
  EXPECT_EQ(Contents<float>(GL_ARRAY_BUFFER, normalBuffer), arrays_.normals);
  EXPECT_EQ(Contents<float>(GL_ARRAY_BUFFER, tangentBuffer), arrays_.tangents);
  EXPECT_EQ(Contents<float>(GL_ARRAY_BUFFER, bitangentBuffer), arrays_.bitangents);
  EXPECT_EQ(Contents<uint32_t>(GL_ELEMENT_ARRAY_BUFFER, indexBuffer), arrays_.indices);
}

TEST_F(GpuBufferTest, PointsThePositionAttributeAtThePositionBuffer) {
  const GLint location = program_->AttribLocation("position");
  ASSERT_GE(location, 0);
  auto attribute = [&](GLenum name) {
    GLint value = 0;
    glGetVertexAttribiv(location, name, &value);
    return value;
  };
  EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
  EXPECT_EQ(static_cast<GLuint>(attribute(GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING)), positionBuffer->buffer());
  EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_SIZE), 3);
  EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT);
  EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_NORMALIZED), GL_FALSE);
  EXPECT_EQ(attribute(GL_VERTEX_ATTRIB_ARRAY_STRIDE), 0);
}

TEST_F(GpuBufferTest, DeletingReleasesEveryBuffer) {
  const GLuint names[] = {positionBuffer->buffer(), texCoordBuffer->buffer(),  normalBuffer->buffer(),
                          tangentBuffer->buffer(),  bitangentBuffer->buffer(), indexBuffer->buffer()};
  DeleteBuffers();
  for (GLuint name : names) EXPECT_FALSE(glIsBuffer(name)) << name;
  EXPECT_EQ(positionBuffer, nullptr);
  EXPECT_EQ(indexBuffer, nullptr);
  DeleteBuffers();  // a second time finds nothing to delete
}

}  // namespace
