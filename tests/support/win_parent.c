// Starts a program as a Windows parent does (the screensaver host, the Display
// control panel), waits for it, and ends with the exit code that parent reads:
//   win_parent.exe PROGRAM [ARGUMENTS...]
// Under Wine the status of a program's own Unix process is not that code.
// Once the Windows side of a process has ended, the wineserver gives its Unix
// process about a second to finish the C library's exit (the GL driver's and
// its compiler's handlers among them) and then kills it, so a moment's stall
// on a busy machine reads as SIGKILL although Windows saw a clean exit.
// The child shares our standard handles, so its output reaches our caller.
#include <stdio.h>
#include <windows.h>

// The command line without our own name, which may be quoted.
static LPWSTR SkipProgramName(LPWSTR line) {
  if (*line == L'"') {
    ++line;
    while (*line != L'\0' && *line != L'"') ++line;
    if (*line == L'"') ++line;
  } else {
    while (*line != L'\0' && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

static void ShareStandardHandle(DWORD which, HANDLE* slot) {
  HANDLE handle = GetStdHandle(which);
  if (handle != NULL && handle != INVALID_HANDLE_VALUE)
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  *slot = handle;
}

int main(void) {
  LPWSTR childLine = SkipProgramName(GetCommandLineW());
  if (*childLine == L'\0') {
    fprintf(stderr, "usage: win_parent.exe PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  ShareStandardHandle(STD_INPUT_HANDLE, &startup.hStdInput);
  ShareStandardHandle(STD_OUTPUT_HANDLE, &startup.hStdOutput);
  ShareStandardHandle(STD_ERROR_HANDLE, &startup.hStdError);
  PROCESS_INFORMATION child;
  if (!CreateProcessW(NULL, childLine, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &child)) {
    fprintf(stderr, "win_parent: cannot start %ls (error %lu)\n", childLine, GetLastError());
    return 2;
  }
  CloseHandle(child.hThread);
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  return (int)code;
}
