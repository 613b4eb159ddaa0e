#include <gtest/gtest.h>

#include "settings/text_encoding.h"

namespace kovral {
namespace {

TEST(TextEncoding, Utf8RoundTripsChineseAndCharactersBeyondTheBmp) {
  const std::wstring text = L"左键 Key Off 😀";
  const std::string utf8 = ToUtf8(text);
  EXPECT_EQ(utf8, "\xE5\xB7\xA6\xE9\x94\xAE Key Off \xF0\x9F\x98\x80");
  bool valid = false;
  EXPECT_EQ(FromUtf8(utf8, &valid), text);
  EXPECT_TRUE(valid);
}

TEST(TextEncoding, MalformedUtf8IsFlaggedAndReplaced) {
  bool valid = true;
  EXPECT_EQ(FromUtf8("a\xE9z", &valid), L"a\uFFFDz");  // a Windows-1252 byte, not UTF-8
  EXPECT_FALSE(valid);
  EXPECT_EQ(FromUtf8("\xC0\xAF", &valid), L"\uFFFD");  // overlong '/'
  EXPECT_FALSE(valid);
  EXPECT_EQ(FromUtf8("\xE5\xB7", &valid), L"\uFFFD");  // cut short
  EXPECT_FALSE(valid);
  EXPECT_EQ(FromWindows1252("Caf\xE9 \x80"), L"Caf\u00E9 \u20AC");
}

TEST(TextEncoding, Utf16UsesSurrogatePairsAndCountsThem) {
  const std::wstring text = L"宏😀";
  EXPECT_EQ(ToUtf16(text), (std::u16string{0x5B8F, 0xD83D, 0xDE00}));
  EXPECT_EQ(FromUtf16(std::u16string{0x5B8F, 0xD83D, 0xDE00}), text);
  EXPECT_EQ(Utf16Length(text), 3u);
  EXPECT_EQ(TruncateUtf16(text, 2), L"宏");
  EXPECT_EQ(TruncateUtf16(text, 3), text);
}

}  // namespace
}  // namespace kovral
