#pragma once

// Claims the system-wide name that marks a running guarded instance. Returns
// false only when another live process holds it already; any other failure
// lets the caller run unguarded. The claim ends with the process, crash
// included, and is never given back explicitly.
bool ClaimSingleInstance(const char* name);
