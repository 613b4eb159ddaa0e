#include "ini_contract.h"

#include <gmock/gmock.h>

namespace kovral::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_P(IniStoreContract, MissingFileReadsEmptyAndDeletingCreatesNothing) {
  const std::wstring ini = dir_.File(L"str.ini");
  EXPECT_EQ(store().Get(ini, L"Skins", L"Lan"), L"");
  EXPECT_THAT(store().SectionNames(ini), IsEmpty());
  EXPECT_TRUE(store().DeleteSection(ini, L"Skins"));
  EXPECT_FALSE(files().Exists(ini));
}

TEST_P(IniStoreContract, NamesMatchWithoutRegardToCase) {
  const std::wstring ini = dir_.File(L"str.ini");
  ASSERT_TRUE(store().Write(ini, L"Skins", L"Lan", L"CHS"));
  EXPECT_EQ(store().Get(ini, L"skins", L"LAN"), L"CHS");
  EXPECT_EQ(store().Get(ini, L"SKINS", L"lan"), L"CHS");

  // Writing under another spelling changes the same key; the file keeps one
  // section with its first spelling.
  ASSERT_TRUE(store().Write(ini, L"SKINS", L"lan", L"CHT"));
  EXPECT_EQ(store().Get(ini, L"Skins", L"Lan"), L"CHT");
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"Skins"));
}

TEST_P(IniStoreContract, AbsentKeysAndSectionsReadEmpty) {
  const std::wstring ini = dir_.File(L"str.ini");
  ASSERT_TRUE(store().Write(ini, L"Setting-EN", L"Item1", L"Left Click"));
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item2"), L"");
  EXPECT_EQ(store().Get(ini, L"Setting-CHS", L"Item1"), L"");
  // "Item1" must not match "Item13" or the other way round.
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item13"), L"");
  ASSERT_TRUE(store().Write(ini, L"Setting-EN", L"Item13", L"Key Off"));
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item1"), L"Left Click");
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item13"), L"Key Off");
}

TEST_P(IniStoreContract, NewFileIsUtf16WithByteOrderMark) {
  const std::wstring ini = dir_.File(L"str.ini");
  ASSERT_TRUE(store().Write(ini, L"Skins", L"Lan", L"CHS"));
  const std::vector<uint8_t> bytes = ReadBytes(dir_.path() / "str.ini");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  // "[" and "S" of the section header as UTF-16LE code units, somewhere after the mark.
  const std::vector<uint8_t> header = {'[', 0, 'S', 0, 'k', 0};
  EXPECT_NE(std::search(bytes.begin() + 2, bytes.end(), header.begin(), header.end()), bytes.end());
}

TEST_P(IniStoreContract, EveryChineseInterfaceTextRoundTrips) {
  const std::wstring ini = dir_.File(L"str.ini");
  EXPECT_EQ(store().Get(ini, L"Setting-CHS", L"Item1"), L"");  // a read before the file exists
  const size_t count = std::size(kChineseInterfaceTexts);
  for (size_t i = 0; i < count; ++i) {
    const std::wstring section = i % 2 == 0 ? L"Setting-CHS" : L"Setting-CHT";
    ASSERT_TRUE(store().Write(ini, section, L"Item" + std::to_wstring(i), kChineseInterfaceTexts[i])) << i;
  }
  for (size_t i = 0; i < count; ++i) {
    const std::wstring section = i % 2 == 0 ? L"Setting-CHS" : L"Setting-CHT";
    EXPECT_EQ(store().Get(ini, section, L"Item" + std::to_wstring(i)), kChineseInterfaceTexts[i]) << i;
  }
}

TEST_P(IniStoreContract, ChineseSectionNamesAndFileNamesRoundTrip) {
  const std::wstring ini = dir_.File(L"宏记录.ini");
  ASSERT_TRUE(store().Write(ini, L"宏一", L"ItemCount", L"1"));
  ASSERT_TRUE(store().Write(ini, L"巨集二", L"Item0", L"左键   Dn"));
  ASSERT_TRUE(store().Write(ini, L"Smile 😀", L"Item0", L"😀"));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"宏一", L"巨集二", L"Smile 😀"));
  EXPECT_EQ(store().Get(ini, L"巨集二", L"Item0"), L"左键   Dn");
  EXPECT_EQ(store().Get(ini, L"SMILE 😀", L"Item0"), L"😀");
  EXPECT_TRUE(files().Exists(ini));
}

