#pragma once

// Hands a web address to the desktop's URL handler and returns without
// waiting for it: on Linux `xdg-open`, found on PATH, as its one argument with
// no shell in between; on Windows the shell's "open" verb. False when the
// handler could not be started; the caller has nothing to report in that case.
bool OpenAddressInBrowser(const char* address);
