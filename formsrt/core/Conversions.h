// The runtime's conversions, done by the platform's automation functions so
// that rounding, locale-aware parsing and overflow follow the runtime's rules.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

namespace formsrt {

// Rounds to the nearest whole number, halves to even; error 6 out of range.
SHORT ToInt16(double value);
LONG ToInt32(double value);

// A value as the runtime converts it on assignment (an object by its default
// member): error 13 when it cannot be converted, error 6 when it does not fit.
LONG ToInt32(const VARIANT& value);
double ToDouble(const VARIANT& value);

// Parses text under the user's locale; a fraction rounds half to even.
// Error 13 for text that is not a number, error 6 outside the 32-bit range.
LONG TextToInt32(std::wstring_view text);

std::wstring Int32ToText(LONG value);

// Formats a date and time with a pattern such as "hh:nn:ss"; ':' stands for
// the system's time separator.
std::wstring FormatDateTime(DATE value, std::wstring_view pattern);
DATE CurrentLocalTime();

// Compares under the user's locale, ignoring case: <0, 0 or >0.
int CompareIgnoringCase(std::wstring_view a, std::wstring_view b);

// Whether two names (keys, switches) are equal ignoring case, character by
// character and the same under every locale.
bool EqualsOrdinalIgnoringCase(std::wstring_view a, std::wstring_view b);

// Wide text to and from the system's 8-bit code page, for the "A" entry points.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

// Wide text in an 8-bit code page, cut to at most maxBytes at a character
// boundary: a character whose bytes do not all fit is left out whole, and a
// UTF-16 surrogate pair counts as one character.
std::string ToAnsiWithin(std::wstring_view text, size_t maxBytes, UINT codePage = CP_ACP);

}  // namespace formsrt
