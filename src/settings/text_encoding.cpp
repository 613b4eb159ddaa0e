#include "settings/text_encoding.h"

#include <cstdint>
#include <cstring>

namespace kovral {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A character outside the BMP held in one wide character (only where wchar_t has 32 bits).
template <typename Wide>
bool IsAstral(Wide c) {
  if constexpr (sizeof(Wide) == 2) {
    return false;
  } else {
    return static_cast<uint32_t>(c) > 0xFFFF;
  }
}

// Walks the code points of a wide string. On Windows a surrogate pair is one
// code point; a lone surrogate is passed on as it stands so that nothing is lost.
template <typename Visit>
void ForEachCodePoint(std::wstring_view text, Visit visit) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (kWideIsUtf16) {
      c &= 0xFFFF;
      if (IsHighSurrogate(c) && i + 1 < text.size()) {
        const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
        if (IsLowSurrogate(low)) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
    }
    visit(c);
  }
}

void AppendCodePoint(std::wstring& out, char32_t c) {
  if constexpr (kWideIsUtf16) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(c));
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&out](char32_t c) {
    if (c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  });
  return out;
}

namespace {

// One character of UTF-8 from bytes[i]: the bytes it takes (at least one) and
// its code point, or kInvalid for a malformed sequence (an overlong form, a
// surrogate, a value past U+10FFFF, a stray or cut-short sequence), which then
// takes its lead and the continuation bytes that belonged to it.
constexpr char32_t kInvalid = 0xFFFFFFFF;
size_t DecodeUtf8At(std::string_view bytes, size_t i, char32_t& c) {
  const uint8_t lead = static_cast<uint8_t>(bytes[i]);
  int extra = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    c = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, c = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, c = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, c = lead & 0x07, minimum = 0x10000;
  } else {
    c = kInvalid;
    return 1;
  }
  size_t j = 1;
  for (; j <= static_cast<size_t>(extra); ++j) {
    if (i + j >= bytes.size()) break;
    const uint8_t next = static_cast<uint8_t>(bytes[i + j]);
    if ((next & 0xC0) != 0x80) break;
    c = (c << 6) | (next & 0x3F);
  }
  if (j <= static_cast<size_t>(extra) || c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kInvalid;
  return j;
}

}  // namespace

std::wstring FromUtf8(std::string_view bytes, bool* valid) {
  std::wstring out;
  out.reserve(bytes.size());
  bool ok = true;
  for (size_t i = 0; i < bytes.size();) {
    char32_t c = 0;
    i += DecodeUtf8At(bytes, i, c);
    if (c == kInvalid) {
      ok = false;
      out.push_back(static_cast<wchar_t>(kReplacement));
    } else {
      AppendCodePoint(out, c);
    }
  }
  if (valid) *valid = ok;
  return out;
}

// ASCII, by far the most common, is passed over eight bytes at a time.
bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    if (i + 8 <= bytes.size()) {
      uint64_t eight;
      std::memcpy(&eight, bytes.data() + i, 8);
      if ((eight & 0x8080808080808080ull) == 0) {
        i += 8;
        continue;
      }
    }
    char32_t c = 0;
    i += DecodeUtf8At(bytes, i, c);
    if (c == kInvalid) return false;
  }
  return true;
}

std::u16string ToUtf16(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  if constexpr (kWideIsUtf16) {
    for (wchar_t c : text) out.push_back(static_cast<char16_t>(c));
  } else {
    for (wchar_t w : text) {
      char32_t c = static_cast<char32_t>(w);
      if (c > 0x10FFFF) c = kReplacement;
      if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
      } else {
        out.push_back(static_cast<char16_t>(c));
      }
    }
  }
  return out;
}

std::wstring FromUtf16(std::u16string_view units) {
  std::wstring out;
  out.reserve(units.size());
  if constexpr (kWideIsUtf16) {
    for (char16_t c : units) out.push_back(static_cast<wchar_t>(c));
  } else {
    for (size_t i = 0; i < units.size(); ++i) {
      char32_t c = units[i];
      if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
        c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
        ++i;
      }
      out.push_back(static_cast<wchar_t>(c));
    }
  }
  return out;
}

std::wstring FromWindows1252(std::string_view bytes) {
  // 0x80..0x9F differ from Latin-1; the five undefined positions keep their value.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::wstring out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const uint8_t b = static_cast<uint8_t>(ch);
    out.push_back(static_cast<wchar_t>(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b));
  }
  return out;
}

size_t Utf16Length(std::wstring_view text) {
  size_t units = 0;
  for (wchar_t c : text) units += IsAstral(c) ? 2 : 1;
  return units;
}

std::wstring TruncateUtf16(std::wstring_view text, size_t maxUnits) {
  size_t units = 0;
  size_t i = 0;
  while (i < text.size()) {
    size_t width = 1;
    if constexpr (kWideIsUtf16) {
      if (IsHighSurrogate(static_cast<char32_t>(text[i]) & 0xFFFF) && i + 1 < text.size() &&
          IsLowSurrogate(static_cast<char32_t>(text[i + 1]) & 0xFFFF)) {
        width = 2;
      }
      if (units + width > maxUnits) break;
      units += width;
      i += width;
    } else {
      width = IsAstral(text[i]) ? 2 : 1;
      if (units + width > maxUnits) break;
      units += width;
      ++i;
    }
  }
  return std::wstring(text.substr(0, i));
}

}  // namespace kovral
