#include "settings/ini_store.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <utility>

#include "settings/config_file.h"
#include "settings/text_encoding.h"

namespace kovral {
namespace {

// White space as the profile functions see it; ^Z (an old end-of-file mark)
// counts too.
bool IsIniSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x1A;
}

std::wstring_view TrimLeft(std::wstring_view text) {
  while (!text.empty() && IsIniSpace(text.front())) text.remove_prefix(1);
  return text;
}

std::wstring_view TrimRight(std::wstring_view text) {
  while (!text.empty() && IsIniSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::wstring_view Trim(std::wstring_view text) { return TrimRight(TrimLeft(text)); }

// Upper-case form for comparing names without regard to case. Covers the
// letters with case in the scripts a name is likely to use (Latin with its
// Western European and Extended-A letters, Greek, Cyrillic, full-width Latin);
// Chinese has no case.
wchar_t FoldCase(wchar_t wc) {
  const unsigned c = static_cast<unsigned>(wc);
  if (c >= 'a' && c <= 'z') return static_cast<wchar_t>(c - 0x20);
  if (c < 0xE0) return wc;
  if (c <= 0xFE) return c == 0xF7 ? wc : static_cast<wchar_t>(c - 0x20);
  if (c == 0xFF) return static_cast<wchar_t>(0x178);
  if (c >= 0x100 && c <= 0x17F) {
    const bool oddIsLower = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool evenIsLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddIsLower && (c & 1)) return static_cast<wchar_t>(c - 1);
    if (evenIsLower && !(c & 1)) return static_cast<wchar_t>(c - 1);
    return wc;
  }
  if (c == 0x3C2) return static_cast<wchar_t>(0x3A3);  // final sigma
  if (c == 0x3AC) return static_cast<wchar_t>(0x386);  // accented Greek vowels
  if (c >= 0x3AD && c <= 0x3AF) return static_cast<wchar_t>(c - 0x25);
  if (c == 0x3CC) return static_cast<wchar_t>(0x38C);
  if (c == 0x3CD || c == 0x3CE) return static_cast<wchar_t>(c - 0x3F);
  if (c >= 0x3B1 && c <= 0x3C9) return static_cast<wchar_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<wchar_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 0x50);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0x20);
  return wc;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::wstring Folded(std::wstring_view name) {
  std::wstring folded(name);
  for (wchar_t& c : folded) c = FoldCase(c);
  return folded;
}

// Hashing and comparing names as SameName does, without making folded copies.
struct FoldedHash {
  using is_transparent = void;
  size_t operator()(std::wstring_view name) const {
    size_t hash = 14695981039346656037ull & SIZE_MAX;
    for (wchar_t c : name) hash = (hash ^ static_cast<size_t>(FoldCase(c))) * (1099511628211ull & SIZE_MAX);
    return hash;
  }
};
struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::wstring_view a, std::wstring_view b) const { return SameName(a, b); }
};

// One line of a section: a key with or without "=value". Lines without "="
// (comments among them) are kept so that a rewrite does not lose them.
struct IniEntry {
  std::wstring name;
  std::optional<std::wstring> value;
};

struct IniSection {
  std::wstring name;  // empty for the lines before the first header
  std::vector<IniEntry> entries;
};

struct IniDocument {
  std::vector<IniSection> sections;  // sections[0]: the lines before the first header

  const IniSection* Find(std::wstring_view name) const {
    for (size_t i = 1; i < sections.size(); ++i) {
      if (!sections[i].name.empty() && SameName(sections[i].name, name)) return &sections[i];
    }
    return nullptr;
  }
  IniSection* Find(std::wstring_view name) { return const_cast<IniSection*>(std::as_const(*this).Find(name)); }
};

