#pragma once
// A fresh directory per test, removed afterwards, and raw file access that
// does not go through the code under test.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define KOVRAL_TEST_PID _getpid()
#else
#include <unistd.h>
#define KOVRAL_TEST_PID getpid()
#endif

namespace kovral::testing {

class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("kovral-settings-" + std::to_string(KOVRAL_TEST_PID) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A path inside the directory, built as text so that non-ASCII names reach
  // the code under test unchanged.
  std::wstring File(const std::wstring& name) const { return path_.wstring() + kSeparator + name; }

#ifdef _WIN32
  static constexpr const wchar_t* kSeparator = L"\\";
#else
  static constexpr const wchar_t* kSeparator = L"/";
#endif

 private:
  std::filesystem::path path_;
};

// For ASCII names only (fixtures and checks).
inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> AsciiBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// UTF-16LE with a byte-order mark, from text given as wide characters in the BMP.
inline std::vector<uint8_t> Utf16LeBytes(const std::wstring& text) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (wchar_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
  }
  return bytes;
}

}  // namespace kovral::testing
