#pragma once

// The test program started again as a second process that claims the guard's
// name and exits with the outcome.
constexpr const char* kClaimChildSwitch = "--claim-guard";
constexpr unsigned long kClaimChildFirst = 10;
constexpr unsigned long kClaimChildRefused = 11;
