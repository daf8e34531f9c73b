// The real objects that the dispatch fuzzer hands to members besides its bad
// values, so that a member that takes one runs its success path too: a form
// of the runtime, a menu of that form with one item, a picture (the form's
// icon), and a form of another runtime reached by name, backed by a window.
// The runtime's form is made hidden and unloaded when this goes.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include "ByNameForm.h"
#include "com/ComPtr.h"
#include "forms/Form.h"
#include "forms/Menu.h"

namespace hardening {

class FuzzArguments {
 public:
  FuzzArguments();
  ~FuzzArguments();
  FuzzArguments(const FuzzArguments&) = delete;
  FuzzArguments& operator=(const FuzzArguments&) = delete;

  IDispatch* Form() const { return form_.Get(); }
  IDispatch* Menu() const { return menu_.Get(); }
  IDispatch* Picture() const { return picture_.Get(); }
  IDispatch* ByNameForm() const { return byNameForm_.Get(); }
  // The references held on the by-name form, this object's own included.
  ULONG ByNameFormReferences() const { return byNameForm_->References(); }

 private:
  formsrt::ComPtr<formsrt::Form> form_;
  formsrt::ComPtr<formsrt::Menu> menu_;
  formsrt::ComPtr<IPictureDisp> picture_;
  formsrt::ComPtr<testing_support::ByNameForm> byNameForm_;
};

}  // namespace hardening
