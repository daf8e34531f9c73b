#include "EventConnectionPoint.h"

#include <algorithm>
#include <new>

using formsrt::ComPtr;

namespace hookwatch {

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
  AddRef();
  *out = static_cast<IConnectionPoint*>(this);
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = events_;
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(
    IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  container_.AddRef();
  *container = &container_;
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(events_, dispatch.PutVoid())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, dispatch.PutVoid()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  try {
    connections_.push_back({nextCookie_, std::move(dispatch)});
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *cookie = nextCookie_++;
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
  auto found = std::find_if(connections_.begin(), connections_.end(),
                            [&](const Connection& c) { return c.cookie == cookie; });
  if (found == connections_.end()) return CONNECT_E_NOCONNECTION;
  // Released after the list is consistent again: the release may re-enter.
  Connection removed = std::move(*found);
  connections_.erase(found);
  return S_OK;
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

void EventConnectionPoint::Raise(DISPID event) {
  std::vector<Connection> sinks = connections_;
  for (const Connection& connection : sinks) {
    if (!IsConnected(connection.cookie)) continue;
    DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
    connection.sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArguments,
                            nullptr, nullptr, nullptr);
  }
}

bool EventConnectionPoint::IsConnected(DWORD cookie) const {
  return std::any_of(connections_.begin(), connections_.end(),
                     [&](const Connection& c) { return c.cookie == cookie; });
}

}  // namespace hookwatch
