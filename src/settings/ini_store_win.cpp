#include <windows.h>

#include "settings/ini_store.h"

#include "base/handles_win.h"

namespace kovral {
namespace {

struct FileFacts {
  IniFileState state = IniFileState::kMissing;
  uint64_t size = 0;
};

// What is at the path, from its attributes alone: nothing is opened, so a
// device or pipe given as the file cannot hold the program.
FileFacts Inspect(const std::wstring& file) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? IniFileState::kMissing : IniFileState::kUnreadable, 0};
  }
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return {IniFileState::kUnreadable, 0};
  const uint64_t size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  return {size > kIniFileLimit ? IniFileState::kTooLarge : IniFileState::kReadable, size};
}

// A file the profile functions may read (or create).
bool Usable(const FileFacts& facts) {
  return facts.state == IniFileState::kMissing || facts.state == IniFileState::kReadable;
}

// The file's bytes on the disk before it takes another's place.
bool FlushToDisk(const std::wstring& file) {
  OwnedHandle handle(
      CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle.valid() && FlushFileBuffers(handle.get()) && handle.Close();
}

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

IniFileState Win32IniStore::FileState(const std::wstring& file) { return Inspect(file).state; }

std::wstring Win32IniStore::Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  if (!Usable(Inspect(file))) return std::wstring();
  wchar_t buffer[kIniValueLimit + 1];
  buffer[0] = L'\0';  // an empty key name leaves the buffer untouched
  GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, kIniValueLimit + 1, file.c_str());
  buffer[kIniValueLimit] = L'\0';
  return buffer;
}

std::vector<std::wstring> Win32IniStore::GetKeys(const std::wstring& file, const std::wstring& section,
                                                 const std::vector<std::wstring>& keys) {
  std::vector<std::wstring> values;
  values.reserve(keys.size());
  for (const std::wstring& key : keys) values.push_back(Get(file, section, key));
  return values;
}

// A write that could take the file past the limit is refused: the store would
// not read the file again. The estimate counts every character of the new
// line twice (UTF-16) with room for the header and the line ends.
bool Win32IniStore::Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
  if (IsBlankIniName(section) || IsBlankIniName(key)) return false;
  const FileFacts facts = Inspect(file);
  if (!Usable(facts) || facts.size + 2 * (section.size() + key.size() + value.size() + 8) > kIniFileLimit)
    return false;
  if (!PrepareUnicodeFile(file)) return false;
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

// Deleting from a file that is not there has nothing to do, and must not
// leave an ANSI file behind for the next write to keep.
bool Win32IniStore::DeleteSection(const std::wstring& file, const std::wstring& section) {
  const FileFacts facts = Inspect(file);
  if (IsBlankIniName(section) || facts.state == IniFileState::kMissing) return true;
  if (!Usable(facts)) return false;
  return WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, file.c_str()) != FALSE;
}

bool Win32IniStore::DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  const FileFacts facts = Inspect(file);
  if (IsBlankIniName(section) || IsBlankIniName(key) || facts.state == IniFileState::kMissing) return true;
  if (!Usable(facts)) return false;
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, file.c_str()) != FALSE;
}

// The profile functions rewrite the file they are given at every call, so the
// batch goes to a copy beside it (same folder, so the replacement is a rename
// on one volume), which is flushed and then takes the file's place. A
// read-only file stays as it is: the copy loses the attribute, but the
// replacement of a read-only file fails.
bool Win32IniStore::WriteBatch(const std::wstring& file, const IniBatch& batch) {
  bool writes = false;
  for (const IniBatch::Change& change : batch.changes()) {
    if (change.kind != IniBatch::Kind::kWrite) continue;
    if (IsBlankIniName(change.section) || IsBlankIniName(change.key)) return false;
    writes = true;
  }
  const FileFacts facts = Inspect(file);
  if (!Usable(facts)) return false;
  if (facts.state == IniFileState::kMissing && !writes) return true;
  if (batch.empty()) return true;

  const std::wstring temp = file + L".batch" + std::to_wstring(GetCurrentProcessId());
  DeleteFileW(temp.c_str());  // left by a process with this id that was killed
  bool ok = true;
  if (facts.state == IniFileState::kReadable) {
    ok = CopyFileW(file.c_str(), temp.c_str(), FALSE) != FALSE;
    if (ok) SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  ok = ok && PrepareUnicodeFile(temp);  // a missing file's copy is created with the mark
  for (const IniBatch::Change& change : batch.changes()) {
    if (!ok) break;
    if (change.kind == IniBatch::Kind::kClear) {
      // The profile functions let go of the copy, which starts again empty.
      WritePrivateProfileStringW(nullptr, nullptr, nullptr, temp.c_str());
      ok = DeleteFileW(temp.c_str()) && PrepareUnicodeFile(temp);
      continue;
    }
    if (IsBlankIniName(change.section)) continue;
    const wchar_t* key = change.kind == IniBatch::Kind::kDeleteSection ? nullptr : change.key.c_str();
    const wchar_t* value = change.kind == IniBatch::Kind::kWrite ? change.value.c_str() : nullptr;
    if (key && IsBlankIniName(change.key)) continue;
    ok = WritePrivateProfileStringW(change.section.c_str(), key, value, temp.c_str()) != FALSE;
  }
  // Ends the profile functions' hold on the copy (this call reports FALSE
  // whatever it did), so that they read the file afresh next time.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, temp.c_str());
  ok = ok && Inspect(temp).state == IniFileState::kReadable && FlushToDisk(temp);
  ok = ok && MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

// The listing is one buffer of zero-terminated names; when it comes back full
// (the length is the size less two) the buffer grows until every name fits.
std::vector<std::wstring> Win32IniStore::SectionNames(const std::wstring& file) {
  if (!Usable(Inspect(file))) return {};
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
