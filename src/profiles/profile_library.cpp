#include "profiles/profile_library.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "settings/text_encoding.h"

namespace kovral {
namespace {

std::string Quoted(std::wstring_view name) { return "'" + ToUtf8(std::wstring(name)) + "'"; }

// Profiles and programs are ordered as a user reads a list: without letter
// case, the exact spelling only deciding between names that differ in case.
bool NameBefore(const std::wstring& a, const std::wstring& b) {
  const std::wstring fa = FoldFileNameCase(a), fb = FoldFileNameCase(b);
  return fa != fb ? fa < fb : a < b;
}

bool HasProfileExtension(const std::wstring& file) {
  const size_t n = std::char_traits<wchar_t>::length(kProfileExtension);
  return file.size() > n && SameFileName(std::wstring_view(file).substr(file.size() - n), kProfileExtension);
}

std::wstring StemOf(const std::wstring& file) {
  return file.substr(0, file.size() - std::char_traits<wchar_t>::length(kProfileExtension));
}

std::string ProgramLimitProblem() {
  return "a profile is for at most " + std::to_string(kProfileProgramLimit) + " programs";
}

// The file system took the name for a file the program's letter-case rule
// did not find.
std::string NameTakenProblem(std::wstring_view name) {
  return "a profile whose name the file system does not tell apart from " + Quoted(name) + " exists already";
}

std::string SystemError(const char* what, std::wstring_view file, int error) {
  return std::string("cannot ") + what + " " + ToUtf8(std::wstring(file)) + " (error " + std::to_string(error) + ")";
}

ProfileRead ReadProfileFile(ConfigFileSystem& files, const std::wstring& file) {
  ProfileRead result;
  const FileRead read = files.Read(file, kProfileSizeLimit);
  switch (read.status) {
    case FileRead::Status::kRead: break;
    case FileRead::Status::kTooLarge: result.error = ProfileTooLarge(file, read.size); return result;
    case FileRead::Status::kNotAFile: result.error = "not a regular file"; return result;
    case FileRead::Status::kUnreadable: result.error = "cannot be read"; return result;
  }
  ProfileImport imported =
      ImportProfile(std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()));
  if (!imported.profile) {
    result.error = imported.error;
    return result;
  }
  result.profile = std::move(imported.profile);
  return result;
}

}  // namespace

std::wstring_view ProgramFileName(std::wstring_view path) {
  const size_t at = path.find_last_of(L"\\/");
  return at == std::wstring_view::npos ? path : path.substr(at + 1);
}

bool NamesProgram(const std::vector<std::wstring>& programs, std::wstring_view program) {
  const std::wstring_view file = ProgramFileName(program);
  return std::any_of(programs.begin(), programs.end(), [&](const std::wstring& p) { return SameFileName(p, file); });
}

std::string ProfileNameProblem(std::wstring_view name) {
  if (std::string problem = FileNameProblem(name, kProfileNameLimit, "profile name"); !problem.empty())
    return problem;
  if (SameFileName(name, kDesktopProfileName))
    return "profile name " + Quoted(name) + " stands for the Desktop settings (config.bin)";
  return {};
}

ProfileLibrary::ProfileLibrary(ConfigFileSystem& files, std::wstring folder) : files_(files), folder_(std::move(folder)) {
  while (folder_.size() > 1 && (folder_.back() == L'/' || folder_.back() == L'\\')) folder_.pop_back();
}

std::wstring ProfileLibrary::FileOf(std::wstring_view name) const {
  // The folder's own separator, so a Windows path stays one.
  const wchar_t separator =
      folder_.find(L'\\') != std::wstring::npos && folder_.find(L'/') == std::wstring::npos ? L'\\' : L'/';
  return folder_ + separator + std::wstring(name) + kProfileExtension;
}

