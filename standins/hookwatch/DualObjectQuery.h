// QueryInterface for a class whose default interface is the dual interface
// Default: IUnknown and IDispatch stand for Default; the Others are offered
// when asked for by their own IID.
#pragma once

#include <windows.h>

#include "com/ComModule.h"

namespace hookwatch {

template <class Default, class... Others, class Object>
HRESULT QueryDualObject(Object* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  REFIID wanted = iid == IID_IUnknown || iid == IID_IDispatch ? __uuidof(Default) : iid;
  bool offered = formsrt::OfferInterface<Default>(wanted, self, out) ||
                 (formsrt::OfferInterface<Others>(wanted, self, out) || ...);
  return offered ? S_OK : E_NOINTERFACE;
}

}  // namespace hookwatch
