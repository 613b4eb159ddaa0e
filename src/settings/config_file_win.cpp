#include <windows.h>
#include <shlwapi.h>

#include "settings/config_file.h"

#include "base/handles_win.h"

namespace kovral {
namespace {

// A failed call that left no error code still must not read as success.
DWORD LastError() {
  const DWORD error = GetLastError();
  return error != 0 ? error : ERROR_GEN_FAILURE;
}

class Win32FileSystem final : public ConfigFileSystem {
 public:
  bool Exists(const std::wstring& path) override { return PathFileExistsW(path.c_str()) != FALSE; }

  std::optional<std::vector<uint8_t>> ReadAll(const std::wstring& path) override {
    OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t chunk[8192];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return std::nullopt;
      if (got == 0) break;
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
  }

  int WriteReplace(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    const std::wstring temp = path + L".tmp" + std::to_wstring(GetCurrentProcessId());
    DWORD error = 0;
    {
      OwnedHandle file(
          CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file.valid()) return static_cast<int>(LastError());
      size_t done = 0;
      while (error == 0 && done < bytes.size()) {
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!WriteFile(file.get(), bytes.data() + done, want, &put, nullptr)) {
          error = LastError();
        } else if (put == 0) {
          error = ERROR_WRITE_FAULT;
        } else {
          done += put;
        }
      }
      if (error == 0 && !FlushFileBuffers(file.get())) error = LastError();
      if (!file.Close() && error == 0) error = LastError();
    }
    if (error == 0 &&
        !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      error = LastError();
    }
    if (error != 0) {
      DeleteFileW(temp.c_str());
      return static_cast<int>(error);
    }
    return 0;
  }
};

}  // namespace

std::unique_ptr<ConfigFileSystem> MakeSystemFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace kovral
