// Looks at a top-level window of another process (the About window, the
// message box) the way Windows sees it and prints what it found as one JSON
// object on standard output:
//
//   about_probe.exe CLASS CAPTION TIMEOUT_MS
//
// Waits (up to TIMEOUT_MS) for a visible top-level window of that class and
// caption, then reports its rectangles, styles, caption, the screen size, a
// point inside its close box, its child controls, and whether its thread
// answers a message, as only a running message loop does. Exit status 0 when found,
// 1 when the time ran out, 2 on bad arguments.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string JsonString(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    const unsigned char u = static_cast<unsigned char>(*c);
    if (u == '"' || u == '\\') {
      out += '\\';
      out += *c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", u);
      out += escaped;
    } else {
      out += *c;
    }
  }
  return out + "\"";
}

std::string JsonRect(const RECT& r) {
  char text[96];
  std::snprintf(text, sizeof(text), "[%ld, %ld, %ld, %ld]", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return text;
}

std::string JsonPoint(long x, long y) {
  char text[64];
  std::snprintf(text, sizeof(text), "[%ld, %ld]", x, y);
  return text;
}

std::string WindowText(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof(name));
  return name;
}

HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(className, caption);
    if (window != nullptr && IsWindowVisible(window)) return window;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

// The window procedure of the other process answers where its close box is;
// the middle of the HTCLOSE run along the caption's middle row.
bool FindCloseBox(HWND window, POINT* at) {
  RECT outer;
  GetWindowRect(window, &outer);
  POINT client = {0, 0};
  ClientToScreen(window, &client);
  const long y = (outer.top + client.y) / 2;
  long first = -1, last = -1;
  for (long x = outer.right - 1; x >= outer.left; --x) {
    DWORD_PTR hit = HTNOWHERE;
    if (!SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &hit)) return false;
    if (hit == HTCLOSE) {
      if (last < 0) last = x;
      first = x;
    } else if (last >= 0) {
      break;
    }
  }
  if (last < 0) return false;
  *at = {(first + last) / 2, y};
  return true;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::string DescribeControls(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  std::string out = "[";
  for (HWND child : children) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    if (out.size() > 1) out += ", ";
    out += "{\"class\": " + JsonString(ClassName(child).c_str()) +
           ", \"text\": " + JsonString(WindowText(child).c_str()) + ", \"id\": " + std::to_string(GetDlgCtrlID(child)) +
           ", \"style\": " + std::to_string(static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE))) +
           ", \"rect\": " + JsonRect(r) + ", \"visible\": " + (IsWindowVisible(child) ? "true" : "false") + "}";
  }
  return out + "]";
}

// Up to the probe's own limit; a window whose thread never gets back to its
// message loop does not answer at all.
bool AnswersMessages(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: about_probe CLASS CAPTION TIMEOUT_MS\n");
    return 2;
  }
  // Real pixels, as the About window itself works in.
  SetProcessDPIAware();
  HWND window = WaitForWindow(argv[1], argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
  if (window == nullptr) {
    std::printf("{}\n");
    return 1;
  }
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  POINT clientOrigin = {0, 0};
  ClientToScreen(window, &clientOrigin);
  POINT closeBox = {-1, -1};
  const bool hasCloseBox = FindCloseBox(window, &closeBox);
  const bool answers = AnswersMessages(window);
  std::printf(
      "{\"class\": %s, \"caption\": %s, \"window\": %s, \"client_origin\": %s, \"client_size\": %s, "
      "\"screen\": %s, \"style\": %lu, \"ex_style\": %lu, \"owner\": %s, \"close_box\": %s, \"controls\": %s, "
      "\"answers\": %s}\n",
      JsonString(ClassName(window).c_str()).c_str(), JsonString(WindowText(window).c_str()).c_str(),
      JsonRect(outer).c_str(), JsonPoint(clientOrigin.x, clientOrigin.y).c_str(),
      JsonPoint(client.right, client.bottom).c_str(),
      JsonPoint(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)).c_str(),
      static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
      static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
      GetWindow(window, GW_OWNER) != nullptr ? "true" : "false",
      hasCloseBox ? JsonPoint(closeBox.x, closeBox.y).c_str() : "null", DescribeControls(window).c_str(),
      answers ? "true" : "false");
  return 0;
}
