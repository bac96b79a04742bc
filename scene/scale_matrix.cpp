#include "scene/scale_matrix.h"

Matrix4 ScaleMatrix(float x, float y, float z) { return Matrix4{{x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}}; }
