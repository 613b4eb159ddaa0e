#pragma once
// What the Profiles dialog lists, apart from its window: one row for each
// profile (the one the mouse holds marked, a broken one with its reason),
// each followed by a row for every program it is for; and which profile or
// program a selected row stands for.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/dialog_texts.h"
#include "profiles/profile_follower.h"
#include "profiles/profile_library.h"

namespace kovral {

struct ProfilesRow {
  std::wstring text;
  size_t profile = 0;                // index into the listing's profiles
  std::optional<size_t> program;     // index into its programs; nothing: the profile's own row
};

std::vector<ProfilesRow> ProfilesRows(const ProfileListing& listing, const std::optional<SwitchTarget>& active,
                                      const ProfilesTexts& texts);

// The row to select after the list was made again: the profile (and
// program) of that name, else nothing.
std::optional<size_t> RowOf(const std::vector<ProfilesRow>& rows, const ProfileListing& listing,
                            const std::wstring& profile, const std::wstring& program = {});

// What the dialog tells before it asks the library, in the interface's
// words: why `name` cannot name a profile (empty when it can); the listed
// profile of a name, letter case aside (null when none). With the library's
// NamesProgram it also refuses a program a profile is for already. The
// library checks the same again against the files and answers in English, as
// kvctl does; the dialog shows that answer only for what the list cannot
// know (a failed write, a file changed behind its back).
std::wstring UnusableProfileName(std::wstring_view name, const ProfilesTexts& texts);
const ProfileEntry* ProfileNamed(const ProfileListing& listing, std::wstring_view name);

// The programs of the windows open now, each once (letter case aside), in
// order of their names: the choices "Add program…" offers beside the file
// dialog. Windows of this program and of processes that cannot be asked
// have no name to offer.
std::vector<std::wstring> OpenProgramNames(const std::vector<FrontWindow>& windows);

}  // namespace kovral
