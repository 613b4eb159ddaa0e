#pragma once
// config.bin: one flag byte, then the configuration record byte for byte.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "settings/device_config.h"

namespace kovral {

inline constexpr size_t kConfigFileSize = 1 + sizeof(DeviceConfig);  // 1850
static_assert(kConfigFileSize == 1850);

// What a bounded read found.
struct FileRead {
  enum class Status {
    kRead,        // `bytes` holds the whole file
    kNotAFile,    // a folder, a device, a pipe: nothing was read from it
    kUnreadable,  // missing, not permitted, or a read that failed
    kTooLarge,    // a regular file of more than the limit: nothing was kept
  };
  Status status = Status::kUnreadable;
  std::vector<uint8_t> bytes;
  uint64_t size = 0;  // kRead: the bytes read; kTooLarge: the size found (more than the limit)
};

// What WriteNew and Rename return when the name is taken: a file of that
// name exists, as the file system compares names (on Windows without letter
// case, by its own table). Never a system's error code.
inline constexpr int kFileNameTaken = -1;

// The few file operations the settings need, so tests and both platforms
// share one logic.
class ConfigFileSystem {
 public:
  virtual ~ConfigFileSystem() = default;
  // True for anything at the path, a directory included (as PathFileExistsW).
  virtual bool Exists(const std::wstring& path) = 0;
  // A regular file of at most `limit` bytes, whole. The size is asked before
  // anything is read, so a huge file costs no memory, and anything that is
  // not a regular file is refused before a read could wait on it (a pipe) or
  // never end (/dev/zero). At most limit + 1 bytes are read, in case the file
  // grows meanwhile: a file that grew past the limit is kTooLarge.
  virtual FileRead Read(const std::wstring& path, size_t limit) = 0;
  // A regular file of any size, whole; nothing when Read refuses it. Only for
  // files this program writes itself: a file a user may hand over is read
  // with a bound fitting what it holds.
  std::optional<std::vector<uint8_t>> ReadAll(const std::wstring& path);
  // What a bounded read gives once its bytes are in (at most limit + 1 of
  // them): the file whole, or kTooLarge when it grew past the limit.
  static FileRead Finished(std::vector<uint8_t> bytes, size_t limit);
  // Replaces the file's content as one step: the new bytes go to a temporary
  // file beside it, are flushed to the disk and then take the file's place.
  // A missing file is created. Returns 0, or the system's error code (errno,
  // or GetLastError on Windows); after a failure the old file is untouched.
  virtual int WriteReplace(const std::wstring& path, const std::vector<uint8_t>& bytes) = 0;
  // Creates a file that must not exist yet, whole or not at all (written
  // beside it first, as WriteReplace does). Returns 0, kFileNameTaken when
  // the file system holds a file of that name, or the system's error code;
  // an existing file is never touched.
  virtual int WriteNew(const std::wstring& path, const std::vector<uint8_t>& bytes);
  // The names of the regular files directly in `folder` (no paths, no
  // folders), in no particular order; nothing when the folder cannot be
  // listed, a missing one included.
  virtual std::optional<std::vector<std::wstring>> ListFiles(const std::wstring& folder) = 0;
  // Creates the folder (its parent must exist); 0 when it is there afterwards,
  // else the system's error code.
  virtual int CreateFolder(const std::wstring& folder) = 0;
  // Removes a file; 0 or the system's error code.
  virtual int Remove(const std::wstring& path) = 0;
  // Gives a file another name in the same folder as one step, never
  // replacing a file: 0, kFileNameTaken when `to` names a file, or the
  // system's error code. Whether a change of letter case alone finds the
  // name taken differs between systems; a caller goes through another name.
  virtual int Rename(const std::wstring& from, const std::wstring& to) = 0;
};

// The platform's file system (POSIX, or Win32 in the Windows build).
std::unique_ptr<ConfigFileSystem> MakeSystemFileSystem();

enum class ConfigLoadResult {
  kLoaded,     // the file's flag and record were taken
  kMissing,    // no config.bin: factory record, the user was told
  kWrongSize,  // unreadable, not a regular file or not 1850 bytes: factory record, silently
};

// Fills config and firstRunFlag from config.bin. A missing, unreadable or
// wrongly sized file, or anything but a regular file, gives the factory
// record and flag 0; no more than 1851 bytes are ever read.
ConfigLoadResult LoadConfig(ConfigFileSystem& files, MessageSink& messages, const std::wstring& configPath,
                            DeviceConfig& config, uint8_t& firstRunFlag);

// Writes flag 1 and the record. On failure shows "Error Code is: %d \n" and
// returns false; the previous file stays as it was.
bool SaveConfig(ConfigFileSystem& files, MessageSink& messages, const std::wstring& configPath,
                const DeviceConfig& config);

// The 1850 bytes of config.bin for a record (flag 0 for the file an installation ships).
std::vector<uint8_t> ConfigFileBytes(const DeviceConfig& config, uint8_t firstRunFlag);

}  // namespace kovral
