#include "lang/text_format.h"

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

}  // namespace kovral
