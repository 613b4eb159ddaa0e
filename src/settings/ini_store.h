#pragma once
// INI files with the behaviour of the Windows profile-string functions, which
// is what the program's str.ini and record.ini have always been written with.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kovral {

class ConfigFileSystem;

// Every read returns at most this many characters (UTF-16 code units): the
// profile functions' 1024-character buffer less its terminating zero.
inline constexpr size_t kIniValueLimit = 1023;

// The largest INI file a store reads or writes, in bytes. The largest file the
// program writes itself is record.ini with twelve macros at the 1024 entries a
// macro is read up to: about 1 MiB in UTF-16 with its longest key names, and
// str.ini's three languages of sixteen texts stay below 100 KiB even at the
// 1023-character read limit. Eight times that leaves room for hand-edited
// files and imported profiles with long entries, while a file past it (a
// device, a log written over the file, /dev/zero given to kvctl) can be
// refused before it is read instead of growing without end.
inline constexpr uint64_t kIniFileLimit = 8u << 20;

// What a store finds at a path before it reads it.
enum class IniFileState {
  kMissing,     // nothing there: reads are empty, a write creates the file
  kReadable,    // a file the store reads
  kUnreadable,  // a directory, a device or pipe, or a file that cannot be opened
  kTooLarge,    // a file larger than kIniFileLimit
};

// Changes to one file that a store makes together (IniStore::WriteBatch).
class IniBatch {
 public:
  enum class Kind { kWrite, kDeleteKey, kDeleteSection, kClear };
  struct Change {
    Kind kind;
    std::wstring section;
    std::wstring key;    // empty for kDeleteSection and kClear
    std::wstring value;  // kWrite only
  };

  IniBatch& Write(std::wstring section, std::wstring key, std::wstring value) {
    changes_.push_back({Kind::kWrite, std::move(section), std::move(key), std::move(value)});
    return *this;
  }
  IniBatch& DeleteKey(std::wstring section, std::wstring key) {
    changes_.push_back({Kind::kDeleteKey, std::move(section), std::move(key), {}});
    return *this;
  }
  IniBatch& DeleteSection(std::wstring section) {
    changes_.push_back({Kind::kDeleteSection, std::move(section), {}, {}});
    return *this;
  }
  // Everything the file held before goes: sections a name cannot address
  // (a header with spaces inside its brackets, "[]") and lines before the
  // first header included. What follows in the batch builds the new file.
  IniBatch& Clear() {
    changes_.push_back({Kind::kClear, {}, {}, {}});
    return *this;
  }
  const std::vector<Change>& changes() const { return changes_; }
  bool empty() const { return changes_.empty(); }

 private:
  std::vector<Change> changes_;
};

// Section and key names are compared without regard to case and without
// surrounding white space. Values lose leading and trailing white space, and
// one pair of matching quotes ('...' or "...") around a value is removed
// when it is read. A file that is not kReadable (but missing) reads as empty
// and refuses every write, so that a write never replaces what could not be
// read.
class IniStore {
 public:
  virtual ~IniStore() = default;
  // What the file is for the store, so that a caller can say why it reads empty.
  virtual IniFileState FileState(const std::wstring& file) = 0;
  // The key's value cut to kIniValueLimit; empty when the file, section or key is absent.
  virtual std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) = 0;
  // The values of several keys of one section, each as Get gives it, from one
  // reading of the file (a macro's entries are a thousand keys).
  virtual std::vector<std::wstring> GetKeys(const std::wstring& file, const std::wstring& section,
                                            const std::vector<std::wstring>& keys) = 0;
  // Sets the key, adding it at the end of its section and a new section at the
  // end of the file. A missing file is created as UTF-16LE with a byte-order
  // mark, so that any text can be stored. False when the file cannot be written.
  virtual bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) = 0;
  // Removes the section and its keys; a later Write re-creates it at the end of
  // the file. Deleting what is not there succeeds and creates no file.
  virtual bool DeleteSection(const std::wstring& file, const std::wstring& section) = 0;
  // Removes one key; its section keeps its place among the others.
  // Deleting what is not there succeeds and creates no file.
  virtual bool DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) = 0;
  // The names of all sections, in file order, complete and uncut (the raw
  // listing; ApplySectionListLimit gives what a fixed listing buffer holds).
  virtual std::vector<std::wstring> SectionNames(const std::wstring& file) = 0;
  // Makes the batch's changes in order, each as the call of its name would,
  // on one copy of the file, which then replaces the file in one step: the
  // file holds all of them, or (false) none, also when the program is killed
  // meanwhile. A write with a blank name refuses the whole batch; deletions
  // alone create no file; a batch that would make the file larger than
  // kIniFileLimit is refused.
  virtual bool WriteBatch(const std::wstring& file, const IniBatch& batch) = 0;
};

