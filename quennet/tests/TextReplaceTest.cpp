// Find and replace in the string buffer: the cases that catch real faults.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "TextReplace.h"

using namespace quennet::text_replace;

namespace {

// The text after replacing the first match, or every one; nothing may overflow.
template <Outcome (*Replace)(std::wstring_view, std::wstring_view, std::wstring_view)>
std::wstring Replaced(std::wstring_view text, std::wstring_view find, std::wstring_view replace) {
  Outcome outcome = Replace(text, find, replace);
  EXPECT_FALSE(outcome.overflowed);
  return outcome.text;
}
constexpr auto First = Replaced<ReplaceFirst>;
constexpr auto All = Replaced<ReplaceAll>;

// A text of `length` characters with `find` starting at 1-based `position`.
std::wstring TextWith(size_t length, std::wstring_view find, size_t position) {
  std::wstring text(length, L'.');
  text.replace(position - 1, find.size(), find);
  return text;
}

}  // namespace

TEST(TextReplace, IgnoresCaseAndKeepsTheReplacementAsGiven) {
  EXPECT_EQ(L"Bye hello", First(L"Hello hello", L"HELLO", L"Bye"));
  EXPECT_EQ(L"Bye Bye", All(L"Hello hello", L"HELLO", L"Bye"));
  EXPECT_EQ(L"xYz-xYz", All(L"aBc-AbC", L"abc", L"xYz"));
}

TEST(TextReplace, NoOccurrenceAndEmptyTexts) {
  EXPECT_EQ(L"abc", First(L"abc", L"x", L"y"));
  EXPECT_EQ(L"abc", All(L"abc", L"x", L"y"));
  EXPECT_EQ(L"", First(L"", L"x", L"y"));
  EXPECT_EQ(L"", All(L"", L"x", L"y"));
  EXPECT_EQ(L"", First(L"", L"", L"y"));
  // A partial match broken by any other character starts again.
  EXPECT_EQ(L"acb", First(L"acb", L"ab", L"X"));
  // After a broken partial match only a true suffix of it counts as matched.
  EXPECT_EQ(L"bbabac", First(L"bbabac", L"bbac", L"X"));
  EXPECT_EQ(L"baac", First(L"baac", L"bac", L"X"));
  EXPECT_EQ(L"a\x00E0b", All(L"a\x00E0b", L"ab", L"X"));
  EXPECT_EQ(L"a-b-c", All(L"a, b, c", L", ", L"-"));
  EXPECT_EQ(L"bc", All(L"abcA", L"a", L""));  // an empty replacement deletes
}

TEST(TextReplace, EmptyFind) {
  // The first occurrence of nothing is position 1: the replacement goes in front.
  EXPECT_EQ(L">abc", First(L"abc", L"", L">"));
  // Replacing every occurrence of nothing ends at once and changes nothing.
  EXPECT_EQ(L"abc", All(L"abc", L"", L">"));
  EXPECT_EQ(L"abc", All(L"abc", L"", L""));
}

TEST(TextReplace, MatchesNeverOverlapAndReplacementsAreNotSearchedAgain) {
  EXPECT_EQ(L"ba", All(L"aaa", L"aa", L"b"));
  EXPECT_EQ(L"AAA", All(L"aaa", L"a", L"A"));
  EXPECT_EQ(L"aaXaa", All(L"aXa", L"a", L"aa"));
  // "ab" formed by the inserted "a" and the "b" after it begins before the
  // resume position, so it is not replaced.
  EXPECT_EQ(L"aab", All(L"aabb", L"ab", L"a"));
}

TEST(TextReplace, LineBreaksAndNonAsciiLetters) {
  EXPECT_EQ(L"row 1\r\nrow 2\nrow 3", All(L"Line 1\r\nLINE 2\nline 3", L"line", L"row"));
  EXPECT_EQ(L"Birne und Birne, \x00C9t\x00E9",
            All(L"\x00C4pfel und \x00E4PFEL, \x00C9t\x00E9", L"\x00E4pfel", L"Birne"));
  EXPECT_EQ(L"\x0394-\x0394", All(L"\x03B1\x03B2-\x0391\x0392", L"\x03B1\x03B2", L"\x0394"));
  EXPECT_EQ(L"a b", All(L"a\r\nb", L"\r\n", L" "));
}

