#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

#include "platform/priority.h"

namespace {

constexpr int kNicenessAdded = 10;
constexpr int kLowestNiceness = 19;

}  // namespace

void LowerRenderingPriority() {
  // -1 is a valid niceness, so only errno tells a failure.
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, 0);
  if (errno != 0) return;
  setpriority(PRIO_PROCESS, 0, std::min(current + kNicenessAdded, kLowestNiceness));
}
