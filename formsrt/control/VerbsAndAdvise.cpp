#include "control/VerbsAndAdvise.h"

#include <string>
#include <utility>
#include <vector>

#include "com/ComBoundary.h"
#include "com/ComEnumerator.h"
#include "com/ComObject.h"
#include "com/OutParameters.h"
#include "core/RuntimeError.h"

namespace formsrt {

namespace {

struct StoredVerb {
  LONG verb;
  std::wstring name;
  DWORD attributes;
};

void CopyVerb(const StoredVerb& stored, OLEVERB* out) {
  size_t bytes = (stored.name.size() + 1) * sizeof(wchar_t);
  out->lVerb = stored.verb;
  out->lpszVerbName = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
  if (out->lpszVerbName) ::memcpy(out->lpszVerbName, stored.name.c_str(), bytes);
  out->fuFlags = MF_STRING;
  out->grfAttribs = stored.attributes;
}

using VerbEnumerator = ComEnumerator<IEnumOLEVERB, OLEVERB, StoredVerb, CopyVerb>;

}  // namespace

STDMETHODIMP VerbsAndAdvise::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP VerbsAndAdvise::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP VerbsAndAdvise::EnumVerbs(IEnumOLEVERB** verbs) {
  if (!verbs) return E_POINTER;
  *verbs = nullptr;
  return ComBoundary(errorSource_, IID_IOleObject, [&] {
    std::vector<StoredVerb> list{
        {OLEIVERB_PRIMARY, L"&Activate", OLEVERBATTRIB_ONCONTAINERMENU},
        {OLEIVERB_SHOW, L"", 0},
        {OLEIVERB_HIDE, L"", 0},
        {OLEIVERB_UIACTIVATE, L"", 0},
        {OLEIVERB_INPLACEACTIVATE, L"", 0},
    };
    ThrowIfFailed(CreateAndQuery<VerbEnumerator>(IID_IEnumOLEVERB, reinterpret_cast<void**>(verbs),
                                                 std::move(list)));
  });
}

STDMETHODIMP VerbsAndAdvise::Advise(IAdviseSink* sink, DWORD* connection) {
  ClearOutParameters(connection);
  if (!adviseHolder_) {
    HRESULT hr = ::CreateOleAdviseHolder(adviseHolder_.Put());
    if (FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, connection);
}

STDMETHODIMP VerbsAndAdvise::Unadvise(DWORD connection) {
  return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP VerbsAndAdvise::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
}

void VerbsAndAdvise::SendOnClose() {
  if (adviseHolder_) adviseHolder_->SendOnClose();
}

}  // namespace formsrt
