#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "launch/single_instance.h"
#include "tests/win32/claim_child.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kClaimChildSwitch) == 0) {
    return static_cast<int>(ClaimSingleInstance(argv[2]) ? kClaimChildFirst : kClaimChildRefused);
  }
  // GLFW loads XInput at glfwInit and frees it at glfwTerminate. Wine's
  // XInput leaves a thread of its own running in the DLL after it is freed,
  // which crashes once it wakes; the program initialises GLFW once, but these
  // tests do it several times in one process, so the DLL stays loaded.
  LoadLibraryA("xinput1_4.dll");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
