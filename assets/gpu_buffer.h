#pragma once

#include <cstddef>

#include "platform/gl.h"

class MeshArrays;
class ShaderProgram;

enum class BufferKind { Vertex = 0, Index = 1 };

// One GL buffer object; which upload is called decides its binding target.
class GpuBuffer {
 public:
  explicit GpuBuffer(BufferKind kind);
  ~GpuBuffer();
  GpuBuffer(const GpuBuffer&) = delete;
  GpuBuffer& operator=(const GpuBuffer&) = delete;

  // Fills the buffer as the array buffer and points the attribute at it:
  // `components` floats a vertex, tightly packed. An attribute the program
  // does not have (location -1) gets no pointer; the data is stored all the
  // same.
  void UploadVertices(size_t bytes, const void* data, GLint location, GLint components);
  // Fills the buffer as the element array buffer, which it stays.
  void UploadIndices(size_t bytes, const void* data);
  // In the current context, without uploading: the attribute pointed at the
  // buffer (as UploadVertices leaves it), or the buffer bound as the element
  // array.
  void PointAttribute(GLint location, GLint components);
  void BindAsIndices();

  GLuint buffer() const { return buffer_; }
  BufferKind kind() const { return kind_; }

 private:
  GLuint buffer_ = 0;
  BufferKind kind_;
};

// The scene's six buffers, alive from CreateBuffers to DeleteBuffers.
extern GpuBuffer* positionBuffer;
extern GpuBuffer* texCoordBuffer;
extern GpuBuffer* normalBuffer;
extern GpuBuffer* tangentBuffer;
extern GpuBuffer* bitangentBuffer;
extern GpuBuffer* indexBuffer;

void CreateBuffers();
// Fills the six buffers from the mesh and points the program's attributes
// "position", "position_tex", "position_normal", "position_tangent" and
// "position_bitangent" at them. No vertex array object is used: the pointers
// and the element array binding stay in the context's default state, where
// every later draw finds them.
void UploadBuffers(const MeshArrays& mesh, ShaderProgram& program);
// In another context that shares the buffers: the same pointers and element
// array binding as UploadBuffers left in the context it ran in.
void BindBuffers(ShaderProgram& program);
void DeleteBuffers();
