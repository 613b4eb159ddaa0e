#include <gtest/gtest.h>

#include "settings/app_paths.h"

namespace kovral {
namespace {

TEST(AppPaths, ShippedNameIsReplacedByEachFileName) {
  const AppPaths p = PathsFromModulePath(L"C:\\Program Files\\Kovral\\KALVORIN_DRX_Driver.exe");
  EXPECT_EQ(p.modulePath, L"C:\\Program Files\\Kovral\\KALVORIN_DRX_Driver.exe");
  EXPECT_EQ(p.configBin, L"C:\\Program Files\\Kovral\\config.bin");
  EXPECT_EQ(p.recordIni, L"C:\\Program Files\\Kovral\\record.ini");
  EXPECT_EQ(p.strIni, L"C:\\Program Files\\Kovral\\str.ini");
  EXPECT_EQ(p.directory, L"C:\\Program Files\\Kovral\\");
}

TEST(AppPaths, EveryOccurrenceOfTheShippedNameIsReplaced) {
  const AppPaths p = PathsFromModulePath(L"D:\\KALVORIN_DRX_Driver.exe\\KALVORIN_DRX_Driver.exe");
  EXPECT_EQ(p.configBin, L"D:\\config.bin\\config.bin");
  EXPECT_EQ(p.directory, L"D:\\\\");
}

TEST(AppPaths, OtherNamesUseTheDirectory) {
  // The match is case-sensitive: a differently spelt name is another name.
  const AppPaths lower = PathsFromModulePath(L"C:\\Tools\\kalvorin_drx_driver.exe");
  EXPECT_EQ(lower.configBin, L"C:\\Tools\\config.bin");
  EXPECT_EQ(lower.strIni, L"C:\\Tools\\str.ini");
  EXPECT_EQ(lower.recordIni, L"C:\\Tools\\record.ini");
  EXPECT_EQ(lower.directory, L"C:\\Tools\\");

  // The shipped name in a folder name does not count when the file has another name.
  const AppPaths renamed = PathsFromModulePath(L"C:\\KALVORIN_DRX_Driver.exe backup\\Mouse 设置.exe");
  EXPECT_EQ(renamed.configBin, L"C:\\KALVORIN_DRX_Driver.exe backup\\config.bin");
  EXPECT_EQ(renamed.directory, L"C:\\KALVORIN_DRX_Driver.exe backup\\");

  const AppPaths native = PathsFromModulePath(L"/opt/kovral/kvctl");
  EXPECT_EQ(native.strIni, L"/opt/kovral/str.ini");
  EXPECT_EQ(native.directory, L"/opt/kovral/");

  const AppPaths bare = PathsFromModulePath(L"kvctl.exe");
  EXPECT_EQ(bare.configBin, L"config.bin");
  EXPECT_EQ(bare.directory, L"");
}

TEST(AppPaths, ApplicationNameIsTheFileNameWithoutExtension) {
  EXPECT_EQ(ApplicationName(L"C:\\Program Files\\Kovral\\KALVORIN_DRX_Driver.exe"), L"KALVORIN_DRX_Driver");
  EXPECT_EQ(ApplicationName(L"C:\\a.b\\tool.v2.exe"), L"tool.v2");
  EXPECT_EQ(ApplicationName(L"/usr/bin/kvctl"), L"kvctl");
}

TEST(AppPaths, ModulePathNamesThisTestProgram) {
  const std::wstring path = ModulePath();
  ASSERT_FALSE(path.empty());
  EXPECT_NE(ApplicationName(path).find(L"kovral_tests"), std::wstring::npos);
  const AppPaths p = PathsFromModulePath(path);
  EXPECT_EQ(p.configBin, p.directory + L"config.bin");
  EXPECT_FALSE(p.directory.empty());
}

}  // namespace
}  // namespace kovral
