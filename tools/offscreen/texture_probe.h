#pragma once

// Looking at and replacing the textures a frame was drawn with, from outside
// the code that made them: for tests and benchmarks.

// The 2D texture bound on a unit; the active unit is left as it was.
unsigned TextureBoundOnUnit(int unit);

// Overwrites every level the texture has with one colour, keeping its sizes,
// format and sampling parameters. Returns the number of levels written.
int FillTextureLevels(unsigned texture, unsigned char red, unsigned char green, unsigned char blue);

// The same with speckles of a fixed pseudo-random pattern.
int SpeckleTextureLevels(unsigned texture, unsigned seed);
