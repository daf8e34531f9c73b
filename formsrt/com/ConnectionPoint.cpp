#include "com/ConnectionPoint.h"

#include <olectl.h>

#include "com/ComEnumerator.h"
#include "com/ComBoundary.h"

namespace formsrt {

namespace {

struct StoredConnection {
  ComPtr<IUnknown> sink;
  DWORD cookie;
};

void CopyConnection(const StoredConnection& stored, CONNECTDATA* out) {
  stored.sink.CopyTo(&out->pUnk);
  out->dwCookie = stored.cookie;
}

using ConnectionEnumerator =
    ComEnumerator<IEnumConnections, CONNECTDATA, StoredConnection, CopyConnection>;

}  // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  return QueryObject<IConnectionPoint>(this, iid, out);
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = outgoing_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  try {
    ComPtr<IUnknown> outgoing;
    bool offered = SUCCEEDED(sink->QueryInterface(outgoing_, outgoing.PutVoid())) ||
                   (accepted_ == Accepts::EventDispatch &&
                    SUCCEEDED(sink->QueryInterface(IID_IDispatch, outgoing.PutVoid())));
    if (!offered) return CONNECT_E_CANNOTCONNECT;
    connections_.push_back({nextCookie_, outgoing});
    *cookie = nextCookie_++;
    return S_OK;
  } catch (...) {
    return ReportCurrentException(L"", IID_IConnectionPoint);
  }
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = connections_.begin(); it != connections_.end(); ++it) {
    if (it->cookie == cookie) {
      // Released after the list is consistent again: the sink may call back.
      ComPtr<IUnknown> leaving = std::move(it->sink);
      connections_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    std::vector<StoredConnection> snapshot;
    for (const Connection& connection : connections_)
      snapshot.push_back({connection.sink, connection.cookie});
    return CreateAndQuery<ConnectionEnumerator>(IID_IEnumConnections, reinterpret_cast<void**>(out),
                                                std::move(snapshot));
  } catch (...) {
    return ReportCurrentException(L"", IID_IConnectionPoint);
  }
}

void ConnectionPoint::InvokeEach(DISPID member, DISPPARAMS& params) const {
  std::vector<Connection> snapshot = connections_;
  for (const Connection& connection : snapshot) {
    if (!IsConnected(connection.cookie)) continue;
    // Each sink was queried for the event dispinterface or IDispatch.
    static_cast<IDispatch*>(connection.sink.Get())
        ->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                 nullptr);
  }
}

bool ConnectionPoint::IsConnected(DWORD cookie) const {
  for (const Connection& connection : connections_) {
    if (connection.cookie == cookie) return true;
  }
  return false;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
  std::vector<ComPtr<IUnknown>> sinks;
  for (const Connection& connection : connections_) sinks.push_back(connection.sink);
  return sinks;
}

}  // namespace formsrt
