// The display's power state as the program learns it on Windows: a message
// to its own message-only window. Wine sends no console display state
// notification, so the messages the system would send are sent here, to the
// same window, through the same queue.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "platform/display_power.h"

namespace {

// GUID_CONSOLE_DISPLAY_STATE.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// Any other setting's news must change nothing.
constexpr GUID kSomeOtherSetting = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

void Tell(HWND window, const GUID& setting, DWORD value) {
  alignas(POWERBROADCAST_SETTING) unsigned char buffer[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)] = {};
  auto* message = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
  message->PowerSetting = setting;
  message->DataLength = sizeof value;
  std::memcpy(message->Data, &value, sizeof value);
  SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(message));
}

TEST(DisplayPower, FollowsTheConsoleDisplayStateSentToItsWindow) {
  std::unique_ptr<DisplayPower> power = DisplayPower::Watch();
  HWND window = FindWindowExW(HWND_MESSAGE, nullptr, L"GloameryDisplayPower", nullptr);
  ASSERT_NE(window, nullptr) << "the window the system tells";
  EXPECT_TRUE(power->IsOn()) << "on until told otherwise";
  Tell(window, kConsoleDisplayState, 0);
  EXPECT_FALSE(power->IsOn());
  Tell(window, kSomeOtherSetting, 1);
  EXPECT_FALSE(power->IsOn());
  Tell(window, kConsoleDisplayState, 2);
  EXPECT_TRUE(power->IsOn()) << "a dimmed display is still seen";
  Tell(window, kConsoleDisplayState, 0);
  Tell(window, kConsoleDisplayState, 1);
  EXPECT_TRUE(power->IsOn());
  power.reset();
  EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, L"GloameryDisplayPower", nullptr), nullptr) << "gone with it";
}

}  // namespace
