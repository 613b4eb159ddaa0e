#include <gtest/gtest.h>

#include <map>
#include <string>

#include "settings/app_paths.h"
#include "settings/user_folder.h"

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

// The program and kvctl both take this folder, so a wrong case would put
// their files apart.
TEST(UserConfigFolder, XdgConfigHomeElseHomeConfigAbsoluteOnly) {
  std::map<std::string, std::string> env;
  auto lookup = [&](const char* name) -> const char* {
    const auto found = env.find(name);
    return found == env.end() ? nullptr : found->second.c_str();
  };
  EXPECT_EQ(UserConfigFolder(lookup), L"");
  env["HOME"] = "relative";
  EXPECT_EQ(UserConfigFolder(lookup), L"");
  env["HOME"] = "/home/u";
  EXPECT_EQ(UserConfigFolder(lookup), L"/home/u/.config/kovral/");
  env["XDG_CONFIG_HOME"] = "relative/cfg";  // not absolute: ignored
  EXPECT_EQ(UserConfigFolder(lookup), L"/home/u/.config/kovral/");
  env["XDG_CONFIG_HOME"] = "/tmp/cfg";
  EXPECT_EQ(UserConfigFolder(lookup), L"/tmp/cfg/kovral/");
  env["XDG_CONFIG_HOME"] = "/tmp/配置/";
  EXPECT_EQ(UserConfigFolder(lookup), L"/tmp/配置/kovral/");
  EXPECT_EQ(XdgBaseFolder(lookup, "XDG_CONFIG_HOME", L".config/"), L"/tmp/配置/");
  // A user's own skins are data, not settings: the other base directory.
  EXPECT_EQ(UserDataFolder(lookup), L"/home/u/.local/share/kovral/");
  env["XDG_DATA_HOME"] = "relative/data";
  EXPECT_EQ(UserDataFolder(lookup), L"/home/u/.local/share/kovral/");
  env["XDG_DATA_HOME"] = "/tmp/data/";
  EXPECT_EQ(UserDataFolder(lookup), L"/tmp/data/kovral/");
  env.clear();
  EXPECT_EQ(UserDataFolder(lookup), L"");
}

}  // namespace
}  // namespace kovral
