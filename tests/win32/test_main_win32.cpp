#include <gtest/gtest.h>

#include <cstring>

#include "launch/single_instance.h"
#include "tests/win32/claim_child.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kClaimChildSwitch) == 0) {
    return static_cast<int>(ClaimSingleInstance(argv[2]) ? kClaimChildFirst : kClaimChildRefused);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
