#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "settings/config_file.h"
#include "settings/defaults.h"
#include "settings/text_encoding.h"
#include "settings_memory_fs.h"
#include "settings_temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <future>
#endif

namespace kovral::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// "Error Code is: " with a non-zero decimal code, then " \n".
bool IsErrorCodeMessage(const std::wstring& text) {
  const std::wstring prefix = L"Error Code is: ";
  const std::wstring suffix = L" \n";
  if (text.size() <= prefix.size() + suffix.size()) return false;
  if (text.compare(0, prefix.size(), prefix) != 0) return false;
  if (text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  const std::wstring code = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  return code.find_first_not_of(L"0123456789") == std::wstring::npos && code[0] != L'0';
}

std::vector<uint8_t> RecordBytes(const DeviceConfig& config) {
  std::vector<uint8_t> bytes(sizeof(DeviceConfig));
  std::memcpy(bytes.data(), &config, sizeof(DeviceConfig));
  return bytes;
}

// A file whose bytes all differ from the factory record's neighbours, so a
// shifted or partial copy shows.
std::vector<uint8_t> PatternFile(size_t size, uint8_t flag) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = i == 0 ? flag : static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

std::vector<std::string> DirectoryNames(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ConfigFileTest : public ::testing::Test {
 protected:
  ConfigLoadResult Load() { return LoadConfig(*files_, messages_, path_, config_, flag_); }
  bool Save() { return SaveConfig(*files_, messages_, path_, config_); }

  TempDir dir_;
  std::unique_ptr<ConfigFileSystem> files_ = MakeSystemFileSystem();
  RecordingMessageSink messages_;
  std::wstring path_ = dir_.File(L"config.bin");
  DeviceConfig config_{};
  uint8_t flag_ = 0xEE;
};

TEST_F(ConfigFileTest, Loads1850BytesAsFlagThenRecord) {
  const std::vector<uint8_t> file = PatternFile(1850, 0);
  WriteBytes(dir_.path() / "config.bin", file);
  EXPECT_EQ(Load(), ConfigLoadResult::kLoaded);
  EXPECT_EQ(flag_, 0);  // never saved by the program
  EXPECT_EQ(RecordBytes(config_), std::vector<uint8_t>(file.begin() + 1, file.end()));
  EXPECT_EQ(config_.reportRate, file[134]);
  EXPECT_EQ(config_.macroSlots[0][0], file[164]);
  EXPECT_EQ(config_.modeB.functionIndex[0], file[1706]);
  EXPECT_THAT(messages_.messages, IsEmpty());

  WriteBytes(dir_.path() / "config.bin", PatternFile(1850, 1));
  EXPECT_EQ(Load(), ConfigLoadResult::kLoaded);
  EXPECT_EQ(flag_, 1);
}

TEST_F(ConfigFileTest, WrongSizeOrUnreadableFileGivesTheFactoryRecordSilently) {
  for (size_t size : {size_t{1849}, size_t{1851}, size_t{0}}) {
    WriteBytes(dir_.path() / "config.bin", PatternFile(size, 1));
    EXPECT_EQ(Load(), ConfigLoadResult::kWrongSize) << size;
    EXPECT_EQ(flag_, 0) << size;
    EXPECT_EQ(RecordBytes(config_), RecordBytes(FactoryConfig())) << size;
  }
  std::filesystem::remove(dir_.path() / "config.bin");
  std::filesystem::create_directory(dir_.path() / "config.bin");
  EXPECT_EQ(Load(), ConfigLoadResult::kWrongSize);
  EXPECT_EQ(RecordBytes(config_), RecordBytes(FactoryConfig()));
  EXPECT_THAT(messages_.messages, IsEmpty());
}

// The size is asked before a byte is read: a huge file costs no memory, and
// what is read stops one byte past the limit.
TEST_F(ConfigFileTest, ReadAsksTheSizeFirstAndKeepsNothingOfALargerFile) {
  const std::filesystem::path file = dir_.path() / "config.bin";
  WriteBytes(file, PatternFile(1850, 1));
  FileRead read = files_->Read(path_, 1850);
  EXPECT_EQ(read.status, FileRead::Status::kRead);
  EXPECT_EQ(read.bytes, PatternFile(1850, 1));
  EXPECT_EQ(read.size, 1850u);
  read = files_->Read(path_, 1849);
  EXPECT_EQ(read.status, FileRead::Status::kTooLarge);
  EXPECT_EQ(read.size, 1850u);
  EXPECT_TRUE(read.bytes.empty());

  // 4 GiB and 1850 bytes, without a block on the disk: a size kept in 32
  // bits would read as exactly a config file's. (Wine refuses to make a sparse
  // file larger than the disk's free space, so the size stays modest.)
  const uint64_t huge = (uint64_t{1} << 32) + kConfigFileSize;
  std::filesystem::resize_file(file, huge);
  read = files_->Read(path_, kConfigFileSize);
  EXPECT_EQ(read.status, FileRead::Status::kTooLarge);
  EXPECT_EQ(read.size, huge);
  EXPECT_EQ(Load(), ConfigLoadResult::kWrongSize);
  EXPECT_EQ(RecordBytes(config_), RecordBytes(FactoryConfig()));

  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  EXPECT_EQ(files_->Read(path_, 1850).status, FileRead::Status::kNotAFile);
  EXPECT_EQ(files_->Read(dir_.File(L"absent.bin"), 1850).status, FileRead::Status::kUnreadable);
}

#ifndef _WIN32
// A device or a pipe at config.bin's place is a file of the wrong size: it is
// neither read to its end (/dev/zero has none) nor waited on (a pipe without
// a writer). A load that has not returned after a few seconds is a failure;
// the pipe is then given a writer so that the test can end.
TEST_F(ConfigFileTest, DeviceOrPipeIsAFileOfTheWrongSizeAndNeverWaitedOn) {
  const std::string fifo = (dir_.path() / "fifo.bin").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::wstring& path : {std::wstring(L"/dev/zero"), dir_.File(L"fifo.bin")}) {
    SCOPED_TRACE(ToUtf8(path));
    path_ = path;
    std::future<ConfigLoadResult> load = std::async(std::launch::async, [&] { return Load(); });
    if (load.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) close(writer);
      ADD_FAILURE() << "the load waited";
    }
    EXPECT_EQ(load.get(), ConfigLoadResult::kWrongSize);
    EXPECT_EQ(flag_, 0);
    EXPECT_EQ(RecordBytes(config_), RecordBytes(FactoryConfig()));
    EXPECT_EQ(files_->Read(path_, 1u << 20).status, FileRead::Status::kNotAFile);
  }
  EXPECT_THAT(messages_.messages, IsEmpty());
}
#endif

