#include "control/ClassAndErrorInfo.h"

#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "com/TypeInformation.h"

namespace formsrt {

STDMETHODIMP ClassAndErrorInfo::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return ComBoundary(description_.title, IID_IProvideClassInfo,
                     [&] { ModuleTypeInfo(description_.clsid).CopyTo(info); });
}

STDMETHODIMP ClassAndErrorInfo::GetGUID(DWORD kind, GUID* guid) {
  ClearOutParameters(guid);
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = description_.eventInterface;
  // A control without events has no such interface.
  return description_.eventInterface != IID_NULL ? S_OK : E_FAIL;
}

STDMETHODIMP ClassAndErrorInfo::InterfaceSupportsErrorInfo(REFIID iid) {
  bool supported = iid == description_.defaultInterface || iid == IID_IPersistStreamInit ||
                   iid == IID_IPersistPropertyBag;
  return supported ? S_OK : S_FALSE;
}

HRESULT ClassAndErrorInfo::MiscStatus(DWORD* status) const {
  if (!status) return E_POINTER;
  *status = description_.miscStatus;
  return S_OK;
}

}  // namespace formsrt
