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

// The few file operations the settings need, so tests and both platforms
// share one logic.
class ConfigFileSystem {
 public:
  virtual ~ConfigFileSystem() = default;
  // True for anything at the path, a directory included (as PathFileExistsW).
  virtual bool Exists(const std::wstring& path) = 0;
  // The whole file; nothing when it cannot be opened or read.
  virtual std::optional<std::vector<uint8_t>> ReadAll(const std::wstring& path) = 0;
  // Replaces the file's content as one step: the new bytes go to a temporary
  // file beside it, are flushed to the disk and then take the file's place.
  // A missing file is created. Returns 0, or the system's error code (errno,
  // or GetLastError on Windows); after a failure the old file is untouched.
  virtual int WriteReplace(const std::wstring& path, const std::vector<uint8_t>& bytes) = 0;
};

// The platform's file system (POSIX, or Win32 in the Windows build).
std::unique_ptr<ConfigFileSystem> MakeSystemFileSystem();

enum class ConfigLoadResult {
  kLoaded,     // the file's flag and record were taken
  kMissing,    // no config.bin: factory record, the user was told
  kWrongSize,  // unreadable or not 1850 bytes: factory record, silently
};

// Fills config and firstRunFlag from config.bin. A missing, unreadable or
// wrongly sized file gives the factory record and flag 0.
ConfigLoadResult LoadConfig(ConfigFileSystem& files, MessageSink& messages, const std::wstring& configPath,
                            DeviceConfig& config, uint8_t& firstRunFlag);

// Writes flag 1 and the record. On failure shows "Error Code is: %d \n" and
// returns false; the previous file stays as it was.
bool SaveConfig(ConfigFileSystem& files, MessageSink& messages, const std::wstring& configPath,
                const DeviceConfig& config);

// The 1850 bytes of config.bin for a record (flag 0 for the file an installation ships).
std::vector<uint8_t> ConfigFileBytes(const DeviceConfig& config, uint8_t firstRunFlag);

}  // namespace kovral