std::wstring DecodeIniText(const std::vector<uint8_t>& bytes) {
  const size_t size = bytes.size();
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()) + 3, size - 3));
  }
  if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    const bool littleEndian = bytes[0] == 0xFF;
    std::u16string units;
    units.reserve(size / 2);
    for (size_t i = 2; i + 1 < size; i += 2) {
      units.push_back(littleEndian ? static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))
                                   : static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]));
    }
    return FromUtf16(units);
  }
  // No mark: the system's ANSI code page on Windows. UTF-8 covers ASCII and
  // files saved by today's editors; anything else is taken as Windows-1252.
  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), size);
  bool valid = false;
  std::wstring text = FromUtf8(raw, &valid);
  return valid ? text : FromWindows1252(raw);
}

IniDocument ParseIni(std::wstring_view text) {
  IniDocument document;
  document.sections.emplace_back();
  while (!text.empty()) {
    const size_t newline = text.find(L'\n');
    std::wstring_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::wstring_view::npos ? text.size() : newline + 1);
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == L'[') {
      const size_t close = line.rfind(L']');
      if (close != std::wstring_view::npos && close > 0) {
        document.sections.push_back(IniSection{std::wstring(line.substr(1, close - 1)), {}});
        continue;
      }
    }
    IniEntry entry;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
      entry.name = std::wstring(line);
    } else {
      entry.name = std::wstring(TrimRight(line.substr(0, equals)));
      entry.value = std::wstring(TrimLeft(line.substr(equals + 1)));
    }
    document.sections.back().entries.push_back(std::move(entry));
  }
  return document;
}

