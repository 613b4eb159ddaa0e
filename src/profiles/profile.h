#pragma once
// Profiles: the whole configuration (config.bin, the macros of record.ini and
// the button texts of str.ini in all three languages) as one readable UTF-8
// text a user can keep, compare, edit and move to another computer.
//
// The text is INI-like and versioned:
//
//   # Kovral profile
//   [profile]
//   version = 1
//   config_flag = 1
//   program = game.exe               optional, repeatable: the programs the
//                                    profile is for (a file without them is
//                                    what every earlier export wrote)
//   [device] / [dpi] / [lighting] / [pointer] / [raw]
//   [buttons.A.1] .. [buttons.B.8]   every parameter of every button by name
//   [macro.1] .. [macro.12]          name, loop, entries, and a slot's raw bytes
//                                    only when they are not what the entries give
//   [texts.EN] [texts.CHS] [texts.CHT] Item1..Item8, Item13..Item83
//
// Import checks the whole text before it yields anything, so a caller never
// holds a half-read profile; it touches no file and no mouse.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/config_file.h"
#include "settings/device_config.h"
#include "settings/ini_store.h"
#include "settings/ui_settings.h"

namespace kovral {

inline constexpr int kProfileVersion = 1;
inline constexpr int kProfileLanguageCount = 3;
// The str.ini sections of the three interface languages, in profile order.
inline constexpr const wchar_t* kProfileTextSections[kProfileLanguageCount] = {L"Setting-EN", L"Setting-CHS",
                                                                              L"Setting-CHT"};

struct ProfileMacro {
  std::wstring name;                  // the record.ini section
  std::vector<std::wstring> entries;  // "Item0".. as stored
};

struct ProfileData {
  DeviceConfig config{};
  uint8_t configFlag = 1;            // config.bin's first byte
  std::vector<ProfileMacro> macros;  // record.ini's order, which is the slot order
  std::wstring texts[kProfileLanguageCount][kButtonTextCount];
  // Executable file names ("game.exe") the profile is for, as written; no two
  // the same but for letter case, at most kProfileProgramLimit. Not part of
  // config.bin or the INI files.
  std::vector<std::wstring> programs;
};

// Why `name` cannot be the name of a file in a folder on any system the
// program runs on, or empty: empty or only spaces, a character Windows
// refuses in file names (<>:"/\|?* and control characters), a trailing dot
// or space, a reserved device name (CON, NUL, COM1, LPT1, ... also before
// an extension), an unpaired UTF-16 surrogate, or more than `limit` UTF-16
// units. `what` names the thing in the message ("program name").
std::string FileNameProblem(std::wstring_view name, size_t limit, const std::string& what);
// File names compare as Windows compares them, without letter case (every
// letter of the Basic Multilingual Plane with a one-letter case fold).
std::wstring FoldFileNameCase(std::wstring_view name);
bool SameFileName(std::wstring_view a, std::wstring_view b);
// The longest program name a profile keeps: a file name's limit.
inline constexpr size_t kProgramNameLimit = 255;
// The most programs one profile is for: far more than anyone names by hand,
// and few enough that reading a profile stays quick whatever a file holds.
inline constexpr size_t kProfileProgramLimit = 256;

std::string ExportProfile(const ProfileData& profile);

// The largest profile file import reads: a little more than the largest one
// export can write (twelve macros of 1024 entries and 48 button texts, each
// value as long as the INI files keep it; profile.cpp works it out). A real
// profile has some 20 KB; a larger file is refused before it is read.
inline constexpr size_t kProfileSizeLimit = size_t{40} << 20;
// "FILE has N bytes, more than a profile can have (at most M)".
std::string ProfileTooLarge(const std::wstring& file, uint64_t size);

struct ProfileImport {
  std::optional<ProfileData> profile;
  std::string error;  // "line N: ..." when profile is empty
};
ProfileImport ImportProfile(std::string_view text);

// What the files hold now: record.ini's macros (a missing file has none) and
// the sixteen texts of each language section of str.ini.
void ReadProfileFiles(IniStore& ini, ConfigFileSystem& files, const std::wstring& recordIni,
                      const std::wstring& strIni, ProfileData& profile);

// Replaces record.ini's macros by the profile's (every section of the file is
// removed first, so the slots and the names agree again) and writes the button
// texts of the three languages into str.ini; str.ini's other keys stay.
// False if any write failed.
bool WriteProfileIniFiles(IniStore& ini, const std::wstring& recordIni, const std::wstring& strIni,
                          const ProfileData& profile);
// The record.ini halves of both.
std::vector<ProfileMacro> ReadProfileMacros(IniStore& ini, ConfigFileSystem& files, const std::wstring& recordIni);
bool WriteProfileMacros(IniStore& ini, const std::wstring& recordIni, const std::vector<ProfileMacro>& macros);
// The position of a str.ini language section in the profile's order, or -1.
int ProfileLanguageIndex(std::wstring_view section);

}  // namespace kovral
