#pragma once
// What the Profiles dialog lists, apart from its window: one row for each
// profile (the one the mouse holds marked, a broken one with its reason),
// each followed by a row for every program it is for; and which profile or
// program a selected row stands for.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/skin_dialog.h"
#include "lang/dialog_texts.h"
#include "profiles/profile.h"
#include "profiles/profile_follower.h"
#include "profiles/profile_library.h"
#include "ui/file_chooser.h"

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

inline constexpr int kProfilesListId = 590;
inline constexpr int kProfilesNameEditId = 591;
inline constexpr int kProfilesProgramListId = 592;

struct ProfilesDialogServices {
  ProfileLibrary& library;
  FileChooser* files = nullptr;                    // "Browse…"; none: only the open windows
  std::function<ProfileData()> currentSettings;    // what the window shows, edits included
  std::function<std::optional<SwitchTarget>()> active;  // what the mouse holds now
  std::function<void()> changed;                   // after every change of the folder
};

// The Profiles dialog: the library's profiles with their programs; the
// current settings saved under a typed name, a program added or removed, a
// profile renamed or deleted. Each action changes the folder at once and
// says how it went in the status box.
class ProfilesDialogModel final : public SkinDialogModel {
 public:
  // `openWindows`: the windows open now, for "Add program…".
  ProfilesDialogModel(DialogEnvironment environment, ProfilesDialogServices services,
                      std::function<std::vector<FrontWindow>()> openWindows);
  void Open() override;
  void OnOk() override;
  void OnWheel(int delta) override;
  const std::wstring& status() const { return status_; }

 private:
  void AddOwnTexts(Scene& scene) const override;
  void AddStatusLines(Scene& scene) const;
  void OnFieldClick(layout::Point p) override;
  void OnListChoice(int id, int index) override;
  void OnListSelected(int id) override;

  void Fill(const std::wstring& profile = {}, const std::wstring& program = {});
  const ProfilesRow* Selected() const;
  std::wstring TypedName() const;
  void Say(std::wstring text);
  // Shows the library's answer: empty is `done`, else its reason.
  void Report(const std::string& problem, const std::wstring& done);

  void Save();
  void Rename();
  void OpenProgramList();
  void AddChosenProgram(int index);
  void RemoveProgram();
  void Delete();

  ProfilesDialogServices services_;
  std::function<std::vector<FrontWindow>()> openWindows_;
  const ProfilesTexts& texts_;
  ProfileListing listing_;
  std::vector<ProfilesRow> rows_;
  std::vector<std::wstring> openPrograms_;
  std::wstring status_;
};

}  // namespace kovral
