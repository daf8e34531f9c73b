// QuennetCtl: text find and replace. The work is done in a string buffer;
// Text1, the control's working text box, receives the result (or, after an
// overflow, the text with the replacements made so far).
#include "QuennetCtl.h"

#include "TextReplace.h"
#include "core/Bstr.h"
#include "core/RuntimeError.h"

namespace quennet {

namespace {

std::wstring_view View(const BSTR* text) {
  return *text ? std::wstring_view(*text, ::SysStringLen(*text)) : std::wstring_view();
}

}  // namespace

STDMETHODIMP QuennetCtl::FCxFindReplace1st(BSTR* InitString, BSTR* Find, BSTR* Replace,
                                           VARIANT* result) {
  return FindReplace(text_replace::ReplaceFirst, InitString, Find, Replace, result);
}

STDMETHODIMP QuennetCtl::FCxFindReplaceAll(BSTR* InitString, BSTR* Find, BSTR* Replace,
                                           VARIANT* result) {
  return FindReplace(text_replace::ReplaceAll, InitString, Find, Replace, result);
}

HRESULT QuennetCtl::FindReplace(text_replace::Outcome (*replacer)(std::wstring_view,
                                                                  std::wstring_view,
                                                                  std::wstring_view),
                                BSTR* InitString, BSTR* Find, BSTR* Replace, VARIANT* result) {
  return Member(result, {InitString, Find, Replace}, [&] {
    text_replace::Outcome outcome = replacer(View(InitString), View(Find), View(Replace));
    Text1.SetText(outcome.text);
    if (outcome.overflowed) formsrt::Raise(formsrt::error::Overflow);
    formsrt::Variant::FromText(outcome.text).MoveTo(result);
  });
}

}  // namespace quennet
