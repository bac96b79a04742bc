#include "platform/os_version.h"

int DecodeOsVersionNumber(uint32_t getVersionValue) {
  const uint32_t major = getVersionValue & 0xFF;
  const uint32_t minor = (getVersionValue >> 8) & 0xFF;
  return static_cast<int>(major * 10 + minor);
}
