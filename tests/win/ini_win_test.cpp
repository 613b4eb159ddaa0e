// The profile functions themselves must pass the same contract as the
// portable store, so that files written by either read the same in both.
#include <windows.h>

#include "ini_contract.h"

namespace kovral::testing {
namespace {

INSTANTIATE_TEST_SUITE_P(Win32, IniStoreContract,
                         ::testing::Values(IniStoreKind{"Win32IniStore",
                                                        [](ConfigFileSystem&) -> std::unique_ptr<IniStore> {
                                                          return std::make_unique<Win32IniStore>();
                                                        }}),
                         IniStoreKindName);

// An empty str.ini (as a user might create by hand) also gets the mark, so
// that Chinese texts written into it survive.
TEST(Win32IniStore, EmptyExistingFileBecomesUnicode) {
  TempDir dir;
  WriteBytes(dir.path() / "str.ini", {});
  Win32IniStore store;
  const std::wstring ini = dir.File(L"str.ini");
  ASSERT_TRUE(store.Write(ini, L"Setting-CHS", L"Item1", L"左键"));
  EXPECT_EQ(store.Get(ini, L"Setting-CHS", L"Item1"), L"左键");
  const std::vector<uint8_t> bytes = ReadBytes(dir.path() / "str.ini");
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
}

}  // namespace
}  // namespace kovral::testing
