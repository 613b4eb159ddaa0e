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

}  // namespace kovral
