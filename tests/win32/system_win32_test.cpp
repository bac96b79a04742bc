#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "launch/single_instance.h"
#include "platform/message_box.h"
#include "platform/os_version.h"
#include "tests/win32/claim_child.h"

namespace {

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Runs this test program again as a child that claims `name` and reports the
// result as its exit code.
DWORD ClaimInChild(const std::string& name) {
  std::string commandLine = "\"" + ThisProgram() + "\" " + kClaimChildSwitch + " " + name;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "CreateProcessA failed: " << GetLastError();
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD status = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

std::string UniqueName(const char* stem) { return std::string(stem) + std::to_string(GetCurrentProcessId()); }

}  // namespace

TEST(Win32Guard, TheFirstProcessHoldsTheNameUntilItEnds) {
  const std::string name = UniqueName("GloameryGuardTest");
  // A child alone is first; its claim ends with it.
  EXPECT_EQ(ClaimInChild(name), kClaimChildFirst);
  EXPECT_EQ(ClaimInChild(name), kClaimChildFirst);
  ASSERT_TRUE(ClaimSingleInstance(name.c_str()));
  EXPECT_EQ(ClaimInChild(name), kClaimChildRefused);
}

TEST(Win32Guard, UsesANamedEventThatOthersCanSee) {
  const std::string name = UniqueName("GloameryGuardEvent");
  ASSERT_TRUE(ClaimSingleInstance(name.c_str()));
  HANDLE existing = OpenEventA(SYNCHRONIZE, FALSE, name.c_str());
  EXPECT_NE(existing, nullptr) << "no event named " << name;
  if (existing) CloseHandle(existing);
}

// GetVersionExA reports the same (compatibility) version as GetVersion, from
// fields of its own: the decoding must agree with it.
TEST(Win32OsVersion, AgreesWithTheSystemsVersionRecord) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExA(&info));
#pragma GCC diagnostic pop
  EXPECT_EQ(OsVersionNumber(), static_cast<int>(info.dwMajorVersion * 10 + info.dwMinorVersion));
  EXPECT_GE(OsVersionNumber(), 50);
}

namespace {
std::vector<std::string> recorded;
void Record(const char* text, const char* caption, MessageIcon icon) {
  recorded.push_back(std::string(caption) + "|" + text + "|" + (icon == MessageIcon::Warning ? "warning" : "info"));
}
}  // namespace

TEST(Win32MessageBox, TheSinkReceivesTheRenderersMessages) {
  recorded.clear();
  MessageSink previous = SetMessageSink(Record);
  ShowDebugMessage("Failed to open window");
  ShowMessageBox("Could not open", "Error!", MessageIcon::Warning);
  SetMessageSink(previous);
  EXPECT_EQ(recorded, (std::vector<std::string>{"Debug|Failed to open window|info", "Error!|Could not open|warning"}));
}
