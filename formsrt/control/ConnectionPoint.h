// One connection point of a control: the sinks of one outgoing interface
// (the event dispinterface, or IPropertyNotifySink). Its reference count is
// its container's, so the container lives while a client holds the point.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "com/ComPtr.h"

namespace formsrt {

class ConnectionPoint : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer& container, REFIID outgoing)
      : container_(container), outgoing_(outgoing) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

  REFIID Outgoing() const { return outgoing_; }
  // The connected sinks, each queried for the outgoing interface. A copy:
  // a sink may disconnect while it is being called.
  std::vector<ComPtr<IUnknown>> Sinks() const;
  // Lets go of every sink (the control is being destroyed).
  void DisconnectAll() { connections_.clear(); }

 private:
  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;
  };

  IConnectionPointContainer& container_;
  const IID outgoing_;
  std::vector<Connection> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace formsrt
