// PLACEHOLDER until the Win32 About window lands with its shell hand-off.
#include "about/open_address.h"

bool OpenAddressInBrowser(const char*) { return false; }
