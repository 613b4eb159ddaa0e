#pragma once
// INI files with the behaviour of the Windows profile-string functions, which
// is what the program's str.ini and record.ini have always been written with.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kovral {

class ConfigFileSystem;

// Every read returns at most this many characters (UTF-16 code units): the
// profile functions' 1024-character buffer less its terminating zero.
inline constexpr size_t kIniValueLimit = 1023;

// Section and key names are compared without regard to case and without
// surrounding white space. Values lose leading and trailing white space, and
// one pair of matching quotes ('...' or "...") around a value is removed
// when it is read.
class IniStore {
 public:
  virtual ~IniStore() = default;
  // The key's value cut to kIniValueLimit; empty when the file, section or key is absent.
  virtual std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) = 0;
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
};

// True for a section or key name that is empty once white space is removed;
// neither store writes such a name.
bool IsBlankIniName(const std::wstring& name);

// Whether two names given to a store address the same section or key: equal
// without surrounding white space and without regard to case.
bool SameIniName(std::wstring_view a, std::wstring_view b);

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
  std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             const std::wstring& value) override;
  bool DeleteSection(const std::wstring& file, const std::wstring& section) override;
  bool DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  std::vector<std::wstring> SectionNames(const std::wstring& file) override;

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
// file in which Chinese texts turn into "?".
class Win32IniStore final : public IniStore {
 public:
  std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             const std::wstring& value) override;
  bool DeleteSection(const std::wstring& file, const std::wstring& section) override;
  bool DeleteKey(const std::wstring& file, const std::wstring& section, const std::wstring& key) override;
  std::vector<std::wstring> SectionNames(const std::wstring& file) override;
};
#endif

}  // namespace kovral
