#include "ConnectionPoints.h"

#include <gtest/gtest.h>

namespace testing_support {

std::vector<formsrt::ComPtr<IConnectionPoint>> EnumeratedPoints(IConnectionPointContainer* container) {
  std::vector<formsrt::ComPtr<IConnectionPoint>> points;
  formsrt::ComPtr<IEnumConnectionPoints> enumerator;
  EXPECT_EQ(S_OK, container->EnumConnectionPoints(enumerator.Put()));
  if (!enumerator) return points;
  IConnectionPoint* next = nullptr;
  while (enumerator->Next(1, &next, nullptr) == S_OK) {
    points.push_back(formsrt::ComPtr<IConnectionPoint>::Attach(next));
  }
  return points;
}

}  // namespace testing_support
