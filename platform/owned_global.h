#pragma once

// The program's process-wide objects (the launch options, the renderer, the
// scene's program, textures and buffers) are raw pointers on purpose: a
// failure or a key ends the process with std::exit from deep inside a
// constructor or a callback, and a namespace-scope owner would then run its
// destructor against a GL context or a library already gone. Their phases
// end here instead, at the points their owners choose.
template <typename T>
void DeleteGlobal(T*& global) {
  delete global;
  global = nullptr;
}
