// Case-insensitive find and replace in a string buffer, with the positions
// and limits of the runtime: 1-based positions held as 16-bit integers, so
// an occurrence found, or a resume position, above 32,767 overflows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quennet::text_replace {

// The highest 1-based position a 16-bit integer holds.
inline constexpr size_t kMaxPosition = 32767;

struct Outcome {
  std::wstring text;        // the result; after an overflow, the replacements made so far
  bool overflowed = false;  // a position passed kMaxPosition
};

// The text in lower case under the user's locale, character for character,
// so that positions in it are positions in the original.
std::wstring FoldCase(std::wstring_view text);

// Finds one text in others, ignoring case. The search (Knuth-Morris-Pratt)
// prepares in time linear in the find and looks at each character of the
// text a bounded number of times, whatever the text and the find are: a
// long, repetitive find costs no more than its length.
class CaseInsensitiveSearch {
 public:
  explicit CaseInsensitiveSearch(std::wstring_view find);
  CaseInsensitiveSearch(const CaseInsensitiveSearch&) = delete;
  CaseInsensitiveSearch& operator=(const CaseInsensitiveSearch&) = delete;

  // The 1-based position of the first occurrence in foldedText (a text
  // passed through FoldCase) that starts at position `from` or later; 0 if
  // there is none or `from` lies beyond the end of the text. An empty find
  // is found at `from` itself.
  size_t FindFrom(std::wstring_view foldedText, size_t from) const;

 private:
  const std::wstring foldedFind_;
  // For each length n of a matched start of the find, the length of the
  // longest proper prefix of those n characters that is also their suffix.
  const std::vector<size_t> fallback_;
};

// Replaces the first occurrence of find, ignoring case.
Outcome ReplaceFirst(std::wstring_view text, std::wstring_view find, std::wstring_view replace);

// Replaces every occurrence from left to right, resuming after each
// inserted replacement, so matches never overlap and a replacement is never
// searched again. Time grows with the length of the text plus the matches.
Outcome ReplaceAll(std::wstring_view text, std::wstring_view find, std::wstring_view replace);

}  // namespace quennet::text_replace