std::vector<uint8_t> EncodeIni(const IniDocument& document) {
  std::wstring text;
  // Every section but the lines before the first header gets its header back,
  // "[]" included: without it, its keys would join the section before it.
  for (size_t i = 0; i < document.sections.size(); ++i) {
    const IniSection& section = document.sections[i];
    if (i > 0) {
      if (!text.empty()) text += L"\r\n";
      text += L"[" + section.name + L"]\r\n";
    }
    for (const IniEntry& entry : section.entries) {
      text += entry.name;
      if (entry.value) text += L"=" + *entry.value;
      text += L"\r\n";
    }
  }
  const std::u16string units = ToUtf16(text);
  std::vector<uint8_t> bytes;
  bytes.reserve(2 + units.size() * 2);
  bytes.push_back(0xFF);
  bytes.push_back(0xFE);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

// A batch's changes made on a copy of the parsed document. Sections and keys
// are found through tables of their folded names, and what a change removes
// is only marked until the end, so a batch costs about one pass over the
// file whatever its size: a Confirm writes a thousand keys and removes as
// many into one section, and looking each up line by line made a Confirm on
// a large record.ini take minutes. The first of several sections or keys of
// one name is the one a change reaches, as with Get; once removed, the next.
class BatchEditor {
 public:
  explicit BatchEditor(const IniDocument& document) {
    for (const IniSection& section : document.sections) AddSection(section);
  }

  // True when the change changed the document. Blank names have been
  // refused (writes) or change nothing (deletions).
  bool Apply(const IniBatch::Change& change) {
    if (change.kind == IniBatch::Kind::kClear) {
      const bool hadLines = sections_.size() > 1 || sections_[0].live > 0;
      sections_.clear();
      byName_.clear();
      AddSection(IniSection{});
      return hadLines;
    }
    const std::wstring_view sectionName = Trim(change.section);
    if (sectionName.empty()) return false;
    const std::wstring folded = Folded(sectionName);
    if (change.kind == IniBatch::Kind::kDeleteSection) {
      const size_t at = FindSection(folded);
      if (at == kNone) return false;
      sections_[at].removed = true;
      return true;
    }
    const std::wstring_view keyName = Trim(change.key);
    if (keyName.empty()) return false;
    size_t at = FindSection(folded);
    if (change.kind == IniBatch::Kind::kDeleteKey) {
      if (at == kNone) return false;
      const size_t entry = FindKey(at, keyName);
      if (entry == kNone) return false;
      sections_[at].gone[entry] = true;
      --sections_[at].live;
      return true;
    }
    const std::wstring stored(TrimLeft(change.value));
    if (at == kNone) at = AddSection(IniSection{std::wstring(sectionName), {}});
    const size_t entry = FindKey(at, keyName);
    Section& section = sections_[at];
    if (entry != kNone) {
      std::optional<std::wstring>& value = section.entries[entry].value;
      if (value == stored) return false;
      value = stored;
      return true;
    }
    section.entries.push_back(IniEntry{std::wstring(keyName), stored});
    section.gone.push_back(false);
    ++section.live;
    if (section.indexed) section.keys[section.entries.back().name].push_back(section.entries.size() - 1);
    return true;
  }

  IniDocument Finish() && {
    IniDocument document;
    for (Section& section : sections_) {
      if (section.removed) continue;
      IniSection kept{std::move(section.name), {}};
      kept.entries.reserve(section.live);
      for (size_t i = 0; i < section.entries.size(); ++i)
        if (!section.gone[i]) kept.entries.push_back(std::move(section.entries[i]));
      document.sections.push_back(std::move(kept));
    }
    return document;
  }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);
  // The lines stay where they are put (a deque never moves its elements),
  // so the key table can point at their names.
  struct Section {
    std::wstring name;
    std::deque<IniEntry> entries;
    std::vector<bool> gone;  // per line: removed by the batch
    size_t live = 0;         // lines not removed
    bool removed = false;
    bool indexed = false;    // `keys` built (on the first lookup)
    std::unordered_map<std::wstring_view, std::vector<size_t>, FoldedHash, FoldedEqual> keys;  // a name's lines in order
  };

  size_t AddSection(const IniSection& section) {
    const size_t at = sections_.size();
    Section& added = sections_.emplace_back();
    added.name = section.name;
    added.entries.assign(section.entries.begin(), section.entries.end());
    added.gone.assign(section.entries.size(), false);
    added.live = section.entries.size();
    // The lines before the first header, and "[]", have no name to reach them by.
    if (at > 0 && !section.name.empty()) byName_[Folded(section.name)].push_back(at);
    return at;
  }

  size_t FindSection(const std::wstring& folded) const {
    const auto hit = byName_.find(folded);
    if (hit == byName_.end()) return kNone;
    for (size_t at : hit->second)
      if (!sections_[at].removed) return at;
    return kNone;
  }

  size_t FindKey(size_t sectionAt, std::wstring_view keyName) {
    Section& section = sections_[sectionAt];
    if (!section.indexed) {
      section.keys.reserve(section.entries.size());
      for (size_t i = 0; i < section.entries.size(); ++i)
        if (!section.gone[i]) section.keys[section.entries[i].name].push_back(i);
      section.indexed = true;
    }
    const auto hit = section.keys.find(keyName);
    if (hit == section.keys.end()) return kNone;
    for (size_t i : hit->second)
      if (!section.gone[i]) return i;
    return kNone;
  }

  std::deque<Section> sections_;  // sections_[0]: the lines before the first header
  std::unordered_map<std::wstring, std::vector<size_t>> byName_;
};

// One pair of matching quotes around a value is not part of it.
std::wstring_view StripQuotes(std::wstring_view value) {
  if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

#ifndef _WIN32
// Owns the system file system for the store that MakeSystemIniStore returns.
// Its bounded read looks at a path before it opens it, so a pipe given as
// record.ini cannot block the program and /dev/zero is not read forever.
class SystemFileIniStore final : public IniStore {
 public:
  SystemFileIniStore() : files_(MakeSystemFileSystem()), store_(*files_) {}
  IniFileState FileState(const std::wstring& file) override { return store_.FileState(file); }
  std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) override {
    return store_.Get(file, section, key);
  }
  std::vector<std::wstring> GetKeys(const std::wstring& file, const std::wstring& section,
                                    const std::vector<std::wstring>& keys) override {
    return store_.GetKeys(file, section, keys);
  }
  bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             const std::wstring& value) override {
    return store_.Write(file, section, key, value);
  }
  bool DeleteSection(const std::wstring& file, const std::wstring& section) override {
    return store_.DeleteSection(file, section);
  }
  bool DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) override {
    return store_.DeleteKey(file, section, key);
  }
  std::vector<std::wstring> SectionNames(const std::wstring& file) override { return store_.SectionNames(file); }
  bool WriteBatch(const std::wstring& file, const IniBatch& batch) override { return store_.WriteBatch(file, batch); }

 private:
  std::unique_ptr<ConfigFileSystem> files_;
  FileIniStore store_;
};
#endif

}  // namespace

