#pragma once
// A file system in memory whose writes can be made to fail.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/config_file.h"

namespace kovral::testing {

class MemoryFileSystem final : public ConfigFileSystem {
 public:
  bool Exists(const std::wstring& path) override { return files.count(path) != 0 || folders.count(path) != 0; }
  FileRead Read(const std::wstring& path, size_t limit) override {
    FileRead read;
    const auto found = files.find(path);
    if (found == files.end()) return read;
    read.size = found->second.size();
    if (found->second.size() > limit) {
      read.status = FileRead::Status::kTooLarge;
      return read;
    }
    read.status = FileRead::Status::kRead;
    read.bytes = found->second;
    return read;
  }
  int WriteReplace(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    ++writeCount;
    if (failWritesWith != 0) return failWritesWith;
    files[path] = bytes;
    return 0;
  }

  // Paths are kept as given; a file is "in" a folder when its path is the
  // folder, one '/', and a name.
  std::optional<std::vector<std::wstring>> ListFiles(const std::wstring& folder) override {
    if (!folders.count(folder)) return std::nullopt;
    std::vector<std::wstring> names;
    // Either separator, as the paths of both systems reach the store.
    for (const auto& [path, bytes] : files)
      if (path.size() > folder.size() + 1 && path.rfind(folder, 0) == 0 &&
          (path[folder.size()] == L'/' || path[folder.size()] == L'\\') &&
          path.find_first_of(L"/\\", folder.size() + 1) == std::wstring::npos)
        names.push_back(path.substr(folder.size() + 1));
    return names;
  }
  int CreateFolder(const std::wstring& folder) override {
    if (folders.count(folder)) return 0;
    if (failWritesWith != 0) return failWritesWith;
    folders.insert(folder);
    return 0;
  }
  int Remove(const std::wstring& path) override {
    if (failWritesWith != 0) return failWritesWith;
    return files.erase(path) ? 0 : 2;
  }
  int Rename(const std::wstring& from, const std::wstring& to) override {
    if (failWritesWith != 0) return failWritesWith;
    const auto found = files.find(from);
    if (found == files.end()) return 2;
    std::vector<uint8_t> bytes = std::move(found->second);
    files.erase(found);
    files[to] = std::move(bytes);
    return 0;
  }

  std::map<std::wstring, std::vector<uint8_t>> files;
  std::set<std::wstring> folders;
  int failWritesWith = 0;  // the error code every write returns; 0 = writes succeed
  int writeCount = 0;
};

}  // namespace kovral::testing
