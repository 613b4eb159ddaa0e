#pragma once
// Filling the one placeholder of a message text. Done by hand rather than
// with swprintf, whose "%s" means a narrow string in standard C but a wide
// one in the Microsoft runtime.
#include <cstdint>
#include <string>
#include <string_view>

namespace kovral {

// The pattern with its first "%d" replaced by the value in decimal.
std::wstring FormatNumber(std::wstring_view pattern, int64_t value);
// The pattern with its first "%s" replaced by the text.
std::wstring FormatText(std::wstring_view pattern, std::wstring_view text);

// The decimal value of a typed or stored number as the C runtime's _wtoi
// reads it (leading white space, a sign, then digits; 0 for none), except that
// a long run of digits saturates at one million instead of overflowing.
int DecimalValue(std::wstring_view text);

// Equal without regard to letter case, as Windows compares file names (simple
// case folding letter by letter: the file system's own table differs only for
// a few exotic letters).
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace kovral
