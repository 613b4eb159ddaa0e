#include "settings/config_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "lang/messages.h"
#include "lang/text_format.h"
#include "settings/defaults.h"

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "settings/text_encoding.h"
#endif

namespace kovral {

std::vector<uint8_t> ConfigFileBytes(const DeviceConfig& config, uint8_t firstRunFlag) {
  std::vector<uint8_t> bytes(kConfigFileSize);
  bytes[0] = firstRunFlag;
  // Every field of the record is a byte or an array of bytes, so its memory
  // image is the file layout (offsets are fixed by the static_asserts).
  std::memcpy(bytes.data() + 1, &config, sizeof(DeviceConfig));
  return bytes;
}

// A missing or damaged config.bin used to leave an all-zero record, and the
// next Apply then made every button a left click, set no report rate and
// switched every DPI stage off. Starting from the factory record instead
// keeps the mouse usable; the flag stays 0, so the first-run texts are set.
ConfigLoadResult LoadConfig(ConfigFileSystem& files, MessageSink& messages, const std::wstring& configPath,
                            DeviceConfig& config, uint8_t& firstRunFlag) {
  config = FactoryConfig();
  firstRunFlag = 0;
  if (!files.Exists(configPath)) {
    messages.Show(kMsgConfigFileMissing, L"");
    return ConfigLoadResult::kMissing;
  }
  // The size comes first: a file of the wrong size, a folder, a device or a
  // pipe put there in its place is never read (one from /dev/zero would fill
  // the memory, a pipe would hang the start).
  const FileRead read = files.Read(configPath, kConfigFileSize);
  if (read.status != FileRead::Status::kRead || read.bytes.size() != kConfigFileSize)
    return ConfigLoadResult::kWrongSize;
  firstRunFlag = read.bytes[0];
  std::memcpy(&config, read.bytes.data() + 1, sizeof(DeviceConfig));
  return ConfigLoadResult::kLoaded;
}

FileRead ConfigFileSystem::Finished(std::vector<uint8_t> bytes, size_t limit) {
  FileRead result;
  result.size = bytes.size();
  if (bytes.size() > limit) {
    result.status = FileRead::Status::kTooLarge;
    return result;
  }
  result.status = FileRead::Status::kRead;
  result.bytes = std::move(bytes);
  return result;
}

std::optional<std::vector<uint8_t>> ConfigFileSystem::ReadAll(const std::wstring& path) {
  FileRead read = Read(path, std::numeric_limits<size_t>::max() - 1);
  if (read.status != FileRead::Status::kRead) return std::nullopt;
  return std::move(read.bytes);
}

// Both platforms create the file in one step; this asks first, for a file
// system that has no such step.
int ConfigFileSystem::WriteNew(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  if (Exists(path)) return kFileNameTaken;
  return WriteReplace(path, bytes);
}

// The file is replaced in one step, so a failure part-way (a full disk, a
// crash, a file held open elsewhere) leaves the previous settings intact
// instead of a truncated file that the next start would ignore. A missing
// file is simply created.
bool SaveConfig(ConfigFileSystem& files, MessageSink& messages, const std::wstring& configPath,
                const DeviceConfig& config) {
  const int error = files.WriteReplace(configPath, ConfigFileBytes(config, 1));
  if (error == 0) return true;
  messages.Show(FormatNumber(kMsgConfigWriteFailed, error), kCaptionConfigWriteFailed);
  return false;
}

#ifndef _WIN32
namespace {

class PosixFileSystem final : public ConfigFileSystem {
 public:
  bool Exists(const std::wstring& path) override {
    struct stat info;
    return stat(ToUtf8(path).c_str(), &info) == 0;
  }