ProfileListing ProfileLibrary::List() {
  ProfileListing listing;
  if (!files_.Exists(folder_)) return listing;
  const auto names = files_.ListFiles(folder_);
  if (!names) {
    listing.problem = "cannot list the profiles' folder " + ToUtf8(folder_);
    return listing;
  }
  std::vector<std::wstring> stems;
  for (const std::wstring& file : *names)
    if (HasProfileExtension(file)) stems.push_back(StemOf(file));
  std::sort(stems.begin(), stems.end(), NameBefore);

  // Program (folded) -> index of its conflict entry, for the later profiles.
  std::map<std::wstring, std::pair<std::wstring, std::wstring>> firstClaim;  // folded -> (spelling, profile)
  std::map<std::wstring, size_t> conflictOf;
  for (const std::wstring& stem : stems) {
    ProfileEntry entry;
    entry.name = stem;
    entry.file = FileOf(stem);
    // A name the program could not have saved (a device name, a trailing dot)
    // is still listed, as broken, so the user learns why it is never used.
    if (const std::string problem = ProfileNameProblem(stem); !problem.empty()) {
      entry.problem = problem;
    } else {
      ProfileRead read = ReadProfileFile(files_, entry.file);
      if (read.profile)
        entry.programs = std::move(read.profile->programs);
      else
        entry.problem = read.error;
    }
    for (const std::wstring& program : entry.programs) {
      const std::wstring folded = FoldFileNameCase(program);
      const auto claimed = firstClaim.find(folded);
      if (claimed == firstClaim.end()) {
        firstClaim[folded] = {program, stem};
        continue;
      }
      auto conflict = conflictOf.find(folded);
      if (conflict == conflictOf.end()) {
        conflict = conflictOf.emplace(folded, listing.conflicts.size()).first;
        listing.conflicts.push_back({claimed->second.first, claimed->second.second, {}});
      }
      listing.conflicts[conflict->second].ignored.push_back(stem);
    }
    listing.profiles.push_back(std::move(entry));
  }
  return listing;
}

std::optional<std::wstring> ProfileLibrary::StoredName(std::wstring_view name, std::string& problem) {
  if (!files_.Exists(folder_)) return std::nullopt;
  const auto names = files_.ListFiles(folder_);
  if (!names) {
    problem = "cannot list the profiles' folder " + ToUtf8(folder_);
    return std::nullopt;
  }
  std::optional<std::wstring> found;
  for (const std::wstring& file : *names) {
    if (!HasProfileExtension(file) || !SameFileName(StemOf(file), name)) continue;
    // Two files differing only in case (possible on Linux): the exact spelling wins.
    if (!found || StemOf(file) == name) found = StemOf(file);
  }
  return found;
}

ProfileRead ProfileLibrary::Read(std::wstring_view name) {
  ProfileRead result;
  if (result.error = ProfileNameProblem(name); !result.error.empty()) return result;
  const std::optional<std::wstring> stored = StoredName(name, result.error);
  if (!result.error.empty()) return result;
  if (!stored) {
    result.error = "no profile named " + Quoted(name) + " in " + ToUtf8(folder_);
    return result;
  }
  result = ReadProfileFile(files_, FileOf(*stored));
  if (!result.profile) result.error = "profile " + Quoted(*stored) + ": " + result.error;
  return result;
}

std::string ProfileLibrary::Save(std::wstring_view name, const ProfileData& profile, bool replace) {
  if (std::string problem = ProfileNameProblem(name); !problem.empty()) return problem;
  ProfileData saved = profile;
  saved.programs.clear();
  std::unordered_set<std::wstring> named;  // folded
  for (const std::wstring& program : profile.programs) {
    if (std::string problem = FileNameProblem(program, kProgramNameLimit, "program name"); !problem.empty())
      return problem;
    if (named.insert(FoldFileNameCase(program)).second) saved.programs.push_back(program);
  }
  if (saved.programs.size() > kProfileProgramLimit) return ProgramLimitProblem();
  std::string problem;
  const std::optional<std::wstring> stored = StoredName(name, problem);
  if (!problem.empty()) return problem;
  if (stored && !replace) return "a profile named " + Quoted(*stored) + " exists already";
  if (const int error = files_.CreateFolder(folder_); error != 0)
    return SystemError("create the folder", folder_, error);
  const std::string text = ExportProfile(saved);
  const std::vector<uint8_t> bytes(text.begin(), text.end());
  if (stored) {
    const std::wstring file = FileOf(*stored);
    if (const int error = files_.WriteReplace(file, bytes); error != 0) return SystemError("write", file, error);
    return {};
  }
  // A new profile never replaces a file: the file system may take the name
  // for one it holds where the program's letter-case rule does not.
  const std::wstring file = FileOf(name);
  const int error = files_.WriteNew(file, bytes);
  if (error == kFileNameTaken) return NameTakenProblem(name);
  if (error != 0) return SystemError("write", file, error);
  return {};
}

