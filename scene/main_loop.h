#pragma once

#include "scene/scale_matrix.h"

class ShaderProgram;
class MeshArrays;
class MipTexture;

// Builds the scene, then draws, presents and polls until the window is to
// close (or the preview host's window is gone), then deletes the scene. An
// input event ends the process from inside the polling instead.
void RunMainLoop();

// Builds the scene objects in the current GL context, which RenderFrame then
// draws with (into whatever framebuffer is bound, at viewportWidth by
// viewportHeight) and TearDownScene deletes, while that context is current.
void SetUpScene();
// Tick draws the frame into every window of the run, at the size its
// RenderApp asks for in each (nothing where nobody sees it).
void Tick();
void RenderFrame(float time);
// The same into a width x height viewport, which iResolution then names.
void RenderFrameAt(float time, int width, int height);
void TearDownScene();

// The scene objects, alive from SetUpScene to TearDownScene (null outside).
extern ShaderProgram* shaderProgram;
extern MeshArrays* meshArrays;
extern MipTexture* texture256;  // the gravel chain, bound to unit 0
extern MipTexture* texture128;  // the skin chain, bound to unit 1

// The transform handed to the vertex stage each frame.
extern Matrix4 modelView;
