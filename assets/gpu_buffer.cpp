#include "assets/gpu_buffer.h"

#include "assets/mesh_arrays.h"
#include "assets/shader_program.h"
#include "platform/owned_global.h"

GpuBuffer* positionBuffer = nullptr;
GpuBuffer* texCoordBuffer = nullptr;
GpuBuffer* normalBuffer = nullptr;
GpuBuffer* tangentBuffer = nullptr;
GpuBuffer* bitangentBuffer = nullptr;
GpuBuffer* indexBuffer = nullptr;

GpuBuffer::GpuBuffer(BufferKind kind) : kind_(kind) { glGenBuffers(1, &buffer_); }

GpuBuffer::~GpuBuffer() { glDeleteBuffers(1, &buffer_); }

void GpuBuffer::UploadVertices(size_t bytes, const void* data, GLint location, GLint components) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
  PointAttribute(location, components);
}

void GpuBuffer::UploadIndices(size_t bytes, const void* data) {
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer_);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
}

void GpuBuffer::PointAttribute(GLint location, GLint components) {
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  if (location < 0) return;
  glEnableVertexAttribArray(static_cast<GLuint>(location));
  glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

void GpuBuffer::BindAsIndices() { glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer_); }

void CreateBuffers() {
  positionBuffer = new GpuBuffer(BufferKind::Vertex);
  texCoordBuffer = new GpuBuffer(BufferKind::Vertex);
  normalBuffer = new GpuBuffer(BufferKind::Vertex);
  tangentBuffer = new GpuBuffer(BufferKind::Vertex);
  bitangentBuffer = new GpuBuffer(BufferKind::Vertex);
  indexBuffer = new GpuBuffer(BufferKind::Index);
}

void UploadBuffers(const MeshArrays& mesh, ShaderProgram& program) {
  positionBuffer->UploadVertices(mesh.PositionBytes(), mesh.positions.data(), program.AttribLocation("position"), 3);
  texCoordBuffer->UploadVertices(mesh.TexCoordBytes(), mesh.texCoords.data(), program.AttribLocation("position_tex"),
                                 2);
  normalBuffer->UploadVertices(mesh.NormalBytes(), mesh.normals.data(), program.AttribLocation("position_normal"), 3);
  tangentBuffer->UploadVertices(mesh.TangentBytes(), mesh.tangents.data(), program.AttribLocation("position_tangent"),
                                3);
  bitangentBuffer->UploadVertices(mesh.BitangentBytes(), mesh.bitangents.data(),
                                  program.AttribLocation("position_bitangent"), 3);
  indexBuffer->UploadIndices(mesh.IndexBytes(), mesh.indices.data());
}

void BindBuffers(ShaderProgram& program) {
  positionBuffer->PointAttribute(program.AttribLocation("position"), 3);
  texCoordBuffer->PointAttribute(program.AttribLocation("position_tex"), 2);
  normalBuffer->PointAttribute(program.AttribLocation("position_normal"), 3);
  tangentBuffer->PointAttribute(program.AttribLocation("position_tangent"), 3);
  bitangentBuffer->PointAttribute(program.AttribLocation("position_bitangent"), 3);
  indexBuffer->BindAsIndices();
}

void DeleteBuffers() {
  DeleteGlobal(positionBuffer);
  DeleteGlobal(texCoordBuffer);
  DeleteGlobal(normalBuffer);
  DeleteGlobal(tangentBuffer);
  DeleteGlobal(bitangentBuffer);
  DeleteGlobal(indexBuffer);
}
