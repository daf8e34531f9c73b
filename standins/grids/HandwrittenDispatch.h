// IDispatch for a dispinterface whose members are dispatched by hand: one
// switch on the DISPID instead of the type library's generic Invoke, which
// keeps a single-cell write cheap enough for a grid that receives a million.
// The type library still gives the names, DISPIDs and type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "DispatchArguments.h"
#include "com/ComPtr.h"

namespace standins {

class HandwrittenDispatch : public IDispatch {
 public:
  HandwrittenDispatch(const wchar_t* source, REFIID dispinterface);

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  // A RuntimeError thrown by Dispatch reaches the client as DISP_E_EXCEPTION
  // with its number and text in the EXCEPINFO. DISPPARAMS that contradict
  // themselves are refused with DISP_E_BADPARAMCOUNT, an argument passed by
  // reference through a null pointer with DISP_E_TYPEMISMATCH.
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

 protected:
  ~HandwrittenDispatch() = default;

  // Runs one member; throws ComError(DISP_E_MEMBERNOTFOUND) for an unknown
  // DISPID or a kind of access the member does not have.
  virtual void Dispatch(DISPID id, WORD flags, const DispatchArguments& args, VARIANT* result) = 0;

  static bool IsPut(WORD flags) { return flags & DISPATCH_PROPERTYPUT; }
  [[noreturn]] static void NoSuchMember();

 private:
  // The member's name in the type information (its number if it has none).
  std::wstring NameOf(DISPID id) const;

  const wchar_t* source_;
  const IID& iid_;
  formsrt::ComPtr<ITypeInfo> typeInfo_;
};

// Results of a member, for the VARIANT* that Invoke hands in (which may be
// null when the caller wants no result).
void ReturnInt32(VARIANT* result, LONG value);
void ReturnBoolean(VARIANT* result, bool value);
void ReturnText(VARIANT* result, std::wstring_view text);

}  // namespace standins
