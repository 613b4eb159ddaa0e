#pragma once
// A file system in memory whose writes can be made to fail.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/config_file.h"

namespace kovral::testing {

class MemoryFileSystem final : public ConfigFileSystem {
 public:
  bool Exists(const std::wstring& path) override { return Stored(path) != files.end() || folders.count(path) != 0; }
  FileRead Read(const std::wstring& path, size_t limit) override {
    FileRead read;
    const auto found = Stored(path);
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
    if (const auto found = Stored(path); found != files.end()) files.erase(found);
    files[path] = bytes;
    return 0;
  }
  int WriteNew(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    ++writeCount;
    if (failWritesWith != 0) return failWritesWith;
    if (Stored(path) != files.end()) return kFileNameTaken;
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
    const auto found = Stored(path);
    if (found == files.end()) return 2;
    files.erase(found);
    return 0;
  }
  // A name taken is taken even by the file itself in other letter case, the
  // stricter of the systems' answers.
  int Rename(const std::wstring& from, const std::wstring& to) override {
    if (failWritesWith != 0) return failWritesWith;
    const auto found = Stored(from);
    if (found == files.end()) return 2;
    if (Stored(to) != files.end()) return kFileNameTaken;
    std::vector<uint8_t> bytes = std::move(found->second);
    files.erase(found);
    files[to] = std::move(bytes);
    return 0;
  }

  // The file a path names: exactly, or by `sameName` when a test makes the
  // file system take some names for one, as Windows takes names that differ
  // in letter case.
  std::map<std::wstring, std::vector<uint8_t>>::iterator Stored(const std::wstring& path) {
    if (!sameName) return files.find(path);
    const std::wstring key = sameName(path);
    for (auto it = files.begin(); it != files.end(); ++it)
      if (sameName(it->first) == key) return it;
    return files.end();
  }

  std::function<std::wstring(const std::wstring&)> sameName;
  std::map<std::wstring, std::vector<uint8_t>> files;
  std::set<std::wstring> folders;
  int failWritesWith = 0;  // the error code every write returns; 0 = writes succeed
  int writeCount = 0;
};

}  // namespace kovral::testing
