// QueryInterface from the list of interfaces an object offers: the one
// helper of every hand-written QueryInterface of the suite.
//
//   return QueryObject<Offer<IListView, IDispatch>, ISupportErrorInfo>(this, iid, out);
//
// IUnknown stands for the first interface of the list, so that every request
// for IUnknown gives the same pointer (the identity rule of COM). An entry
// Offer<I, Also...> answers for I and for each interface in Also, which the
// object offers as I: IDispatch for a dual interface, IOleWindow for
// IOleInPlaceObject, IPersist for IPersistStreamInit. A plain interface I in
// the list is Offer<I>.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace formsrt {

template <class I, class... Also>
struct Offer {
  static REFIID Interface() { return __uuidof(I); }
  static bool AnswersFor(REFIID iid) { return iid == __uuidof(I) || ((iid == __uuidof(Also)) || ...); }
  template <class Object>
  static void* From(Object* self) {
    I* offered = static_cast<I*>(self);
    offered->AddRef();
    return offered;
  }
};

namespace query_object {

template <class Entry>
struct AsOffer {
  using type = Offer<Entry>;
};
template <class I, class... Also>
struct AsOffer<Offer<I, Also...>> {
  using type = Offer<I, Also...>;
};

template <class Entry, class Object>
bool Answer(REFIID iid, Object* self, void** out) {
  using Entered = typename AsOffer<Entry>::type;
  if (!Entered::AnswersFor(iid)) return false;
  *out = Entered::From(self);
  return true;
}

}  // namespace query_object

template <class First, class... Others, class Object>
HRESULT QueryObject(Object* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  REFIID wanted = iid == IID_IUnknown ? query_object::AsOffer<First>::type::Interface() : iid;
  bool offered = query_object::Answer<First>(wanted, self, out) ||
                 (query_object::Answer<Others>(wanted, self, out) || ...);
  return offered ? S_OK : E_NOINTERFACE;
}

}  // namespace formsrt
