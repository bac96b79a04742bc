#include <windows.h>

#include "platform/display_power.h"

namespace {

// GUID_CONSOLE_DISPLAY_STATE, spelled out so that no GUID library is linked.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// The setting's values: 0 off, 1 on, 2 dimmed.
constexpr DWORD kDisplayOff = 0;
constexpr wchar_t kWindowClass[] = L"GloameryDisplayPower";

// The system tells of the display's power only to a window that asked: a
// message-only window of ours, whose messages the windowing library's (or
// the preview's) polling of the thread's queue dispatches.
class ConsoleDisplayPower final : public DisplayPower {
 public:
  ConsoleDisplayPower() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    if (window_ != nullptr) {
      notification_ = RegisterPowerSettingNotification(window_, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
  }
  ~ConsoleDisplayPower() override {
    if (notification_ != nullptr) UnregisterPowerSettingNotification(notification_);
    if (window_ != nullptr) DestroyWindow(window_);
  }

  bool IsOn() override { return on_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ConsoleDisplayPower*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_POWERBROADCAST && wParam == PBT_POWERSETTINGCHANGE) {
      const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
      if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) && setting->DataLength >= sizeof(DWORD)) {
        DWORD state = 0;
        CopyMemory(&state, setting->Data, sizeof state);
        self->on_ = state != kDisplayOff;
      }
      return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  HPOWERNOTIFY notification_ = nullptr;
  bool on_ = true;
};

}  // namespace

std::unique_ptr<DisplayPower> DisplayPower::Watch() { return std::make_unique<ConsoleDisplayPower>(); }
