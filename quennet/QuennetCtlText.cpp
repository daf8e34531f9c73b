// QuennetCtl: text find and replace. The work is done in a string buffer;
// Text1, the control's working text box, receives the result (or, after an
// overflow, the text with the replacements made so far).
#include "QuennetCtl.h"

#include "TextReplace.h"
#include "com/Bstr.h"
#include "com/RuntimeError.h"

namespace quennet {

namespace {

std::wstring_view View(const BSTR* text) {
  return *text ? std::wstring_view(*text, ::SysStringLen(*text)) : std::wstring_view();
}

}  // namespace

STDMETHODIMP QuennetCtl::FCxFindReplace1st(BSTR* InitString, BSTR* Find, BSTR* Replace,
                                           VARIANT* result) {
  if (!InitString || !Find || !Replace || !result) return E_POINTER;
  return Guard([&] {
    text_replace::Outcome outcome =
        text_replace::ReplaceFirst(View(InitString), View(Find), View(Replace));
    Text1.SetText(outcome.text);
    if (outcome.overflowed) formsrt::Raise(formsrt::error::Overflow);
    formsrt::Variant::FromText(outcome.text).MoveTo(result);
  });
}

STDMETHODIMP QuennetCtl::FCxFindReplaceAll(BSTR* InitString, BSTR* Find, BSTR* Replace,
                                           VARIANT* result) {
  if (!InitString || !Find || !Replace || !result) return E_POINTER;
  return Guard([&] {
    text_replace::Outcome outcome =
        text_replace::ReplaceAll(View(InitString), View(Find), View(Replace));
    Text1.SetText(outcome.text);
    if (outcome.overflowed) formsrt::Raise(formsrt::error::Overflow);
    formsrt::Variant::FromText(outcome.text).MoveTo(result);
  });
}

}  // namespace quennet
