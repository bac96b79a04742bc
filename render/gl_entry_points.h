#pragma once

#include "platform/gl.h"

// Resolves the OpenGL entry points by name through `load`, with a context
// current, and says whether the scene can be drawn with them: an OpenGL of
// version 2.0 or later whose shader, vertex-attribute, buffer and
// multitexture entry points all resolved. Windows' own software OpenGL ("GDI
// Generic", version 1.1) has none of them; calling one would jump to null.
bool LoadSceneEntryPoints(GLADloadfunc load);

// Whether the current context has been lost to a GPU reset (a driver update,
// a timeout, a suspend). Only a robust context is ever told; where the
// extension is missing, or the context is not robust, this stays false.
bool CurrentContextWasReset();
