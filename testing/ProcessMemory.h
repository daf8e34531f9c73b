#pragma once

#include <windows.h>

namespace testing_support {

// The process's private (commit) bytes. Wine 8 leaves PrivateUsage at 0 but
// fills PagefileUsage, which the platform defines as the same quantity.
long long PrivateBytes();

}  // namespace testing_support
