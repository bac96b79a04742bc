#pragma once

// Hands a web address to the desktop's URL handler (`xdg-open`, found on
// PATH) as its one argument, with no shell in between, and returns without
// waiting for it. False when the handler could not be started; the caller
// has nothing to report in that case.
bool OpenAddressInBrowser(const char* address);
