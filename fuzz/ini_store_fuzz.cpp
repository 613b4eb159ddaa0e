// The portable INI store on a file of arbitrary bytes, then reads, writes,
// deletions and section listings on it, and str.ini's readers on the result.
//
// Input: byte 0 chooses the file's shape; the rest starts with the file's
// body (a libFuzzer "random length string": a backslash followed by anything
// but a second backslash ends it) and goes on with the operations.
//   0 ANSI (the body as it is, no mark)        1 UTF-8 with its mark
//   2 UTF-16LE with its mark (body in pairs)   3 UTF-16BE with its mark
//   4 UTF-16LE without a mark (each body byte widened to a unit)
//   5 UTF-16BE without a mark (widened)        6 UTF-16LE with its mark, widened
//
// Besides sanitizer findings, the store must keep its promises: what a write
// of a plain name and value stored reads back as written, a deleted section
// is listed once less, no write loses a section, every write leaves a
// UTF-16LE file with its mark, and a failed write leaves the file as it was.
#include <algorithm>
#include <array>
#include <vector>

#include "fuzz_support.h"
#include "lang/language.h"
#include "settings/ini_store.h"
#include "settings/ui_settings.h"
#include "ui/skin_path.h"

namespace kovral::fuzz {
namespace {

const std::wstring kFile = L"str.ini";

std::vector<uint8_t> Shape(int shape, const std::string& body) {
  std::vector<uint8_t> bytes;
  switch (shape) {
    case 1: bytes = {0xEF, 0xBB, 0xBF}; break;
    case 2: case 6: bytes = {0xFF, 0xFE}; break;
    case 3: bytes = {0xFE, 0xFF}; break;
    default: break;
  }
  for (char c : body) {
    const uint8_t b = static_cast<uint8_t>(c);
    if (shape == 4 || shape == 6) {
      bytes.push_back(b), bytes.push_back(0);
    } else if (shape == 5) {
      bytes.push_back(0), bytes.push_back(b);
    } else {
      bytes.push_back(b);
    }
  }
  return bytes;
}

// White space as the store trims it.
bool IsIniSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x1A;
}

std::wstring Trimmed(const std::wstring& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsIniSpace(text[begin])) ++begin;
  while (end > begin && IsIniSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A name a caller can address: not blank, no line breaks, nothing that makes
// the line a section header or splits it at '=', no white space around it.
bool PlainName(const std::wstring& name) {
  return !name.empty() && Trimmed(name) == name &&
         name.find_first_of(L"[]=\r\n\v\f\x1a") == std::wstring::npos;
}

// A value on one line; surrounding white space is allowed (it is not kept).
bool PlainValue(const std::wstring& value) { return value.find_first_of(L"\r\n") == std::wstring::npos; }

// What reading back a written value gives: no surrounding white space, one
// pair of matching quotes removed, at most the read limit.
std::wstring ReadBack(const std::wstring& value) {
  std::wstring v = Trimmed(value);
  if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return TruncateUtf16(v, kIniValueLimit);
}

bool IsSubsequence(const std::vector<std::wstring>& part, const std::vector<std::wstring>& whole) {
  size_t i = 0;
  for (const std::wstring& name : whole) {
    if (i < part.size() && part[i] == name) ++i;
  }
  return i == part.size();
}

}  // namespace
}  // namespace kovral::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovral;
  using namespace kovral::fuzz;
  if (size == 0) return 0;
  const int shape = data[0] % 7;
  FuzzedDataProvider in(data + 1, size - 1);

  MemoryFileSystem files;
  files.files[kFile] = Shape(shape, in.ConsumeRandomLengthString(2048));
  FileIniStore ini(files);

  std::vector<std::wstring> keys = {L"Lan", L"RColor", L"Path", L"ItemCount", L"Item0", L"Item13"};
  for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
    const std::vector<std::wstring> before = ini.SectionNames(kFile);
    const std::vector<uint8_t> bytesBefore = files.files[kFile];
    const std::wstring section = TakeName(in, before, 64);
    const std::wstring key = TakeName(in, keys, 32);
    files.failWritesWith = in.ConsumeIntegralInRange<int>(0, 15) == 0 ? 28 : 0;  // now and then a full disk
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
      case 0:
        ini.Get(kFile, section, key);
        break;
      case 1: {
        const std::wstring value = TakeText(in, 1200);
        const bool written = ini.Write(kFile, section, key, value);
        if (PlainName(key)) keys.push_back(key);
        if (written && PlainName(section) && PlainName(key) && PlainValue(value))
          Check(ini.Get(kFile, section, key) == ReadBack(value), "a written value reads back");
        if (written) {
          const std::vector<std::wstring> after = ini.SectionNames(kFile);
          Check(IsSubsequence(before, after), "a write keeps every section in its place");
        }
        break;
      }
      case 2: {
        const bool deleted = ini.DeleteSection(kFile, section);
        if (deleted && PlainName(section) && files.failWritesWith == 0) {
          const std::vector<std::wstring> after = ini.SectionNames(kFile);
          Check(after.size() == before.size() || after.size() + 1 == before.size(), "a deletion removes one section");
          Check(IsSubsequence(after, before), "a deletion keeps the other sections in order");
        }
        break;
      }
      case 3:
        ini.DeleteKey(kFile, section, key);
        break;
      case 4:
        ApplySectionListLimit(before, in.ConsumeIntegralInRange<size_t>(0, 4096));
        break;
    }
    const std::vector<uint8_t>& bytesAfter = files.files[kFile];
    if (files.failWritesWith != 0) {
      Check(bytesAfter == bytesBefore, "a failed write leaves the file as it was");
    } else if (bytesAfter != bytesBefore) {
      Check(bytesAfter.size() >= 2 && bytesAfter[0] == 0xFF && bytesAfter[1] == 0xFE && bytesAfter.size() % 2 == 0,
            "a rewritten file is UTF-16LE with its mark");
    }
  }
  files.failWritesWith = 0;

  // str.ini's readers (twenty reads) on whatever the file now holds, unless
  // the input asks to skip them: they cost as much as all the operations
  // together.
  if (in.ConsumeBool()) return 0;
  const std::wstring code = ReadLanguageCode(ini, kFile);
  const UiLanguage language = LanguageFromCode(code);
  UiSettings ui;
  ReadInterfaceSettings(ini, kFile, SettingsSection(language), ui);
  TextColorFromSettings(ui);
  ChooseStartSkin({L"C:\\Kovral\\", L"/usr/share/kovral/"}, ui.skinName,
                  [](const std::wstring& path) { return path.size() % 3 != 0; });
  return 0;
}
