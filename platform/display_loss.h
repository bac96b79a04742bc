#pragma once

// When the display connection is lost (the user logs out, the X server
// ends), leave with one line on standard error and status 0, as every other
// path does, rather than with the status 1 of the toolkits' own handlers.
// Process-wide; toolkits that install a handler of their own when they open
// the display (GTK) are followed by a second call.
void EndQuietlyWhenTheDisplayIsLost();
