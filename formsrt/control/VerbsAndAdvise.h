// The part of the control base that answers IOleObject's verbs and advise
// sinks: the verbs it offers (EnumVerbs), the IAdviseSinks a container
// registers (Advise, Unadvise, EnumAdvise, kept by an OLE advise holder),
// and what the control does not support (monikers, data transfer). What
// IOleObject says of the site, the extent, activation and status is the
// control base's, which brings the parts together.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "com/ComPtr.h"

namespace formsrt {

class VerbsAndAdvise : public IOleObject {
 public:
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

 protected:
  explicit VerbsAndAdvise(const wchar_t* errorSource) : errorSource_(errorSource) {}
  ~VerbsAndAdvise() = default;

  // Tells every advise sink that the control closed.
  void SendOnClose();
  // Lets go of the advise sinks: the final release, while the object is
  // still whole for a sink that calls back as it goes.
  void ReleaseAdviseSinks() { adviseHolder_.Reset(); }

 private:
  const wchar_t* errorSource_;
  ComPtr<IOleAdviseHolder> adviseHolder_;  // made at the first Advise
};

}  // namespace formsrt
