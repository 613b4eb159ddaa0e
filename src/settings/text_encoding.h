#pragma once
// Conversions between the program's text (std::wstring: UTF-16 on Windows,
// UTF-32 elsewhere) and the byte encodings files and POSIX paths use.
#include <string>
#include <string_view>

namespace kovral {

std::string ToUtf8(std::wstring_view text);
// Malformed sequences become U+FFFD; *valid (when given) tells whether any were found.
std::wstring FromUtf8(std::string_view bytes, bool* valid = nullptr);
// Whether FromUtf8 would find the bytes well-formed, without building the text.
bool IsValidUtf8(std::string_view bytes);

std::u16string ToUtf16(std::wstring_view text);
std::wstring FromUtf16(std::u16string_view units);

// Windows-1252 bytes ("ANSI" on western systems) to text.
std::wstring FromWindows1252(std::string_view bytes);

// Number of UTF-16 code units the text occupies.
size_t Utf16Length(std::wstring_view text);
// The longest prefix of the text that fits in maxUnits UTF-16 code units,
// never splitting a surrogate pair.
std::wstring TruncateUtf16(std::wstring_view text, size_t maxUnits);

}  // namespace kovral