// True for a section or key name that is empty once white space is removed;
// neither store writes such a name.
bool IsBlankIniName(const std::wstring& name);

// Whether two names given to a store address the same section or key: equal
// without surrounding white space and without regard to case.
bool SameIniName(std::wstring_view a, std::wstring_view b);

// The position among listed section names (as SectionNames gives them) of
// the section a store's DeleteSection or Write of `name` reaches: the first
// whose name as the file has it equals `name` without its surrounding white
// space, letter case aside. -1 when none does: a header with spaces inside
// its brackets ("[ Fire ]") is listed but no name reaches it.
int AddressedSection(const std::vector<std::wstring>& listed, const std::wstring& name);

// The names a reader of a fixed section-name listing sees: the listing puts
// each name followed by a zero, and only names whose zero lies within the
// first maxChars characters (counted in UTF-16 code units) are taken.
std::vector<std::wstring> ApplySectionListLimit(const std::vector<std::wstring>& names, size_t maxChars);

// Reads and writes the files itself (through the file seam), with the
// profile functions' rules. Files without a byte-order mark are read as UTF-8,
// or as Windows-1252 when they are not valid UTF-8; files with a mark as
// UTF-8, UTF-16LE or UTF-16BE. Every write stores the whole file as UTF-16LE
// with a byte-order mark, replacing it in one step.
class FileIniStore final : public IniStore {
 public:
  explicit FileIniStore(ConfigFileSystem& files);
  ~FileIniStore() override;
  // From the file seam's bounded read, which gives the size without reading.
  IniFileState FileState(const std::wstring& file) override;
  std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  std::vector<std::wstring> GetKeys(const std::wstring& file, const std::wstring& section,
                                    const std::vector<std::wstring>& keys) override;
  bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             const std::wstring& value) override;
  bool DeleteSection(const std::wstring& file, const std::wstring& section) override;
  bool DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  std::vector<std::wstring> SectionNames(const std::wstring& file) override;
  bool WriteBatch(const std::wstring& file, const IniBatch& batch) override;

 private:
  // A file's bytes and what they parse to.
  struct Parsed;
  // The file as it is now (missing: empty), parsed again only when its bytes
  // differ from the last ones read; nullptr when it exists but cannot be read.
  const Parsed* Load(const std::wstring& file);

  ConfigFileSystem& files_;
  std::unique_ptr<Parsed> last_;
};

// The platform's store: Win32IniStore (the profile functions) in the Windows
// build, FileIniStore over the system file system elsewhere.
std::unique_ptr<IniStore> MakeSystemIniStore();

#ifdef _WIN32
// Calls GetPrivateProfileStringW, WritePrivateProfileStringW and
// GetPrivateProfileSectionNamesW. Before the first write to a missing or empty
// file it writes a UTF-16LE byte-order mark into it, because the profile
// functions keep the encoding they find and would otherwise create an ANSI
// file in which Chinese texts turn into "?". A batch is made with the same
// functions on a copy of the file beside it, which then replaces the file.
class Win32IniStore final : public IniStore {
 public:
  IniFileState FileState(const std::wstring& file) override;
  std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  std::vector<std::wstring> GetKeys(const std::wstring& file, const std::wstring& section,
                                    const std::vector<std::wstring>& keys) override;
  bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             const std::wstring& value) override;
  bool DeleteSection(const std::wstring& file, const std::wstring& section) override;
  bool DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  std::vector<std::wstring> SectionNames(const std::wstring& file) override;
  bool WriteBatch(const std::wstring& file, const IniBatch& batch) override;
};
#endif

}  // namespace kovral
