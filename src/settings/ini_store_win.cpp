#include <windows.h>

#include "settings/ini_store.h"

namespace kovral {
namespace {

// The profile functions write a new file in the ANSI code page and keep the
// encoding of the file they find, so a Chinese button text or macro name would
// come back as "?". A UTF-16LE byte-order mark in a missing or empty file
// makes them store UTF-16 from the first write on. Files with content are left
// in whatever encoding they have. False when the file cannot be created.
bool PrepareUnicodeFile(const std::wstring& file) {
  static constexpr BYTE kMark[2] = {0xFF, 0xFE};
  WIN32_FILE_ATTRIBUTE_DATA data;
  DWORD disposition = CREATE_NEW;
  if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.nFileSizeHigh != 0 || data.nFileSizeLow != 0) {
      return true;  // the profile function decides what happens
    }
    disposition = OPEN_EXISTING;
  }
  const HANDLE handle =
      CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // Someone else made the file in the meantime, or an empty file cannot be
    // opened for writing (then the profile function fails and reports it).
    return GetLastError() == ERROR_FILE_EXISTS || disposition == OPEN_EXISTING;
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(handle, kMark, sizeof kMark, &written, nullptr) && written == sizeof kMark;
  CloseHandle(handle);
  if (!ok && disposition == CREATE_NEW) DeleteFileW(file.c_str());
  return ok != FALSE;
}

}  // namespace

std::wstring Win32IniStore::Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  wchar_t buffer[kIniValueLimit + 1];
  buffer[0] = L'\0';  // an empty key name leaves the buffer untouched
  GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, kIniValueLimit + 1, file.c_str());
  buffer[kIniValueLimit] = L'\0';
  return buffer;
}

bool Win32IniStore::Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
  if (IsBlankIniName(section) || IsBlankIniName(key)) return false;
  if (!PrepareUnicodeFile(file)) return false;
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

// Deleting from a file that is not there has nothing to do, and must not
// leave an ANSI file behind for the next write to keep.
bool Win32IniStore::DeleteSection(const std::wstring& file, const std::wstring& section) {
  if (IsBlankIniName(section) || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  return WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, file.c_str()) != FALSE;
}

bool Win32IniStore::DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  if (IsBlankIniName(section) || IsBlankIniName(key) || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
    return true;
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, file.c_str()) != FALSE;
}

// The listing is one buffer of zero-terminated names; when it comes back full
// (the length is the size less two) the buffer grows until every name fits.
std::vector<std::wstring> Win32IniStore::SectionNames(const std::wstring& file) {
  std::vector<wchar_t> buffer(4096);
  DWORD length = 0;
  for (;;) {
    length = GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    if (length + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
    buffer.resize(buffer.size() * 2);
  }
  std::vector<std::wstring> names;
  size_t start = 0;
  while (start < length && buffer[start] != L'\0') {
    const std::wstring name(buffer.data() + start);
    start += name.size() + 1;
    names.push_back(name);
  }
  return names;
}

std::unique_ptr<IniStore> MakeSystemIniStore() { return std::make_unique<Win32IniStore>(); }

}  // namespace kovral
