#include "FuzzArguments.h"

#include "core/RuntimeError.h"

namespace hardening {

FuzzArguments::FuzzArguments()
    : form_(formsrt::Form::Create(L"Fuzzed form", {1500, 1500, 4800, 3600})),
      menu_(form_->AddMenu(L"Fuzzed menu")),
      byNameForm_(testing_support::ByNameForm::Create(L"Fuzzed form of another runtime")) {
  menu_->AddItem(L"&Item", [] {});
  formsrt::ThrowIfFailed(form_->get_Icon(picture_.Put()));
}

FuzzArguments::~FuzzArguments() { form_->Unload(); }

}  // namespace hardening
