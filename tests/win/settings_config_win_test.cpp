// The Win32 file binding: a save that cannot replace config.bin (another
// program holds it open without sharing) keeps the old file.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/config_file.h"
#include "settings/defaults.h"
#include "settings_temp_dir.h"

namespace kovral::testing {
namespace {

TEST(Win32ConfigFile, SaveBlockedByAnOpenFileKeepsTheOldFile) {
  TempDir dir;
  std::vector<uint8_t> old(1850, 0x5A);
  old[0] = 0;
  WriteBytes(dir.path() / "config.bin", old);
  const std::wstring path = dir.File(L"config.bin");
  const HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);

  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  RecordingMessageSink messages;
  const bool saved = SaveConfig(*files, messages, path, FactoryConfig());
  CloseHandle(holder);

  EXPECT_FALSE(saved);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].caption, L"NULL ==fp ");
  EXPECT_EQ(messages.messages[0].text.rfind(L"Error Code is: ", 0), 0u);
  EXPECT_EQ(ReadBytes(dir.path() / "config.bin"), old);
  size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1u);  // no temporary file left behind

  // Once the file is free the same save goes through.
  ASSERT_TRUE(SaveConfig(*files, messages, path, FactoryConfig()));
  const std::vector<uint8_t> now = ReadBytes(dir.path() / "config.bin");
  ASSERT_EQ(now.size(), 1850u);
  EXPECT_EQ(now[0], 1);
}

TEST(Win32ConfigFile, ExistsCountsFoldersLikePathFileExists) {
  TempDir dir;
  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  EXPECT_TRUE(files->Exists(dir.path().wstring()));
  EXPECT_FALSE(files->Exists(dir.File(L"config.bin")));
  EXPECT_FALSE(files->ReadAll(dir.path().wstring()).has_value());
}

}  // namespace
}  // namespace kovral::testing
