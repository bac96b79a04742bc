#pragma once

// Gives way to everything else the machine runs, as XScreenSaver runs its
// hacks: a software renderer would otherwise take every core from whatever
// the user left running. On POSIX 10 is added to the niceness the process
// started with (capped at 19); niceness belongs to each thread, so this is
// called on the main thread before the GL library starts its own, which
// inherit it. On Windows the process runs below normal priority.
void LowerRenderingPriority();