std::string ProfileLibrary::Rename(std::wstring_view from, std::wstring_view to) {
  if (std::string problem = ProfileNameProblem(to); !problem.empty()) return problem;
  std::string problem;
  const std::optional<std::wstring> source = StoredName(from, problem);
  if (!problem.empty()) return problem;
  if (!source) return "no profile named " + Quoted(from) + " in " + ToUtf8(folder_);
  if (*source == to) return {};
  const std::wstring sourceFile = FileOf(*source), targetFile = FileOf(to);
  if (SameFileName(*source, to)) {
    // Letter case alone: Windows may keep the old spelling when a file is
    // moved onto its own name, so it goes through a name of no profile.
    const std::wstring between = sourceFile + L".rename";
    if (const int error = files_.Rename(sourceFile, between); error != 0)
      return SystemError("rename", sourceFile, error);
    if (const int error = files_.Rename(between, targetFile); error != 0) {
      files_.Rename(between, sourceFile);
      return error == kFileNameTaken ? NameTakenProblem(to) : SystemError("rename", sourceFile, error);
    }
    return {};
  }
  // Any other profile of that name stays: a rename never replaces a file.
  const std::optional<std::wstring> target = StoredName(to, problem);
  if (!problem.empty()) return problem;
  if (target) return "a profile named " + Quoted(*target) + " exists already";
  const int error = files_.Rename(sourceFile, targetFile);
  if (error == kFileNameTaken) return NameTakenProblem(to);
  if (error != 0) return SystemError("rename", sourceFile, error);
  return {};
}

std::string ProfileLibrary::Delete(std::wstring_view name) {
  std::string problem;
  const std::optional<std::wstring> stored = StoredName(name, problem);
  if (!problem.empty()) return problem;
  if (!stored) return "no profile named " + Quoted(name) + " in " + ToUtf8(folder_);
  if (const int error = files_.Remove(FileOf(*stored)); error != 0) return SystemError("delete", FileOf(*stored), error);
  return {};
}

std::string ProfileLibrary::AddProgram(std::wstring_view name, std::wstring_view program) {
  const std::wstring_view file = ProgramFileName(program);
  if (std::string problem = FileNameProblem(file, kProgramNameLimit, "program name"); !problem.empty()) return problem;
  ProfileRead read = Read(name);
  if (!read.profile) return read.error;
  for (const std::wstring& p : read.profile->programs)
    if (SameFileName(p, file)) return "the profile is for " + Quoted(p) + " already";
  if (read.profile->programs.size() >= kProfileProgramLimit) return ProgramLimitProblem();
  read.profile->programs.emplace_back(file);
  return Save(name, *read.profile, true);
}

std::string ProfileLibrary::RemoveProgram(std::wstring_view name, std::wstring_view program) {
  ProfileRead read = Read(name);
  if (!read.profile) return read.error;
  std::vector<std::wstring>& programs = read.profile->programs;
  const auto it = std::find_if(programs.begin(), programs.end(),
                               [&](const std::wstring& p) { return SameFileName(p, program); });
  if (it == programs.end()) return "the profile is not for " + Quoted(program);
  programs.erase(it);
  return Save(name, *read.profile, true);
}

ProfileMatch ProfileLibrary::ProfileFor(std::wstring_view executable) {
  ProfileMatch match;
  const std::wstring_view program = ProgramFileName(executable);
  if (program.empty()) return match;
  for (const ProfileEntry& entry : List().profiles) {
    if (!entry.Good()) continue;
    if (!NamesProgram(entry.programs, program)) continue;
    if (!match.profile)
      match.profile = entry.name;
    else
      match.ignored.push_back(entry.name);
  }
  return match;
}

std::string KeepImportedPrograms(ProfileLibrary& library, const std::wstring& importedFile,
                                 const ProfileData& profile) {
  if (profile.programs.empty()) return {};
  std::wstring name(ProgramFileName(importedFile));
  if (HasProfileExtension(name)) name = StemOf(name);
  if (std::string problem = ProfileNameProblem(name); !problem.empty())
    return "its programs were not kept in the library: " + problem;
  // Only the names are looked at: the import must not wait for every
  // profile of the folder to be read.
  std::string problem;
  if (const std::optional<std::wstring> stored = library.StoredName(name, problem); stored)
    return "its programs were not kept in the library: a profile named " + Quoted(*stored) + " is there already";
  if (!problem.empty()) return "its programs were not kept in the library: " + problem;
  if (std::string problem = library.Save(name, profile, false); !problem.empty())
    return "its programs were not kept in the library: " + problem;
  return "kept as profile " + Quoted(name) + " with its programs";
}

}  // namespace kovral
