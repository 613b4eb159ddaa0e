// What the portable store does beyond the shared contract: the encodings it
// reads, what a rewrite keeps, and the section listing limit.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/ini_store.h"
#include "settings/text_encoding.h"
#include "settings_memory_fs.h"

namespace kovral::testing {
namespace {

using ::testing::ElementsAre;

constexpr wchar_t kIni[] = L"C:\\Kovral\\str.ini";

std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::wstring StoredText(MemoryFileSystem& files) {
  const std::vector<uint8_t>& bytes = files.files.at(kIni);
  EXPECT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  std::u16string units;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
  return FromUtf16(units);
}

TEST(FileIniStore, ReadsUtf8WithAndWithoutMarkAndFallsBackToWindows1252) {
  MemoryFileSystem files;
  FileIniStore store(files);
  files.files[kIni] = Bytes("\xEF\xBB\xBF[Setting-CHS]\r\nItem1=\xE5\xB7\xA6\xE9\x94\xAE\r\n");
  EXPECT_EQ(store.Get(kIni, L"Setting-CHS", L"Item1"), L"左键");
  files.files[kIni] = Bytes("[Setting-CHS]\nItem1=\xE5\xB7\xA6\xE9\x94\xAE\n");  // Unix line ends too
  EXPECT_EQ(store.Get(kIni, L"Setting-CHS", L"Item1"), L"左键");
  files.files[kIni] = Bytes("[Skins]\r\nPath=Caf\xE9 \x80\r\n");  // not UTF-8: ANSI
  EXPECT_EQ(store.Get(kIni, L"Skins", L"Path"), L"Caf\u00E9 \u20AC");
  // UTF-16 big-endian with its mark.
  files.files[kIni] = {0xFE, 0xFF, 0, '[', 0, 'S', 0, ']', 0, '\n', 0, 'k', 0, '=', 0x5B, 0xCF};
  EXPECT_EQ(store.Get(kIni, L"S", L"k"), L"\u5BCF");
  files.files.erase(kIni);  // removed behind the store's back: read as missing, not as last seen
  EXPECT_EQ(store.Get(kIni, L"S", L"k"), L"");
}

// Several keys read at once give what Get gives for each, and a second
// reading finds every change of the file since, by the store or not: a
// value of the same length, a key removed, a write, another file.
TEST(FileIniStore, KeysReadTogetherFollowGetAndEveryChangeOfTheFile) {
  MemoryFileSystem files;
  FileIniStore store(files);
  files.files[kIni] = Bytes("[M]\r\nItem0=A   Dn\r\nitem1 = 'B'\r\nITEM0=second\r\nnovalue\r\n[m2]\r\nItem0=other\r\n");
  const std::vector<std::wstring> keys = {L"Item0", L" ITEM1 ", L"Item2", L"novalue", L"", L"item0"};
  auto each = [&](const std::wstring& section) {
    std::vector<std::wstring> values;
    for (const std::wstring& key : keys) values.push_back(store.Get(kIni, section, key));
    return values;
  };
  EXPECT_THAT(store.GetKeys(kIni, L"m", keys), ElementsAre(L"A   Dn", L"B", L"", L"", L"", L"A   Dn"));
  EXPECT_EQ(store.GetKeys(kIni, L"m", keys), each(L"m"));
  EXPECT_THAT(store.GetKeys(kIni, L"M2", keys), ElementsAre(L"other", L"", L"", L"", L"", L"other"));

  files.files[kIni][11] = 'C';  // "A   Dn" becomes "C   Dn" behind the store's back
  EXPECT_THAT(store.GetKeys(kIni, L"M", keys), ElementsAre(L"C   Dn", L"B", L"", L"", L"", L"C   Dn"));
  ASSERT_TRUE(store.DeleteKey(kIni, L"M", L"Item0"));  // the later line of that name is the key now
  EXPECT_THAT(store.GetKeys(kIni, L"M", keys), ElementsAre(L"second", L"B", L"", L"", L"", L"second"));
  ASSERT_TRUE(store.Write(kIni, L"M", L"Item2", L"new"));
  EXPECT_THAT(store.GetKeys(kIni, L"M", keys), ElementsAre(L"second", L"B", L"new", L"", L"", L"second"));
  EXPECT_EQ(store.GetKeys(kIni, L"M", keys), each(L"M"));
  files.files[L"other.ini"] = Bytes("[M]\nItem0=elsewhere\n");
  EXPECT_EQ(store.GetKeys(L"other.ini", L"M", {L"Item0"}), std::vector<std::wstring>{L"elsewhere"});
  EXPECT_THAT(store.GetKeys(kIni, L"M", keys), ElementsAre(L"second", L"B", L"new", L"", L"", L"second"));
}

TEST(FileIniStore, ComparesLettersBeyondAsciiWithoutCase) {
  // Windows' profile functions fold every letter with a case; Wine's fold only
  // ASCII, which is why this is not part of the shared contract.
  MemoryFileSystem files;
  FileIniStore store(files);
  ASSERT_TRUE(store.Write(kIni, L"Ärger Макрос Σοφία", L"ItemCount", L"2"));
  EXPECT_EQ(store.Get(kIni, L"äRGER мАКРОС ΣΟΦΊΑ", L"ITEMCOUNT"), L"2");
  EXPECT_EQ(store.Get(kIni, L"Arger Макрос Σοφία", L"ItemCount"), L"");
}

TEST(FileIniStore, RewriteKeepsCommentsAndStoresUtf16) {
  MemoryFileSystem files;
  FileIniStore store(files);
  files.files[kIni] = Bytes("; language: CHS, CHT or EN\r\n[Skins]\r\nLan=CHS\r\n;colour follows\r\nRColor=1\r\n");
  ASSERT_TRUE(store.Write(kIni, L"Setting-CHS", L"Item1", L"左键"));
  EXPECT_EQ(StoredText(files),
            L"; language: CHS, CHT or EN\r\n"
            L"\r\n[Skins]\r\nLan=CHS\r\n;colour follows\r\nRColor=1\r\n"
            L"\r\n[Setting-CHS]\r\nItem1=左键\r\n");
}

TEST(FileIniStore, UnchangedValueIsNotRewrittenAndFailedWritesReportFalse) {
  MemoryFileSystem files;
  FileIniStore store(files);
  ASSERT_TRUE(store.Write(kIni, L"Skins", L"Lan", L"CHS"));
  ASSERT_EQ(files.writeCount, 1);
  files.failWritesWith = 13;
  EXPECT_TRUE(store.Write(kIni, L"skins", L"lan", L"CHS"));
  EXPECT_EQ(files.writeCount, 1);
  EXPECT_FALSE(store.Write(kIni, L"Skins", L"Lan", L"CHT"));
  EXPECT_FALSE(store.DeleteSection(kIni, L"Skins"));
  EXPECT_EQ(store.Get(kIni, L"Skins", L"Lan"), L"CHS");
}

TEST(FileIniStore, CutNeverSplitsASurrogatePair) {
  MemoryFileSystem files;
  FileIniStore store(files);
  const std::wstring text = std::wstring(1022, L'a') + L"😀";
  ASSERT_TRUE(store.Write(kIni, L"S", L"k", text));
  EXPECT_EQ(store.Get(kIni, L"S", L"k"), std::wstring(1022, L'a'));
}

TEST(FileIniStore, AnUnnamedSectionIsUnreachableAndKeepsItsKeysApartAfterAWrite) {
  // "[]" heads a section no name reaches and no listing names, as with the
  // profile functions; its keys are not the previous section's.
  MemoryFileSystem files;
  FileIniStore store(files);
  files.files[kIni] = Bytes("[A]\r\nItemCount=1\r\n[]\r\nItemCount=9\r\nItem0=Z   Dn\r\n");
  EXPECT_THAT(store.SectionNames(kIni), ElementsAre(L"A"));
  EXPECT_EQ(store.Get(kIni, L"", L"ItemCount"), L"");
  ASSERT_TRUE(store.Write(kIni, L"B", L"ItemCount", L"0"));
  // Written back with its header: without it "A" would read 9 entries of "Z".
  EXPECT_EQ(store.Get(kIni, L"A", L"ItemCount"), L"1");
  EXPECT_EQ(store.Get(kIni, L"A", L"Item0"), L"");
  EXPECT_THAT(store.SectionNames(kIni), ElementsAre(L"A", L"B"));
  EXPECT_EQ(StoredText(files), L"[A]\r\nItemCount=1\r\n\r\n[]\r\nItemCount=9\r\nItem0=Z   Dn\r\n\r\n[B]\r\nItemCount=0\r\n");
}

TEST(FileIniStore, FilesPastTheLimitAreNeitherReadNorReplaced) {
  MemoryFileSystem files;
  FileIniStore store(files);
  files.files[kIni] = Bytes("[S]\r\nk=v\r\n");
  EXPECT_EQ(store.FileState(kIni), IniFileState::kReadable);
  files.files[kIni].resize(kIniFileLimit + 1, ' ');
  EXPECT_EQ(store.FileState(kIni), IniFileState::kTooLarge);
  EXPECT_EQ(store.Get(kIni, L"S", L"k"), L"");
  EXPECT_FALSE(store.Write(kIni, L"S", L"k", L"w"));
  EXPECT_EQ(files.writeCount, 0);
  EXPECT_EQ(store.FileState(L"C:\\Kovral\\none.ini"), IniFileState::kMissing);
  // A batch that would grow the file past the limit is refused whole.
  files.files[kIni] = Bytes("[S]\r\nk=v\r\n");
  EXPECT_FALSE(store.WriteBatch(kIni, IniBatch().Write(L"S", L"a", L"1").Write(L"S", L"big", std::wstring(kIniFileLimit / 2, L'x'))));
  EXPECT_EQ(store.Get(kIni, L"S", L"a"), L"");
}

TEST(SectionListLimit, TakesNamesWhoseZeroFitsTheListing) {
  const std::vector<std::wstring> tenNames(10, std::wstring(24, L'm'));  // 10 x 25 = 250 characters
  std::vector<std::wstring> names = tenNames;
  names.push_back(L"abcd");  // its zero is the 255th character
  names.push_back(L"x");
  const std::vector<std::wstring> listed = ApplySectionListLimit(names, 255);
  ASSERT_EQ(listed.size(), 11u);
  EXPECT_EQ(listed.back(), L"abcd");

  names[10] = L"abcde";  // one more character pushes its zero out
  EXPECT_EQ(ApplySectionListLimit(names, 255), tenNames);

  EXPECT_THAT(ApplySectionListLimit({std::wstring(254, L'n')}, 255), ElementsAre(std::wstring(254, L'n')));
  EXPECT_TRUE(ApplySectionListLimit({std::wstring(255, L'n'), L"short"}, 255).empty());
  // A character outside the BMP takes two of the listing's characters.
  EXPECT_TRUE(ApplySectionListLimit({std::wstring(253, L'n') + L"😀"}, 255).empty());
}

}  // namespace
}  // namespace kovral::testing
