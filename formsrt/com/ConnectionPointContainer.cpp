#include "com/ConnectionPointContainer.h"

#include <olectl.h>

#include "com/ComBoundary.h"
#include "com/ComEnumerator.h"
#include "com/ComObject.h"
#include "core/RuntimeError.h"

namespace formsrt {

namespace {

void CopyPoint(const ComPtr<IConnectionPoint>& stored, IConnectionPoint** out) {
  stored.CopyTo(out);
}

using PointEnumerator =
    ComEnumerator<IEnumConnectionPoints, IConnectionPoint*, ComPtr<IConnectionPoint>, CopyPoint>;

}  // namespace

ConnectionPoint& ConnectionPointContainer::AddConnectionPoint(REFIID outgoing,
                                                              ConnectionPoint::Accepts accepted) {
  points_.push_back(std::make_unique<ConnectionPoint>(*this, outgoing, accepted));
  return *points_.back();
}

void ConnectionPointContainer::DisconnectAll() {
  for (const auto& point : points_) point->DisconnectAll();
}

STDMETHODIMP ConnectionPointContainer::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  *points = nullptr;
  return ComBoundary(L"", IID_IConnectionPointContainer, [&] {
    std::vector<ComPtr<IConnectionPoint>> list;
    for (const auto& point : points_) list.emplace_back(point.get());
    ThrowIfFailed(CreateAndQuery<PointEnumerator>(
        IID_IEnumConnectionPoints, reinterpret_cast<void**>(points), std::move(list)));
  });
}

STDMETHODIMP ConnectionPointContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  for (const auto& candidate : points_) {
    if (candidate->Outgoing() == iid) {
      *point = candidate.get();
      candidate->AddRef();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

}  // namespace formsrt
