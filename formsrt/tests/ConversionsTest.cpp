#include <gtest/gtest.h>

#include <utility>

#include "ErrorNumber.h"
#include "core/Conversions.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"

using namespace formsrt;
using testing_support::ErrorNumberOf;

TEST(Conversions, FloatingPointToInt16RoundsHalvesToEven) {
  const std::pair<double, SHORT> rounded[] = {{5272.5, 5272}, {5257.5, 5258}, {-2.5, -2},
                                              {2.51, 3},       {32767.4, 32767}, {-32768.5, -32768}};
  for (const auto& [value, expected] : rounded) EXPECT_EQ(expected, ToInt16(value)) << value;
  for (double value : {32767.5, -40000.0}) EXPECT_EQ(error::Overflow, ErrorNumberOf([=] { ToInt16(value); })) << value;
}

TEST(Conversions, TextToInt32FollowsTheRuntimesRules) {
  const std::pair<const wchar_t*, LONG> read[] = {
      {L"1000", 1000}, {L"12.5", 12}, {L"13.5", 14}, {L" -7 ", -7}, {L"2147483647", 2147483647}};
  for (const auto& [text, expected] : read) EXPECT_EQ(expected, TextToInt32(text)) << text;
  EXPECT_EQ(error::TypeMismatch, ErrorNumberOf([] { TextToInt32(L"abc"); }));
  EXPECT_EQ(error::TypeMismatch, ErrorNumberOf([] { TextToInt32(L""); }));
  EXPECT_EQ(error::Overflow, ErrorNumberOf([] { TextToInt32(L"2147483648"); }));
  EXPECT_EQ(L"-12", Int32ToText(-12));
}

TEST(Conversions, TimeIsFormattedWithTwoDigitsPerField) {
  SYSTEMTIME time{2026, 12, 1, 7, 9, 5, 3, 0};
  DATE value = 0;
  ASSERT_TRUE(::SystemTimeToVariantTime(&time, &value));
  EXPECT_EQ(L"09:05:03", FormatDateTime(value, L"hh:nn:ss"));
  time.wHour = 23;
  ASSERT_TRUE(::SystemTimeToVariantTime(&time, &value));
  EXPECT_EQ(L"23:05:03", FormatDateTime(value, L"hh:nn:ss"));
}

TEST(Conversions, ComparisonIgnoresCase) {
  EXPECT_EQ(0, CompareIgnoringCase(L"Hello", L"hELLO"));
  EXPECT_EQ(0, CompareIgnoringCase(L"\u00c9t\u00e9", L"\u00e9T\u00c9"));
  EXPECT_LT(CompareIgnoringCase(L"abc", L"abd"), 0);
  EXPECT_GT(CompareIgnoringCase(L"b", L"A"), 0);
}

TEST(Conversions, WideTextRoundTripsThroughTheAnsiCodePage) {
  EXPECT_EQ("Tray tip", ToAnsi(L"Tray tip"));
  EXPECT_EQ(L"Tray tip", FromAnsi("Tray tip"));
  EXPECT_EQ("", ToAnsi(L""));
  // A character that the 8-bit code page cannot hold comes back changed.
  std::wstring han = L"\u4e2d";
  EXPECT_NE(han, FromAnsi(ToAnsi(han)));
}

// 63 characters of Japanese text take 126 bytes in code page 932 and 189 in
// UTF-8: a cut to 63 bytes keeps whole characters only.
TEST(Conversions, TextCutToABytesLimitKeepsWholeCharactersInEveryCodePage) {
  const std::wstring kana(63, L'\u30a2');  // KATAKANA LETTER A: 2 bytes in 932, 3 in UTF-8
  EXPECT_EQ(62u, ToAnsiWithin(kana, 63, 932).size());
  EXPECT_EQ(ToAnsiWithin(std::wstring(31, L'\u30a2'), 100, 932), ToAnsiWithin(kana, 63, 932));
  EXPECT_EQ(ToAnsiWithin(std::wstring(21, L'\u30a2'), 100, CP_UTF8), ToAnsiWithin(kana, 63, CP_UTF8));
  EXPECT_EQ(63u, ToAnsiWithin(kana, 63, CP_UTF8).size());

  // Single bytes before a double-byte character that no longer fits.
  std::wstring mixed = std::wstring(62, L'a') + L"\u30a2";
  EXPECT_EQ(std::string(62, 'a'), ToAnsiWithin(mixed, 63, 932));
  EXPECT_EQ(std::string(62, 'a'), ToAnsiWithin(mixed, 63, CP_UTF8));
  EXPECT_EQ(std::string(62, 'a') + "\xe3\x82\xa2", ToAnsiWithin(mixed, 65, CP_UTF8));

  // A surrogate pair is one character of four UTF-8 bytes: all of it or none.
  std::wstring emoji = std::wstring(60, L'a') + L"\U0001F600";
  EXPECT_EQ(std::string(60, 'a'), ToAnsiWithin(emoji, 63, CP_UTF8));
  EXPECT_EQ(std::string(60, 'a') + "\xf0\x9f\x98\x80", ToAnsiWithin(emoji, 64, CP_UTF8));

  EXPECT_EQ("short", ToAnsiWithin(L"short", 63, 932));
  EXPECT_EQ("", ToAnsiWithin(L"", 63, CP_UTF8));
}

TEST(Conversions, NamesCompareOrdinallyIgnoringCaseWithAndWithoutThePlatformsOrdinalCompare) {
  for (bool ordinalAvailable : {true, false}) {
    PlatformOverride<Kernel32Api> kernel32(Kernel32());
    if (!ordinalAvailable) kernel32->CompareStringOrdinal = nullptr;
    EXPECT_TRUE(EqualsOrdinalIgnoringCase(L"QuietErrors", L"quieterrors")) << ordinalAvailable;
    EXPECT_TRUE(EqualsOrdinalIgnoringCase(L"user", L"USER")) << ordinalAvailable;
    EXPECT_FALSE(EqualsOrdinalIgnoringCase(L"user", L"users")) << ordinalAvailable;
    EXPECT_FALSE(EqualsOrdinalIgnoringCase(L"STxMenu", L"STxTrayTTT")) << ordinalAvailable;
  }
}
