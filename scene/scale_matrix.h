#pragma once

// A 4x4 matrix of floats stored column by column, as glUniformMatrix4fv takes
// it without transposition.
struct Matrix4 {
  float m[16];
};

// The matrix whose columns are (x,0,0,0), (0,y,0,0), (0,0,z,0), (0,0,0,1).
Matrix4 ScaleMatrix(float x, float y, float z);
