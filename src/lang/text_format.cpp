#include "lang/text_format.h"

#include <cwctype>

namespace kovral {
namespace {

// A pattern without the placeholder comes back unchanged, so a translation
// that drops it still shows its text.
std::wstring Replace(std::wstring_view pattern, std::wstring_view placeholder, std::wstring_view with) {
  std::wstring out(pattern);
  const size_t at = out.find(placeholder);
  if (at != std::wstring::npos) out.replace(at, placeholder.size(), with);
  return out;
}

}  // namespace

std::wstring FormatNumber(std::wstring_view pattern, int64_t value) {
  return Replace(pattern, L"%d", std::to_wstring(value));
}

std::wstring FormatText(std::wstring_view pattern, std::wstring_view text) {
  return Replace(pattern, L"%s", text);
}

int DecimalValue(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > 1000000) value = 1000000;
  }
  return static_cast<int>(negative ? -value : value);
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
      return false;
  return true;
}

}  // namespace kovral