  FileRead Read(const std::wstring& path, size_t limit) override {
    limit = std::min(limit, std::numeric_limits<size_t>::max() - 1);
    FileRead result;
    const std::string name = ToUtf8(path);
    // A FIFO or a device is refused by its type before it is opened: opening
    // one for reading may wait for a writer or have effects of its own.
    struct stat info;
    if (stat(name.c_str(), &info) != 0) return result;
    if (!S_ISREG(info.st_mode)) {
      result.status = FileRead::Status::kNotAFile;
      return result;
    }
    // Not waiting, should a pipe have taken the file's place since.
    const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return result;
    if (fstat(fd, &info) != 0) {
      close(fd);
      return result;
    }
    if (!S_ISREG(info.st_mode)) {
      close(fd);
      result.status = FileRead::Status::kNotAFile;
      return result;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (size > limit) {
      close(fd);
      result.status = FileRead::Status::kTooLarge;
      result.size = size;
      return result;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(size) + 1);
    uint8_t chunk[65536];
    // Up to one byte past the limit, which tells a file that grew too large.
    while (bytes.size() <= limit) {
      const size_t want = std::min(sizeof chunk, limit + 1 - bytes.size());
      const ssize_t got = read(fd, chunk, want);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        close(fd);
        return result;
      }
      if (got == 0) break;
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    close(fd);
    return Finished(std::move(bytes), limit);
  }

  int WriteReplace(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    const std::string target = ToUtf8(path);
    std::string temp;
    if (const int error = WriteTemp(target, bytes, temp); error != 0) return error;
    if (rename(temp.c_str(), target.c_str()) != 0) {
      const int error = errno;
      unlink(temp.c_str());
      return error;
    }
    SyncFolderOf(target);
    return 0;
  }

  int WriteNew(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    const std::string target = ToUtf8(path);
    std::string temp;
    if (const int error = WriteTemp(target, bytes, temp); error != 0) return error;
    if (const int error = MoveNoReplace(temp, target); error != 0) {
      unlink(temp.c_str());
      return error;
    }
    SyncFolderOf(target);
    return 0;
  }

  std::optional<std::vector<std::wstring>> ListFiles(const std::wstring& folder) override {
    const std::string name = ToUtf8(folder);
    DIR* dir = opendir(name.c_str());
    if (!dir) return std::nullopt;
    std::vector<std::wstring> files;
    while (const dirent* entry = readdir(dir)) {
      const std::string file = entry->d_name;
      if (file == "." || file == "..") continue;
      struct stat info;
      const std::string path = name.empty() || name.back() == '/' ? name + file : name + "/" + file;
      if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) files.push_back(FromUtf8(file));
    }
    closedir(dir);
    return files;
  }

  int CreateFolder(const std::wstring& folder) override {
    const std::string name = ToUtf8(folder);
    if (mkdir(name.c_str(), 0777) == 0) return 0;
    const int error = errno;
    struct stat info;
    return error == EEXIST && stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 0 : error;
  }

  int Remove(const std::wstring& path) override { return unlink(ToUtf8(path).c_str()) == 0 ? 0 : errno; }

  int Rename(const std::wstring& from, const std::wstring& to) override { return MoveNoReplace(ToUtf8(from), ToUtf8(to)); }

 private:
  // The bytes in a new file beside `target`, flushed to the disk; its name
  // goes to `temp`. 0 or errno, and then no file is left.
  static int WriteTemp(const std::string& target, const std::vector<uint8_t>& bytes, std::string& temp) {
    temp = target + ".tmp" + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) {  // left behind by an earlier crash of a process with this id
      unlink(temp.c_str());
      fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (fd < 0) return errno;
    // A replacement keeps the permissions of the file it replaces.
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);

    int error = 0;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) {
        error = errno;
        break;
      }
      done += static_cast<size_t>(put);
    }
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) unlink(temp.c_str());
    return error;
  }

  // Makes a rename durable; a failure here leaves a complete file either way.
  static void SyncFolderOf(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const int dirFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      fsync(dirFd);
      close(dirFd);
    }
  }

  // rename() replaces whatever `to` names; this never does. A second link
  // fails on a taken name as one step, on any file system with hard links;
  // one without them (FAT) is asked first, which leaves a short race.
  static int MoveNoReplace(const std::string& from, const std::string& to) {
    if (link(from.c_str(), to.c_str()) == 0) {
      unlink(from.c_str());
      return 0;
    }
    if (errno == EEXIST) return kFileNameTaken;
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK) return errno;
    struct stat info;
    if (lstat(to.c_str(), &info) == 0) return kFileNameTaken;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
};

}  // namespace

std::unique_ptr<ConfigFileSystem> MakeSystemFileSystem() { return std::make_unique<PosixFileSystem>(); }
#endif

}  // namespace kovral
