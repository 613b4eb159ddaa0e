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

// The check without the text agrees with the conversion's flag, also where
// a sequence starts or is broken right after a run of eight ASCII bytes.
TEST(TextEncoding, Utf8CheckAgreesWithTheConversion) {
  const std::string pieces[] = {"", "a", "abcdefgh", "abcdefg", "\xE5\xB7\xA6", "\xF0\x9F\x98\x80", "\xE9",
                                "\xC0\xAF", "\xE5\xB7", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xFF",
                                "\xC3", "\xA9"};
  int invalid = 0;
  for (const std::string& a : pieces)
    for (const std::string& b : pieces)
      for (const std::string& c : pieces) {
        const std::string bytes = a + b + c;
        bool valid = false;
        FromUtf8(bytes, &valid);
        EXPECT_EQ(IsValidUtf8(bytes), valid) << testing::PrintToString(bytes);
        invalid += valid ? 0 : 1;
      }
  EXPECT_GT(invalid, 0);
  EXPECT_TRUE(IsValidUtf8("abcdefgh\xC3\xA9"));
  EXPECT_FALSE(IsValidUtf8("abcdefgh\xC3"));
  EXPECT_FALSE(IsValidUtf8("abcdefg\xC3" "abcdefgh"));
  EXPECT_FALSE(IsValidUtf8("abcdefghabcdefgh\xED\xA0\x80"));  // a surrogate
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
