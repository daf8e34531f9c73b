// The connection point of one event interface: the sinks that clients
// connected, and the raising of an event to each of them. It lives inside
// its container and shares the container's reference count.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "com/ComPtr.h"

namespace hookwatch {

class EventConnectionPoint : public IConnectionPoint {
 public:
  EventConnectionPoint(IConnectionPointContainer& container, REFIID events)
      : container_(container), events_(events) {}
  EventConnectionPoint(const EventConnectionPoint&) = delete;
  EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  // A sink must offer the event interface or IDispatch.
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  // Enumeration is not offered (E_NOTIMPL, which the interface allows).
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

  // Raises the event (no arguments) to every connected sink. A sink that
  // fails does not keep the event from the others; one disconnected by an
  // earlier sink's handler is passed over.
  void Raise(DISPID event);

 private:
  struct Connection {
    DWORD cookie;
    formsrt::ComPtr<IDispatch> sink;
  };

  bool IsConnected(DWORD cookie) const;

  IConnectionPointContainer& container_;
  IID events_;
  std::vector<Connection> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace hookwatch
