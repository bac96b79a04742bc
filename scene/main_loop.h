#pragma once

#include "scene/scale_matrix.h"

// Builds the scene, then draws, presents and polls until the window is to
// close (or the preview host's window is gone), then deletes the scene. An
// input event ends the process from inside the polling instead.
void RunMainLoop();

void SetUpScene();
void Tick();
void RenderFrame(float time);
void TearDownScene();

// The transform handed to the vertex stage each frame.
extern Matrix4 modelView;
