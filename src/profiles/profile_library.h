#pragma once
// The profile library: named profiles kept as NAME.kvprofile files in one
// folder (the program's is "Profiles" beside its executable), each the text
// export writes, optionally naming the programs it is for. Every read checks
// the whole file as import does, so a profile that is listed as good can be
// sent as it is, and a broken one is listed with its line and reason and
// never yields a record.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/config_file.h"
#include "profiles/profile.h"

namespace kovral {

inline constexpr wchar_t kProfileFolderName[] = L"Profiles";
inline constexpr wchar_t kProfileExtension[] = L".kvprofile";
// Longest profile name: short enough for a menu entry and, with the folder
// and the extension, well inside Windows' 260-character paths.
inline constexpr size_t kProfileNameLimit = 64;
// The name that stands for the Desktop settings (config.bin) wherever a
// profile is named; no profile may take it.
inline constexpr wchar_t kDesktopProfileName[] = L"desktop";

// Why `name` cannot name a profile, or empty (see FileNameProblem; also the
// Desktop settings' name in any letter case).
std::string ProfileNameProblem(std::wstring_view name);

// The file name at the end of a path, either separator: what a profile
// names a program by.
std::wstring_view ProgramFileName(std::wstring_view path);
// Whether `programs` names a program (a file name or a whole path), letter
// case aside.
bool NamesProgram(const std::vector<std::wstring>& programs, std::wstring_view program);

struct ProfileEntry {
  std::wstring name;                   // the file name without the extension, as on disk
  std::wstring file;                   // the whole path
  std::vector<std::wstring> programs;  // of a good profile
  std::string problem;                 // empty for a good profile, else "line N: ..." or why it cannot be read
  bool Good() const { return problem.empty(); }
};

// A program named by more than one good profile: the first by name is used.
struct ProgramConflict {
  std::wstring program;               // as the winning profile spells it
  std::wstring used;                  // the profile that is used for it
  std::vector<std::wstring> ignored;  // the later ones, by name
};

struct ProfileListing {
  std::vector<ProfileEntry> profiles;  // by name without letter case
  std::vector<ProgramConflict> conflicts;
  std::string problem;  // the folder exists but cannot be listed
};

struct ProfileRead {
  std::optional<ProfileData> profile;
  std::string error;  // when there is none
};

struct ProfileMatch {
  std::optional<std::wstring> profile;  // nothing: the Desktop settings
  std::vector<std::wstring> ignored;    // later profiles naming the same program
};

class ProfileLibrary {
 public:
  // `folder` is the profiles' folder itself (with or without a trailing
  // separator); it is created at the first save.
  ProfileLibrary(ConfigFileSystem& files, std::wstring folder);

  const std::wstring& Folder() const { return folder_; }
  std::wstring FileOf(std::wstring_view name) const;

  // Every NAME.kvprofile in the folder (a missing folder holds none), each
  // read and checked whole.
  ProfileListing List();
  // The profile of that name (letter case aside), checked whole.
  ProfileRead Read(std::wstring_view name);
  // Saves `profile` (its programs included, at most kProfileProgramLimit) as
  // NAME.kvprofile. A profile of that name (letter case aside) is replaced
  // only when `replace` is set, and keeps its file's spelling; a new one
  // never replaces a file the file system takes for the same name. Returns
  // the problem in words, or empty.
  std::string Save(std::wstring_view name, const ProfileData& profile, bool replace);
  // Renames a profile; the new name must be free unless it is the same one
  // in other letter case, which then takes that spelling. No file is ever
  // replaced.
  std::string Rename(std::wstring_view from, std::wstring_view to);
  std::string Delete(std::wstring_view name);
  // A program the profile is for: an executable's file name, or a whole
  // path whose file name is taken. Adding one the profile names already
  // (letter case aside) or removing one it does not name is refused. The
  // rest of the file stays as it was.
  std::string AddProgram(std::wstring_view name, std::wstring_view program);
  std::string RemoveProgram(std::wstring_view name, std::wstring_view program);
  // Which good profile is for this executable (a file name or a whole path;
  // compared without letter case). Broken profiles never match.
  ProfileMatch ProfileFor(std::wstring_view executable);
  // The name on disk of the profile of that name (letter case aside), if
  // any; `problem` says when the folder cannot be listed. Reads no profile.
  std::optional<std::wstring> StoredName(std::wstring_view name, std::string& problem);

 private:
  ConfigFileSystem& files_;
  std::wstring folder_;  // without a trailing separator
};

// The programs of an imported profile are kept in the library, since
// config.bin and the INI files have no place for them: the profile is stored
// under the imported file's name (without its extension) unless a profile of
// that name is there already. Returns what was done in words (empty when
// the profile names no program).
std::string KeepImportedPrograms(ProfileLibrary& library, const std::wstring& importedFile,
                                 const ProfileData& profile);

}  // namespace kovral
