#include "dialogs/fire_key.h"

namespace kovral {

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