TEST_P(IniStoreContract, LongValuesReadBackCutTo1023Characters) {
  const std::wstring ini = dir_.File(L"str.ini");
  std::wstring text;
  for (int i = 0; i < 1500; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
  ASSERT_TRUE(store().Write(ini, L"Setting-EN", L"Item1", text));
  ASSERT_TRUE(store().Write(ini, L"Setting-EN", L"Item2", text.substr(0, 1023)));
  ASSERT_TRUE(store().Write(ini, L"Setting-EN", L"Item3", text.substr(0, 1024)));
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item1"), text.substr(0, 1023));
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item2"), text.substr(0, 1023));
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item3"), text.substr(0, 1023));
  // Only the reading is cut: the key after it is intact.
  ASSERT_TRUE(store().Write(ini, L"Setting-EN", L"Item4", L"after"));
  EXPECT_EQ(store().Get(ini, L"Setting-EN", L"Item4"), L"after");
}

TEST_P(IniStoreContract, DeletedSectionWrittenAgainMovesToTheEnd) {
  const std::wstring ini = dir_.File(L"record.ini");
  for (const wchar_t* name : {L"First", L"Second", L"Third"}) {
    ASSERT_TRUE(store().Write(ini, name, L"ItemCount", L"2"));
    ASSERT_TRUE(store().Write(ini, name, L"Item0", L"A   Dn"));
    ASSERT_TRUE(store().Write(ini, name, L"Item1", L"50 ms"));
  }
  ASSERT_THAT(store().SectionNames(ini), ElementsAre(L"First", L"Second", L"Third"));

  // Rewriting a key in place keeps the order.
  ASSERT_TRUE(store().Write(ini, L"First", L"ItemCount", L"1"));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"First", L"Second", L"Third"));

  ASSERT_TRUE(store().DeleteSection(ini, L"FIRST"));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"Second", L"Third"));
  EXPECT_EQ(store().Get(ini, L"First", L"Item0"), L"");

  ASSERT_TRUE(store().Write(ini, L"First", L"ItemCount", L"1"));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"Second", L"Third", L"First"));
  EXPECT_EQ(store().Get(ini, L"First", L"ItemCount"), L"1");
  EXPECT_EQ(store().Get(ini, L"First", L"Item1"), L"");  // the old keys went with the section
  EXPECT_EQ(store().Get(ini, L"Second", L"Item1"), L"50 ms");

  EXPECT_TRUE(store().DeleteSection(ini, L"Nonexistent"));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"Second", L"Third", L"First"));

  // A key goes alone; its section keeps its place, even emptied.
  ASSERT_TRUE(store().DeleteKey(ini, L"second", L"ITEM1"));
  EXPECT_EQ(store().Get(ini, L"Second", L"Item1"), L"");
  EXPECT_EQ(store().Get(ini, L"Second", L"Item0"), L"A   Dn");
  ASSERT_TRUE(store().DeleteKey(ini, L"Second", L"Item0"));
  EXPECT_TRUE(store().DeleteKey(ini, L"Second", L"Nothing"));
  ASSERT_TRUE(store().Write(ini, L"Second", L"Item0", L"B   Up"));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"Second", L"Third", L"First"));
}

TEST_P(IniStoreContract, ReadsAnExistingAnsiFileAndKeepsItReadable) {
  WriteBytes(dir_.path() / "str.ini",
             AsciiBytes("; written by hand\r\n[Skins]\r\nLan=CHS\r\n  RColor =  255  \r\nPath=Default\r\n\r\n"
                        "[Setting-CHS]\r\nItem1=Left Click\r\nNoValue\r\n"));
  const std::wstring ini = dir_.File(L"str.ini");
  EXPECT_EQ(store().Get(ini, L"Skins", L"Lan"), L"CHS");
  EXPECT_EQ(store().Get(ini, L"Skins", L"RColor"), L"255");
  EXPECT_EQ(store().Get(ini, L"Setting-CHS", L"NoValue"), L"");
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"Skins", L"Setting-CHS"));

  ASSERT_TRUE(store().Write(ini, L"Skins", L"GColor", L"128"));
  EXPECT_EQ(store().Get(ini, L"Skins", L"Lan"), L"CHS");
  EXPECT_EQ(store().Get(ini, L"Skins", L"GColor"), L"128");
  EXPECT_EQ(store().Get(ini, L"Setting-CHS", L"Item1"), L"Left Click");
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"Skins", L"Setting-CHS"));
}

TEST_P(IniStoreContract, ReadsAnExistingUtf16File) {
  WriteBytes(dir_.path() / "str.ini", Utf16LeBytes(L"[Setting-CHT]\r\nItem1=左鍵\r\nItem13=按鍵關閉\r\n"));
  const std::wstring ini = dir_.File(L"str.ini");
  EXPECT_EQ(store().Get(ini, L"Setting-CHT", L"Item1"), L"左鍵");
  EXPECT_EQ(store().Get(ini, L"Setting-CHT", L"Item13"), L"按鍵關閉");
  ASSERT_TRUE(store().Write(ini, L"Setting-CHT", L"Item2", L"右鍵"));
  EXPECT_EQ(store().Get(ini, L"Setting-CHT", L"Item2"), L"右鍵");
  EXPECT_EQ(store().Get(ini, L"Setting-CHT", L"Item1"), L"左鍵");
}

