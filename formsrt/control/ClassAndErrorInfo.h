// The part of the control base that describes the control: its coclass's
// type information and its event interface (IProvideClassInfo2), its OLEMISC
// status, and which of its interfaces set error information
// (ISupportErrorInfo).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "control/ControlDescription.h"

namespace formsrt {

class ClassAndErrorInfo : public IProvideClassInfo2, public ISupportErrorInfo {
 public:
  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 protected:
  explicit ClassAndErrorInfo(const ControlDescription& description) : description_(description) {}
  ~ClassAndErrorInfo() = default;

  // IOleObject::GetMiscStatus, for every aspect.
  HRESULT MiscStatus(DWORD* status) const;

 private:
  const ControlDescription& description_;
};

}  // namespace formsrt
