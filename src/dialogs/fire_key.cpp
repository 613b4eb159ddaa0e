#include "dialogs/fire_key.h"

namespace kovral {

int DecimalValue(const std::wstring& text) {
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

namespace {

CheckedNumber Check(const std::wstring& typed, int low, int high, int replacement) {
  const int value = DecimalValue(typed);
  if (value < low || value > high) return {replacement, true, std::to_wstring(replacement)};
  return {value, false, typed};
}

}  // namespace

CheckedNumber CheckFireSpeed(const std::wstring& typed) { return Check(typed, 5, 255, 5); }
CheckedNumber CheckFireTimes(const std::wstring& typed) { return Check(typed, 0, 255, 1); }

}  // namespace kovral