struct FileIniStore::Parsed {
  std::wstring file;
  std::vector<uint8_t> bytes;
  IniDocument document;
  // Per section (by position in the document) read with GetKeys: its keys,
  // each to the first line of that name. Built on the first read and kept
  // with the document, so that reading the macros again, as every Confirm
  // and every slot encoding does, does not index them again.
  mutable std::unordered_map<const IniSection*,
                             std::unordered_map<std::wstring_view, const IniEntry*, FoldedHash, FoldedEqual>>
      keyTables;
};

FileIniStore::FileIniStore(ConfigFileSystem& files) : files_(files) {}
FileIniStore::~FileIniStore() = default;

// A missing file is an empty document; a file that exists but cannot be read,
// or is larger than any real one, gives nothing, so that a write does not
// replace it with a near-empty one. Every call reads the file, so a change by
// anyone else is seen at once; only the decoding and parsing of unchanged
// bytes is saved. That matters because a macro's entries are read one key at
// a time: parsing record.ini again for each of them made reading twelve
// macros cost seconds.
const FileIniStore::Parsed* FileIniStore::Load(const std::wstring& file) {
  std::vector<uint8_t> bytes;
  if (files_.Exists(file)) {
    FileRead read = files_.Read(file, kIniFileLimit);
    if (read.status != FileRead::Status::kRead) return nullptr;
    bytes = std::move(read.bytes);
  }
  if (!last_ || last_->file != file || last_->bytes != bytes) {
    IniDocument document = ParseIni(DecodeIniText(bytes));
    last_ = std::make_unique<Parsed>(Parsed{file, std::move(bytes), std::move(document), {}});
  }
  return last_.get();
}

// A read bounded to nothing tells the kind and size of the file without
// reading it.
IniFileState FileIniStore::FileState(const std::wstring& file) {
  const FileRead probe = files_.Read(file, 0);
  switch (probe.status) {
    case FileRead::Status::kRead:
      return IniFileState::kReadable;
    case FileRead::Status::kTooLarge:
      return probe.size > kIniFileLimit ? IniFileState::kTooLarge : IniFileState::kReadable;
    case FileRead::Status::kNotAFile:
      return IniFileState::kUnreadable;
    case FileRead::Status::kUnreadable:
      break;
  }
  return files_.Exists(file) ? IniFileState::kUnreadable : IniFileState::kMissing;
}

bool IsBlankIniName(const std::wstring& name) { return Trim(name).empty(); }

bool SameIniName(std::wstring_view a, std::wstring_view b) { return SameName(Trim(a), Trim(b)); }

int AddressedSection(const std::vector<std::wstring>& listed, const std::wstring& name) {
  const std::wstring_view wanted = Trim(name);
  if (wanted.empty()) return -1;
  for (size_t i = 0; i < listed.size(); ++i)
    if (SameName(listed[i], wanted)) return static_cast<int>(i);
  return -1;
}

std::vector<std::wstring> ApplySectionListLimit(const std::vector<std::wstring>& names, size_t maxChars) {
  std::vector<std::wstring> listed;
  size_t used = 0;
  for (const std::wstring& name : names) {
    used += Utf16Length(name) + 1;  // the name and its zero
    if (used > maxChars) break;
    listed.push_back(name);
  }
  return listed;
}

