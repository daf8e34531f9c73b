// One connection point of an object: the sinks of one outgoing interface
// (an event dispinterface, or IPropertyNotifySink). Its reference count is
// its container's, so the container lives while a client holds the point.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <utility>
#include <vector>

#include "com/ComPtr.h"

namespace formsrt {

class ConnectionPoint : public IConnectionPoint {
 public:
  // What a sink must offer to be connected: the outgoing interface itself,
  // or, for an event dispinterface, at least IDispatch (script hosts and
  // many sinks answer only that).
  enum class Accepts { OutgoingInterface, EventDispatch };

  ConnectionPoint(IConnectionPointContainer& container, REFIID outgoing,
                  Accepts accepted = Accepts::OutgoingInterface)
      : container_(container), outgoing_(outgoing), accepted_(accepted) {}
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
  // Calls member on every sink of an event dispinterface, in the order they
  // connected. A sink disconnected by an earlier sink's handler is passed
  // over; a sink that fails does not keep the call from the others.
  void InvokeEach(DISPID member, DISPPARAMS& params) const;
  // Lets go of every sink (the object is being destroyed). The list is
  // emptied before any sink is released: a sink may Unadvise from its release.
  void DisconnectAll() { std::vector<Connection> leaving = std::exchange(connections_, {}); }

 private:
  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;
  };

  bool IsConnected(DWORD cookie) const;

  IConnectionPointContainer& container_;
  const IID outgoing_;
  const Accepts accepted_;
  std::vector<Connection> connections_;
  DWORD nextCookie_ = 1;
};

}  // namespace formsrt
