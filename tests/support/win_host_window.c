// A stand-in for the Windows screensaver host in the Wine tests: owns one
// top-level window, says its handle, and does to it what a host does, one
// stdin line at a time, answering on stdout:
//   state        "state CLIENT_W CLIENT_H STYLE OWN_PROCEDURE CHILDREN" or "state gone"
//   child        "child CLIENT_W CLIENT_H VISIBLE" of the first child, or "child none"
//   resize W H   gives the window a client area of W by H; "resized"
//   focus        gives the keyboard focus to the first child, as a host whose
//                preview takes the keys would; "focused 1" when it has it
//   cursor       "cursor SHOWN" for the pointer wherever it is: 1 when an
//                image shows, 0 when none does
//   disable      "disabled"
//   destroy      "destroyed"
// Options: --size WxH (client size, 160x120 by default).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define COMMAND_MESSAGE (WM_APP + 1)

static LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

static BOOL CALLBACK CountChild(HWND child, LPARAM count) {
  (void)child;
  ++*(int*)count;
  return TRUE;
}

static BOOL CALLBACK TakeFirstChild(HWND child, LPARAM first) {
  *(HWND*)first = child;
  return FALSE;
}

static HWND FirstChild(HWND window) {
  HWND first = NULL;
  EnumChildWindows(window, TakeFirstChild, (LPARAM)&first);
  return first;
}

static void ReportState(HWND window) {
  RECT client;
  if (!IsWindow(window) || !GetClientRect(window, &client)) {
    printf("state gone\n");
    return;
  }
  int children = 0;
  EnumChildWindows(window, CountChild, (LPARAM)&children);
  int ownProcedure = GetWindowLongPtrW(window, GWLP_WNDPROC) == (LONG_PTR)HostProc;
  printf("state %ld %ld %lx %d %d\n", client.right, client.bottom, (unsigned long)GetWindowLongW(window, GWL_STYLE),
         ownProcedure, children);
}

static void ReportChild(HWND window) {
  HWND child = IsWindow(window) ? FirstChild(window) : NULL;
  RECT client;
  if (child == NULL || !GetClientRect(child, &client)) {
    printf("child none\n");
    return;
  }
  printf("child %ld %ld %d\n", client.right, client.bottom, IsWindowVisible(child) ? 1 : 0);
}

static void ResizeClient(HWND window, int width, int height) {
  RECT rect = {0, 0, width, height};
  AdjustWindowRect(&rect, (DWORD)GetWindowLongW(window, GWL_STYLE), FALSE);
  SetWindowPos(window, NULL, 0, 0, rect.right - rect.left, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER);
}

static int FocusChild(HWND window) {
  HWND child = FirstChild(window);
  if (child == NULL) return 0;
  AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(child, NULL), TRUE);
  SetForegroundWindow(window);
  SetFocus(child);
  return GetFocus() == child;
}

static void Command(HWND window, const char* line) {
  int width, height;
  if (strncmp(line, "state", 5) == 0) {
    ReportState(window);
  } else if (strncmp(line, "child", 5) == 0) {
    ReportChild(window);
  } else if (sscanf(line, "resize %d %d", &width, &height) == 2) {
    ResizeClient(window, width, height);
    printf("resized\n");
  } else if (strncmp(line, "focus", 5) == 0) {
    printf("focused %d\n", FocusChild(window));
  } else if (strncmp(line, "cursor", 6) == 0) {
    CURSORINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    printf("cursor %d\n", (info.flags & CURSOR_SHOWING) != 0 && info.hCursor != NULL);
  } else if (strncmp(line, "disable", 7) == 0) {
    EnableWindow(window, FALSE);
    printf("disabled\n");
  } else if (strncmp(line, "destroy", 7) == 0) {
    DestroyWindow(window);
    printf("destroyed\n");
  } else {
    printf("unknown %s", line);
  }
  fflush(stdout);
}

// Standard input blocks, so it is read on a thread of its own; each line is
// carried out on the window's thread.
static DWORD WINAPI ReadCommands(LPVOID mainThread) {
  char line[256];
  while (fgets(line, sizeof line, stdin) != NULL) {
    char* copy = _strdup(line);
    PostThreadMessageW((DWORD)(uintptr_t)mainThread, COMMAND_MESSAGE, 0, (LPARAM)copy);
  }
  PostThreadMessageW((DWORD)(uintptr_t)mainThread, WM_QUIT, 0, 0);
  return 0;
}

int main(int argc, char** argv) {
  int width = 160, height = 120;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      sscanf(argv[++i], "%dx%d", &width, &height);
    } else {
      fprintf(stderr, "unknown option %s\n", argv[i]);
      return 2;
    }
  }
  HINSTANCE instance = GetModuleHandleW(NULL);
  WNDCLASSW windowClass = {0};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
  windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  windowClass.lpszClassName = L"GloameryTestHost";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"GloameryTestHost", L"gloamery test host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                NULL, NULL, instance, NULL);
  ResizeClient(window, width, height);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  // The message queue must exist before the reader posts to it.
  MSG message;
  PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE);
  printf("window %llu\n", (unsigned long long)(uintptr_t)window);
  fflush(stdout);
  CreateThread(NULL, 0, ReadCommands, (LPVOID)(uintptr_t)GetCurrentThreadId(), 0, NULL);

  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    if (message.hwnd == NULL && message.message == COMMAND_MESSAGE) {
      Command(window, (const char*)message.lParam);
      free((void*)message.lParam);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
