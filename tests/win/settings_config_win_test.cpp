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

// Windows decides by its own letter-case rule whether a name is taken; a
// new file or a rename never replaces one that has it.
TEST(Win32ConfigFile, NewFilesAndRenamesNeverReplaceAFileWhoseNameDiffersInCase) {
  TempDir dir;
  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  const std::vector<uint8_t> old{'o', 'l', 'd'}, other{'n', 'e', 'w'};
  ASSERT_EQ(files->WriteNew(dir.File(L"Alpha.txt"), old), 0);
  ASSERT_EQ(files->WriteNew(dir.File(L"\u0141ucznik.txt"), old), 0);
  ASSERT_EQ(files->WriteNew(dir.File(L"beta.txt"), other), 0);
  EXPECT_EQ(files->WriteNew(dir.File(L"ALPHA.TXT"), other), kFileNameTaken);
  EXPECT_EQ(files->WriteNew(dir.File(L"\u0142ucznik.txt"), other), kFileNameTaken);
  EXPECT_EQ(files->Rename(dir.File(L"beta.txt"), dir.File(L"alpha.TXT")), kFileNameTaken);
  EXPECT_EQ(files->Rename(dir.File(L"beta.txt"), dir.File(L"\u0142UCZNIK.txt")), kFileNameTaken);
  EXPECT_EQ(ReadBytes(dir.path() / "Alpha.txt"), old);
  EXPECT_EQ(ReadBytes(dir.path() / L"\u0141ucznik.txt"), old);
  EXPECT_EQ(ReadBytes(dir.path() / "beta.txt"), other);
  size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 3u);  // no temporary file left behind
  EXPECT_EQ(files->Rename(dir.File(L"beta.txt"), dir.File(L"gamma.txt")), 0);
  EXPECT_EQ(ReadBytes(dir.path() / "gamma.txt"), other);
}

TEST(Win32ConfigFile, ExistsCountsFoldersLikePathFileExists) {
  TempDir dir;
  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  EXPECT_TRUE(files->Exists(dir.path().wstring()));
  EXPECT_FALSE(files->Exists(dir.File(L"config.bin")));
  EXPECT_FALSE(files->ReadAll(dir.path().wstring()).has_value());
}

// A bounded read asks the size first and reads no device: NUL would give an
// empty "file" and CON would wait for the keyboard.
TEST(Win32ConfigFile, ReadRefusesDevicesFoldersAndFilesOverTheLimit) {
  TempDir dir;
  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  EXPECT_EQ(files->Read(L"NUL", 1850).status, FileRead::Status::kNotAFile);
  EXPECT_EQ(files->Read(L"\\\\.\\NUL", 1850).status, FileRead::Status::kNotAFile);
  EXPECT_EQ(files->Read(dir.path().wstring(), 1850).status, FileRead::Status::kNotAFile);
  EXPECT_EQ(files->Read(dir.File(L"absent.bin"), 1850).status, FileRead::Status::kUnreadable);

  std::vector<uint8_t> bytes(1850, 0x33);
  WriteBytes(dir.path() / "config.bin", bytes);
  FileRead read = files->Read(dir.File(L"config.bin"), 1850);
  EXPECT_EQ(read.status, FileRead::Status::kRead);
  EXPECT_EQ(read.bytes, bytes);
  read = files->Read(dir.File(L"config.bin"), 1849);
  EXPECT_EQ(read.status, FileRead::Status::kTooLarge);
  EXPECT_EQ(read.size, 1850u);
  EXPECT_TRUE(read.bytes.empty());

  // 4 GiB and 1850 bytes the disk need not hold: the size alone refuses it,
  // and its low 32 bits alone would be a config file's.
  const uint64_t huge = (uint64_t{1} << 32) + kConfigFileSize;
  std::filesystem::resize_file(dir.path() / "config.bin", huge);
  read = files->Read(dir.File(L"config.bin"), kConfigFileSize);
  EXPECT_EQ(read.status, FileRead::Status::kTooLarge);
  EXPECT_EQ(read.size, huge);
  DeviceConfig config{};
  uint8_t flag = 7;
  RecordingMessageSink messages;
  EXPECT_EQ(LoadConfig(*files, messages, dir.File(L"config.bin"), config, flag), ConfigLoadResult::kWrongSize);
  EXPECT_EQ(flag, 0);
}

}  // namespace
}  // namespace kovral::testing
