// The connection points a container enumerates, in its order.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "com/ComPtr.h"

namespace testing_support {

std::vector<formsrt::ComPtr<IConnectionPoint>> EnumeratedPoints(IConnectionPointContainer* container);

}  // namespace testing_support