std::wstring FileIniStore::Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  const std::wstring_view sectionName = Trim(section);
  const std::wstring_view keyName = Trim(key);
  if (sectionName.empty() || keyName.empty()) return std::wstring();
  const Parsed* parsed = Load(file);
  if (!parsed) return std::wstring();
  const IniSection* found = parsed->document.Find(sectionName);
  if (!found) return std::wstring();
  for (const IniEntry& entry : found->entries) {
    if (SameName(entry.name, keyName)) {
      if (!entry.value) return std::wstring();
      return TruncateUtf16(StripQuotes(*entry.value), kIniValueLimit);
    }
  }
  return std::wstring();
}

// One lookup table of the section's keys serves every key asked for; the
// first of two lines with the same key is the one Get finds.
std::vector<std::wstring> FileIniStore::GetKeys(const std::wstring& file, const std::wstring& section,
                                                const std::vector<std::wstring>& keys) {
  std::vector<std::wstring> values(keys.size());
  const std::wstring_view sectionName = Trim(section);
  if (sectionName.empty()) return values;
  const Parsed* parsed = Load(file);
  if (!parsed) return values;
  const IniSection* found = parsed->document.Find(sectionName);
  if (!found) return values;
  auto [table, added] = parsed->keyTables.try_emplace(found);
  auto& byName = table->second;
  if (added) {
    byName.reserve(found->entries.size());
    for (const IniEntry& entry : found->entries) byName.try_emplace(entry.name, &entry);
  }
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::wstring_view keyName = Trim(keys[i]);
    if (keyName.empty()) continue;
    const auto hit = byName.find(keyName);
    if (hit != byName.end() && hit->second->value)
      values[i] = TruncateUtf16(StripQuotes(*hit->second->value), kIniValueLimit);
  }
  return values;
}

bool FileIniStore::Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                         const std::wstring& value) {
  return WriteBatch(file, IniBatch().Write(section, key, value));
}

bool FileIniStore::DeleteSection(const std::wstring& file, const std::wstring& section) {
  return WriteBatch(file, IniBatch().DeleteSection(section));
}

bool FileIniStore::DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  return WriteBatch(file, IniBatch().DeleteKey(section, key));
}

// One copy of the document takes every change; the file is encoded and
// replaced once, and only when something changed.
bool FileIniStore::WriteBatch(const std::wstring& file, const IniBatch& batch) {
  bool writes = false;
  for (const IniBatch::Change& change : batch.changes()) {
    if (change.kind != IniBatch::Kind::kWrite) continue;
    if (IsBlankIniName(change.section) || IsBlankIniName(change.key)) return false;
    writes = true;
  }
  if (!writes && !files_.Exists(file)) return true;  // nothing to delete from
  const Parsed* parsed = Load(file);
  if (!parsed) return false;
  BatchEditor editor(parsed->document);
  bool changed = false;
  for (const IniBatch::Change& change : batch.changes()) changed = editor.Apply(change) || changed;
  if (!changed) return true;
  const std::vector<uint8_t> bytes = EncodeIni(std::move(editor).Finish());
  if (bytes.size() > kIniFileLimit) return false;
  return files_.WriteReplace(file, bytes) == 0;
}

std::vector<std::wstring> FileIniStore::SectionNames(const std::wstring& file) {
  std::vector<std::wstring> names;
  const Parsed* parsed = Load(file);
  if (!parsed) return names;
  for (size_t i = 1; i < parsed->document.sections.size(); ++i) {
    if (!parsed->document.sections[i].name.empty()) names.push_back(parsed->document.sections[i].name);
  }
  return names;
}

#ifndef _WIN32
std::unique_ptr<IniStore> MakeSystemIniStore() { return std::make_unique<SystemFileIniStore>(); }
#endif

}  // namespace kovral