TEST_F(ConfigFileTest, MissingFileIsReportedAndGivesTheFactoryRecord) {
  EXPECT_EQ(Load(), ConfigLoadResult::kMissing);
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(messages_.messages[0].text, L"Config file is not exist.");
  EXPECT_EQ(messages_.messages[0].caption, L"");
  EXPECT_EQ(flag_, 0);
  EXPECT_EQ(RecordBytes(config_), RecordBytes(FactoryConfig()));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "config.bin"));
}

TEST_F(ConfigFileTest, SaveWritesFlagOneThenTheRecordAndLeavesNothingElse) {
  WriteBytes(dir_.path() / "config.bin", PatternFile(1850, 0));
  ASSERT_EQ(Load(), ConfigLoadResult::kLoaded);
  config_.reportRate = 8;
  config_.modeB.functionIndex[7] = 13;
  ASSERT_TRUE(Save());
  const std::vector<uint8_t> file = ReadBytes(dir_.path() / "config.bin");
  ASSERT_EQ(file.size(), 1850u);
  EXPECT_EQ(file[0], 1);
  EXPECT_EQ(file[134], 8);
  EXPECT_EQ(file[1706 + 7], 13);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 1, file.end()), RecordBytes(config_));
  EXPECT_THAT(DirectoryNames(dir_), ElementsAre("config.bin"));
  EXPECT_THAT(messages_.messages, IsEmpty());

  // The flag read at start stays for the run; the next start reads 1.
  EXPECT_EQ(flag_, 0);
  DeviceConfig saved = config_;
  ASSERT_EQ(Load(), ConfigLoadResult::kLoaded);
  EXPECT_EQ(flag_, 1);
  EXPECT_EQ(RecordBytes(config_), RecordBytes(saved));
}

TEST_F(ConfigFileTest, SaveCreatesAMissingFileWithoutAMessage) {
  config_ = FactoryConfig();
  ASSERT_TRUE(Save());
  const std::vector<uint8_t> file = ReadBytes(dir_.path() / "config.bin");
  ASSERT_EQ(file.size(), 1850u);
  EXPECT_EQ(file[0], 1);
  EXPECT_THAT(messages_.messages, IsEmpty());
}

TEST_F(ConfigFileTest, FailedSaveShowsTheErrorCodeAndLeavesNoTemporaryFile) {
  // The path is taken by a folder: the replacement cannot take its place.
  std::filesystem::create_directory(dir_.path() / "config.bin");
  EXPECT_FALSE(Save());
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_TRUE(IsErrorCodeMessage(messages_.messages[0].text)) << ToUtf8(messages_.messages[0].text);
  EXPECT_EQ(messages_.messages[0].caption, L"NULL ==fp ");
  EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "config.bin"));
  EXPECT_THAT(DirectoryNames(dir_), ElementsAre("config.bin"));

  // A missing folder: nothing can be created.
  path_ = dir_.File(L"gone") + TempDir::kSeparator + L"config.bin";
  EXPECT_FALSE(Save());
  EXPECT_EQ(messages_.messages.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "gone"));
}

TEST(SaveConfig, ReportsTheSystemsErrorCode) {
  MemoryFileSystem files;
  files.failWritesWith = 5;
  RecordingMessageSink messages;
  EXPECT_FALSE(SaveConfig(files, messages, L"config.bin", FactoryConfig()));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, L"Error Code is: 5 \n");
  EXPECT_EQ(messages.messages[0].caption, L"NULL ==fp ");
}

#ifndef _WIN32
// A write that fails part-way (as on a full disk) must not cost the old file.
// The file-size limit makes the write fail even for root, whom permissions do
// not stop.
TEST_F(ConfigFileTest, WriteFailingPartWayKeepsTheOldFile) {
  const std::vector<uint8_t> old = PatternFile(1850, 1);
  WriteBytes(dir_.path() / "config.bin", old);
  config_ = FactoryConfig();

  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*previousHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved_ok = Save();  // nothing may be printed while the limit holds
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(saved_ok);
  ASSERT_EQ(messages_.messages.size(), 1u);
  EXPECT_EQ(messages_.messages[0].text, L"Error Code is: " + std::to_wstring(EFBIG) + L" \n");
  EXPECT_EQ(ReadBytes(dir_.path() / "config.bin"), old);
  EXPECT_THAT(DirectoryNames(dir_), ElementsAre("config.bin"));
}
#endif

}  // namespace
}  // namespace kovral::testing
