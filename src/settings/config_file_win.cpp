#include <windows.h>
#include <shlwapi.h>

#include "settings/config_file.h"

#include <algorithm>
#include <limits>
#include <utility>

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

  FileRead Read(const std::wstring& path, size_t limit) override {
    limit = std::min(limit, std::numeric_limits<size_t>::max() - 1);
    FileRead result;
    // A folder cannot be opened without backup semantics, so it fails here.
    OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      const DWORD attributes = GetFileAttributesW(path.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        result.status = FileRead::Status::kNotAFile;
      return result;
    }
    // A device (CON, NUL, COM1) or a pipe: a read could wait or never end.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
      result.status = FileRead::Status::kNotAFile;
      return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return result;
    if (static_cast<uint64_t>(size.QuadPart) > limit) {
      result.status = FileRead::Status::kTooLarge;
      result.size = static_cast<uint64_t>(size.QuadPart);
      return result;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(size.QuadPart) + 1);
    uint8_t chunk[65536];
    // Up to one byte past the limit, which tells a file that grew too large.
    while (bytes.size() <= limit) {
      const DWORD want = static_cast<DWORD>(std::min(sizeof chunk, limit + 1 - bytes.size()));
      DWORD got = 0;
      if (!ReadFile(file.get(), chunk, want, &got, nullptr)) return result;
      if (got == 0) break;
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return Finished(std::move(bytes), limit);
  }

  int WriteReplace(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    return WriteThenMove(path, bytes, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  }

  // Without MOVEFILE_REPLACE_EXISTING the move fails on a taken name, and
  // Windows decides what is taken by its own letter case rule.
  int WriteNew(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    return WriteThenMove(path, bytes, MOVEFILE_WRITE_THROUGH);
  }

  std::optional<std::vector<std::wstring>> ListFiles(const std::wstring& folder) override {
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
      // An empty folder still has "." and ".."; only a folder without a single
      // entry (a drive's root) reports no files.
      if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::wstring>{};
      return std::nullopt;
    }
    std::vector<std::wstring> files;
    do {
      if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        files.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) return std::nullopt;
    return files;
  }

  int CreateFolder(const std::wstring& folder) override {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return 0;
    const DWORD error = LastError();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return 0;
    return static_cast<int>(error);
  }

  int Remove(const std::wstring& path) override {
    return DeleteFileW(path.c_str()) ? 0 : static_cast<int>(LastError());
  }

  int Rename(const std::wstring& from, const std::wstring& to) override {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? 0 : MoveError();
  }

 private:
  static int MoveError() {
    const DWORD error = LastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kFileNameTaken : static_cast<int>(error);
  }

  // The bytes go to a temporary file beside `path`, are flushed to the disk
  // and then moved to `path` with `moveFlags`.
  static int WriteThenMove(const std::wstring& path, const std::vector<uint8_t>& bytes, DWORD moveFlags) {
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
    if (error != 0) {
      DeleteFileW(temp.c_str());
      return static_cast<int>(error);
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(), moveFlags)) {
      const int moveError = MoveError();
      DeleteFileW(temp.c_str());
      return moveError;
    }
    return 0;
  }
};

}  // namespace

std::unique_ptr<ConfigFileSystem> MakeSystemFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace kovral
