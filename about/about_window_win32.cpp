#include <windows.h>

#include "about/about_font_request.h"
#include "about/about_layout.h"
#include "about/about_window.h"
#include "about/open_address.h"
#include "platform/message_box.h"
#include "resources/resource_ids.h"

// The portable font request spells the Windows constants as numbers.
static_assert(kDefaultCharset == DEFAULT_CHARSET && kOutlinePrecision == OUT_OUTLINE_PRECIS &&
              kDefaultClipPrecision == CLIP_DEFAULT_PRECIS && kClearTypeQuality == CLEARTYPE_QUALITY &&
              kVariablePitch == VARIABLE_PITCH);

namespace {

constexpr int kUser32ClassIconId = 104;
constexpr int kClassIconSize = 16;

// The notice and the button share an id: a plain static never sends
// WM_COMMAND, so a click on the notice cannot pass for the button's.
constexpr int kNoticeId = 10;
constexpr int kTitleId = 30;
constexpr int kWebsiteButtonId = 10;

// Shared by the constructor and the window procedure.
HWND mainWindow = nullptr;
HBITMAP logoBitmap = nullptr;
HWND noticeLabel = nullptr;
HWND titleLabel = nullptr;
HWND websiteButton = nullptr;
HBRUSH backgroundBrush = nullptr;  // made on the procedure's first call, kept for the process

COLORREF ColourRef(const AboutColour& colour) { return RGB(colour.red, colour.green, colour.blue); }

// --- Window procedure, one handler per message kind ------------------------

void FillClientArea(HDC dc, HWND window) {
  RECT client;
  GetClientRect(window, &client);
  SetBkColor(dc, ColourRef(kBackgroundColour));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, "", 0, nullptr);
}

void DrawLogo(HDC dc) {
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, logoBitmap);
  BITMAP size{};
  GetObjectA(logoBitmap, sizeof(size), &size);
  BitBlt(dc, kLogoPosition.x, kLogoPosition.y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

void PaintAboutWindow(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  FillClientArea(dc, window);
  DrawLogo(dc);
  EndPaint(window, &paint);
}

// The title black, every other static blue, all of them on the background.
LRESULT ColourStaticControl(HDC dc, HWND control) {
  SetTextColor(dc, ColourRef(control == titleLabel ? kTitleColour : kNoticeColour));
  SetBkColor(dc, ColourRef(kBackgroundColour));
  return reinterpret_cast<LRESULT>(backgroundBrush);
}

bool IsWebsiteButtonClick(WPARAM command) { return command == MAKEWPARAM(kWebsiteButtonId, BN_CLICKED); }

LRESULT CALLBACK AboutWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (backgroundBrush == nullptr) backgroundBrush = CreateSolidBrush(ColourRef(kBackgroundColour));
  switch (message) {
    case WM_PAINT: PaintAboutWindow(window); return 0;
    case WM_CTLCOLORSTATIC: return ColourStaticControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      if (IsWebsiteButtonClick(wParam)) OpenAddressInBrowser(kWebsiteAddress);
      return 0;
    case WM_CLOSE: DestroyWindow(mainWindow); return 0;
    case WM_DESTROY:
      DeleteObject(logoBitmap);
      PostQuitMessage(0);
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

// --- Constructor's steps ---------------------------------------------------

void ReportFailure(const char* text) { ShowMessageBox(text, "Error!", MessageIcon::Warning); }

// The show command the process was started with, as WinMain would have been
// given it.
int StartupShowCommand() {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

HICON LoadClassIcon() {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA("user32.dll"), MAKEINTRESOURCEA(kUser32ClassIconId), IMAGE_ICON,
                                       kClassIconSize, kClassIconSize, LR_SHARED));
}

bool RegisterAboutClass(HINSTANCE instance, const char* className) {
  WNDCLASSA windowClass{};
  windowClass.style = 0;
  windowClass.lpfnWndProc = AboutWndProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadClassIcon();
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = className;
  return RegisterClassA(&windowClass) != 0;
}

// Physical pixels: once the process is DPI-aware a scaled desktop no longer
// reports a shrunken screen.
AboutPoint CentredOrigin() {
  SetProcessDPIAware();
  HDC screen = GetDC(nullptr);
  const int width = GetDeviceCaps(screen, HORZRES);
  const int height = GetDeviceCaps(screen, VERTRES);
  ReleaseDC(nullptr, screen);
  return AboutWindowOrigin(width, height);
}

HFONT CreateAboutFont(const AboutFont& font) {
  const AboutFontRequest r = AboutFontRequestFor(font);
  return CreateFontA(r.height, r.width, r.escapement, r.orientation, r.weight, r.italic, r.underline, r.strikeOut,
                     r.charSet, r.outPrecision, r.clipPrecision, r.quality, r.pitchAndFamily, r.face);
}

HWND CreateControl(const char* className, DWORD style, const AboutRect& rect, int id, const char* text) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
  return CreateWindowExA(0, className, text, style, rect.x, rect.y, rect.width, rect.height, mainWindow,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

HWND CreateStaticControl(const AboutRect& rect, int id, const char* text, HFONT font) {
  HWND label = CreateControl("static", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, id, "");
  SetWindowTextA(label, text);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return label;
}

HWND CreateWebsiteButton(const char* text, HFONT font) {
  HWND button = CreateControl("BUTTON", WS_CHILD | WS_VISIBLE, kWebsiteButtonRect, kWebsiteButtonId, text);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return button;
}

void RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

AboutWindow::AboutWindow() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterAboutClass(instance, windowClassName)) ReportFailure("Window Registration Failed!");

  const AboutPoint origin = CentredOrigin();
  mainWindow = CreateWindowExA(0, windowClassName, title, WS_SYSMENU, origin.x, origin.y, kAboutWindowWidth,
                               kAboutWindowHeight, nullptr, nullptr, instance, nullptr);
  if (mainWindow == nullptr) {
    // Nothing could end a message loop now, so the About run ends here.
    ReportFailure("Window Creation Failed!");
    return;
  }
  logoBitmap = static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(resource_id::kAboutLogo), IMAGE_BITMAP, 0, 0, LR_SHARED));

  HFONT textFont = CreateAboutFont(kTextFont);
  HFONT titleFont = CreateAboutFont(kTitleFont);
  noticeLabel = CreateStaticControl(kNoticeRect, kNoticeId, noticeText, textFont);
  titleLabel = CreateStaticControl(kTitleRect, kTitleId, productTitle, titleFont);
  websiteButton = CreateWebsiteButton(buttonText, textFont);

  ShowWindow(mainWindow, StartupShowCommand());
  UpdateWindow(mainWindow);
  RunMessageLoop();
}
