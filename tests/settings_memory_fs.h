#pragma once
// A file system in memory whose writes can be made to fail.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/config_file.h"

namespace kovral::testing {

class MemoryFileSystem final : public ConfigFileSystem {
 public:
  bool Exists(const std::wstring& path) override { return files.count(path) != 0; }
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

  std::map<std::wstring, std::vector<uint8_t>> files;
  int failWritesWith = 0;  // the error code every write returns; 0 = writes succeed
  int writeCount = 0;
};

}  // namespace kovral::testing
