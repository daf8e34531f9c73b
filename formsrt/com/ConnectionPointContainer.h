// IConnectionPointContainer over the connection points an object makes for
// itself, one per outgoing interface, in the order they were added. The
// object supplies IUnknown; the points count their references in it.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <vector>

#include "com/ConnectionPoint.h"

namespace formsrt {

class ConnectionPointContainer : public IConnectionPointContainer {
 public:
  ConnectionPointContainer(const ConnectionPointContainer&) = delete;
  ConnectionPointContainer& operator=(const ConnectionPointContainer&) = delete;

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 protected:
  ConnectionPointContainer() = default;
  ~ConnectionPointContainer() = default;

  // A new point for the outgoing interface; it lives as long as the container.
  ConnectionPoint& AddConnectionPoint(REFIID outgoing,
                                      ConnectionPoint::Accepts accepted = ConnectionPoint::Accepts::OutgoingInterface);
  // Lets go of every sink of every point (the object is being destroyed).
  void DisconnectAll();

 private:
  std::vector<std::unique_ptr<ConnectionPoint>> points_;
};

}  // namespace formsrt
