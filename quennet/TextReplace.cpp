#include "TextReplace.h"

#include <windows.h>

#include "core/RuntimeError.h"
#include "platform/Platform.h"

namespace quennet::text_replace {

std::wstring FoldCase(std::wstring_view text) {
  if (text.empty()) return {};
  std::wstring folded(text.size(), L'\0');
  int length = static_cast<int>(text.size());
  int written = formsrt::Kernel32().LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.data(), length,
                               folded.data(), length);
  // Simple case mapping keeps one character for one: anything else would
  // shift the positions, which the callers rely on.
  if (written != length) formsrt::ThrowLastError();
  return folded;
}

namespace {

std::vector<size_t> FallbackTable(std::wstring_view find) {
  std::vector<size_t> fallback(find.size() + 1, 0);
  size_t matched = 0;
  for (size_t i = 1; i < find.size(); ++i) {
    while (matched > 0 && find[i] != find[matched]) matched = fallback[matched];
    if (find[i] == find[matched]) ++matched;
    fallback[i + 1] = matched;
  }
  return fallback;
}

}  // namespace

CaseInsensitiveSearch::CaseInsensitiveSearch(std::wstring_view find)
    : foldedFind_(FoldCase(find)), fallback_(FallbackTable(foldedFind_)) {}

size_t CaseInsensitiveSearch::FindFrom(std::wstring_view foldedText, size_t from) const {
  if (foldedText.empty() || from == 0 || from > foldedText.size()) return 0;
  if (foldedFind_.empty()) return from;
  size_t matched = 0;
  for (size_t i = from - 1; i < foldedText.size(); ++i) {
    while (matched > 0 && foldedText[i] != foldedFind_[matched]) matched = fallback_[matched];
    if (foldedText[i] == foldedFind_[matched]) ++matched;
    if (matched == foldedFind_.size()) return i + 2 - matched;
  }
  return 0;
}

Outcome ReplaceFirst(std::wstring_view text, std::wstring_view find, std::wstring_view replace) {
  size_t position = CaseInsensitiveSearch(find).FindFrom(FoldCase(text), 1);
  if (position == 0) return {std::wstring(text)};
  if (position > kMaxPosition) return {std::wstring(text), true};
  std::wstring result(text.substr(0, position - 1));
  result += replace;
  result += text.substr(position - 1 + find.size());
  return {std::move(result)};
}

// An empty find returns the text unchanged. Taken literally, every search
// would succeed at the resume position itself, so the loop would never
// advance (empty replacement) or would run to the 16-bit limit and overflow;
// the runtime's own Replace function also leaves a text unchanged for an
// empty find, and that is what a caller expects of "replace all".
Outcome ReplaceAll(std::wstring_view text, std::wstring_view find, std::wstring_view replace) {
  if (find.empty()) return {std::wstring(text)};
  std::wstring foldedText = FoldCase(text);
  CaseInsensitiveSearch search(find);
  Outcome outcome;
  outcome.text.reserve(text.size());
  size_t copied = 0;  // characters of `text` already moved into the result
  size_t found = search.FindFrom(foldedText, 1);
  while (found != 0) {
    // The position in the text as it stands after the replacements so far.
    size_t position = outcome.text.size() + (found - 1 - copied) + 1;
    if (position > kMaxPosition) {
      outcome.overflowed = true;
      break;
    }
    outcome.text.append(text.substr(copied, found - 1 - copied));
    outcome.text.append(replace);
    copied = found - 1 + find.size();
    if (position + replace.size() > kMaxPosition) {
      outcome.overflowed = true;
      break;
    }
    // The rest of the current text is the rest of the original: search there.
    found = search.FindFrom(foldedText, copied + 1);
  }
  outcome.text.append(text.substr(copied));
  return outcome;
}

}  // namespace quennet::text_replace