TEST_P(IniStoreContract, ValuesLoseSurroundingSpaceAndOnePairOfQuotes) {
  const std::wstring ini = dir_.File(L"str.ini");
  ASSERT_TRUE(store().Write(ini, L"S", L"Spaces", L"   Left Click"));
  ASSERT_TRUE(store().Write(ini, L"S", L"Double", L"\"quoted\""));
  ASSERT_TRUE(store().Write(ini, L"S", L"Single", L"'x'"));
  ASSERT_TRUE(store().Write(ini, L"S", L"Apostrophe", L"'   Dn"));
  ASSERT_TRUE(store().Write(ini, L"S", L"Empty", L""));
  EXPECT_EQ(store().Get(ini, L"S", L"Spaces"), L"Left Click");
  EXPECT_EQ(store().Get(ini, L"S", L"Double"), L"quoted");
  EXPECT_EQ(store().Get(ini, L"S", L"Single"), L"x");
  EXPECT_EQ(store().Get(ini, L"S", L"Apostrophe"), L"'   Dn");
  EXPECT_EQ(store().Get(ini, L"S", L"Empty"), L"");
}

TEST_P(IniStoreContract, WritesFailWhereTheFileCannotBeMade) {
  const std::wstring ini = dir_.File(L"missing-folder") + TempDir::kSeparator + L"str.ini";
  EXPECT_FALSE(store().Write(ini, L"Skins", L"Lan", L"CHS"));
  EXPECT_EQ(store().Get(ini, L"Skins", L"Lan"), L"");
  EXPECT_FALSE(files().Exists(ini));
  // Blank names are refused rather than written as unreadable lines.
  const std::wstring good = dir_.File(L"str.ini");
  EXPECT_FALSE(store().Write(good, L"", L"Lan", L"CHS"));
  EXPECT_FALSE(store().Write(good, L"Skins", L"  ", L"CHS"));
}

TEST_P(IniStoreContract, BatchMakesItsChangesInOrderOrNone) {
  const std::wstring ini = dir_.File(L"record.ini");
  // Deletions alone on a missing file: nothing to do and no file.
  EXPECT_TRUE(store().WriteBatch(ini, IniBatch().DeleteSection(L"A").DeleteKey(L"A", L"Item0").Clear()));
  EXPECT_FALSE(files().Exists(ini));
  ASSERT_TRUE(store().WriteBatch(ini, IniBatch()
                                          .Write(L"A", L"ItemCount", L"2")
                                          .Write(L"A", L"Item0", L"A   Dn")
                                          .Write(L"A", L"Item1", L"50 ms")
                                          .Write(L"B", L"ItemCount", L"0")));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"A", L"B"));
  // In order: the section deleted first and written again goes to the end;
  // a key deleted after its write is gone.
  ASSERT_TRUE(store().WriteBatch(ini, IniBatch()
                                          .DeleteSection(L"a")
                                          .Write(L"A", L"ItemCount", L"1")
                                          .Write(L"B", L"Item0", L"x")
                                          .DeleteKey(L"B", L"item0")
                                          .DeleteKey(L"B", L"Absent")));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"B", L"A"));
  EXPECT_EQ(store().Get(ini, L"A", L"ItemCount"), L"1");
  EXPECT_EQ(store().Get(ini, L"A", L"Item0"), L"");
  EXPECT_EQ(store().Get(ini, L"B", L"Item0"), L"");

  // A blank name anywhere refuses the whole batch, the changes before it included.
  const std::vector<uint8_t> before = ReadBytes(dir_.path() / "record.ini");
  EXPECT_FALSE(store().WriteBatch(ini, IniBatch().DeleteSection(L"B").Write(L"C", L"k", L"v").Write(L" ", L"k", L"v")));
  EXPECT_FALSE(store().WriteBatch(ini, IniBatch().Clear().Write(L"C", L"", L"v")));
  EXPECT_EQ(ReadBytes(dir_.path() / "record.ini"), before);
}

TEST_P(IniStoreContract, ClearedBatchLeavesNothingOfTheOldFile) {
  // "[]" heads a section no name reaches, and comments are no section: a
  // replacement of every section by name would keep both.
  const std::wstring ini = dir_.File(L"record.ini");
  const std::string text = "; old\r\n[]\r\nItemCount=1\r\n[Keep]\r\nItemCount=2\r\n";
  WriteBytes(dir_.path() / "record.ini", std::vector<uint8_t>(text.begin(), text.end()));
  ASSERT_THAT(store().SectionNames(ini), ElementsAre(L"Keep"));
  ASSERT_TRUE(store().WriteBatch(ini, IniBatch().Clear().Write(L"New", L"ItemCount", L"0")));
  EXPECT_THAT(store().SectionNames(ini), ElementsAre(L"New"));
  EXPECT_EQ(store().Get(ini, L"Keep", L"ItemCount"), L"");
  const std::vector<uint8_t> bytes = ReadBytes(dir_.path() / "record.ini");
  for (const std::vector<uint8_t>& gone : {std::vector<uint8_t>{'o', 0, 'l', 0, 'd', 0}, std::vector<uint8_t>{'1', 0}})
    EXPECT_EQ(std::search(bytes.begin(), bytes.end(), gone.begin(), gone.end()), bytes.end());
}

INSTANTIATE_TEST_SUITE_P(Portable, IniStoreContract,
                         ::testing::Values(IniStoreKind{
                             "FileIniStore",
                             [](ConfigFileSystem& files) -> std::unique_ptr<IniStore> {
                               return std::make_unique<FileIniStore>(files);
                             }}),
                         IniStoreKindName);

}  // namespace
}  // namespace kovral::testing