TEST(TextReplace, PositionsAbove32767Overflow) {
  Outcome lastAllowed = ReplaceFirst(TextWith(40000, L"ab", 32767), L"AB", L"x");
  EXPECT_EQ(std::make_tuple(false, 39999u), std::make_tuple(lastAllowed.overflowed, lastAllowed.text.size()));

  std::wstring beyond = TextWith(40000, L"ab", 32768);
  Outcome first = ReplaceFirst(beyond, L"ab", L"x");
  EXPECT_EQ(std::make_tuple(true, beyond), std::make_tuple(first.overflowed, first.text));  // nothing was replaced
  EXPECT_TRUE(ReplaceAll(beyond, L"ab", L"x").overflowed);
}

TEST(TextReplace, ReplaceAllKeepsTheReplacementsMadeBeforeAnOverflow) {
  // The first match is replaced; the resume position after its long
  // replacement passes the limit.
  std::wstring text = TextWith(40000, L"ab", 32000);
  Outcome outcome = ReplaceAll(text, L"ab", std::wstring(800, L'z'));
  EXPECT_EQ(std::make_tuple(true, 40000u - 2 + 800), std::make_tuple(outcome.overflowed, outcome.text.size()));
  EXPECT_EQ(std::wstring(800, L'z'), outcome.text.substr(31999, 800));

  // Positions count in the text as it grows: the second match moves past
  // the limit because the first replacement is longer than what it replaced.
  std::wstring two = TextWith(40000, L"ab", 10);
  two.replace(32700, 2, L"ab");
  Outcome grown = ReplaceAll(two, L"ab", std::wstring(100, L'y'));
  EXPECT_TRUE(grown.overflowed);
  EXPECT_EQ(std::wstring(100, L'y'), grown.text.substr(9, 100));
  EXPECT_EQ(L"ab", grown.text.substr(32700 + 98, 2));
}

TEST(TextReplace, FindsThatRepeatThemselvesAreFoundWhereTheyStart) {
  EXPECT_EQ(L"aX", All(L"aaab", L"aab", L"X"));
  EXPECT_EQ(L"abX", First(L"abababc", L"ABABC", L"X"));
  EXPECT_EQ(L"X-X", All(L"abcab-abcab", L"abcab", L"X"));
  // A long find made of one repeated character, against a text that matches
  // it only at its end: the kind of input that makes a naive search slow.
  std::wstring find = std::wstring(20000, L'a') + L"b";
  std::wstring replaced = First(std::wstring(30000, L'a') + L"b", find, L"X");
  EXPECT_TRUE(std::wstring(10000, L'a') + L"X" == replaced);
  EXPECT_EQ(L"short", All(L"short", find, L"X"));
}

TEST(TextReplace, LongTextsWithEarlyMatchesWork) {
  std::wstring text = TextWith(1000000, L"ab", 10);
  std::wstring result = All(text, L"AB", L"c");
  EXPECT_EQ(std::make_tuple(999999u, L'c'), std::make_tuple(result.size(), result[9]));
}

// The 16-bit limit, one side and the other: positions are 1-based, so a
// match at 32,767, or a search resumed at 32,767, still fits.
TEST(TextReplace, ReplaceAllAtTheLimitOfAPosition) {
  struct Case {
    const char* what;
    size_t first, second;  // where "ab" stands in the original text (0: nowhere)
    size_t replaceLength;
    bool overflows;
    size_t replaced;  // replacements made before the end or the overflow
  };
  const Case cases[] = {
      {"a match at 32,767, nothing inserted", 32767, 0, 0, false, 1},
      {"a match at 32,767, resuming at 32,768", 32767, 0, 1, true, 1},
      {"a match at 32,768", 32768, 0, 0, true, 0},
      {"resuming exactly at 32,767", 32760, 0, 7, false, 1},
      {"resuming at 32,768", 32760, 0, 8, true, 1},
      {"a match moved to 32,767 by a longer replacement", 10, 32765, 4, true, 2},
      {"a match moved to 32,768 by a longer replacement", 10, 32766, 4, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring text = TextWith(40000, L"ab", c.first);
    if (c.second) text.replace(c.second - 1, 2, L"ab");
    std::wstring replace(c.replaceLength, L'r');
    Outcome outcome = ReplaceAll(text, L"AB", replace);
    EXPECT_EQ(c.overflows, outcome.overflowed);
    size_t left = 0;
    for (size_t at = outcome.text.find(L"ab"); at != std::wstring::npos;
         at = outcome.text.find(L"ab", at + 1)) {
      ++left;
    }
    EXPECT_EQ((c.second ? 2u : 1u) - c.replaced, left);
    EXPECT_EQ(text.size() + c.replaced * c.replaceLength - c.replaced * 2, outcome.text.size());
  }
}
