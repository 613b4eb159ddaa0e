#pragma once
// The Profiles dialog: the profiles of the library with their programs and
// which one the mouse holds; the current settings saved under a typed name,
// a program added (from the file dialog or the windows open now) or removed,
// a profile renamed or deleted. Each action changes the folder at once and
// tells the program, which reads the library again; OK and Cancel close.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/profiles_view.h"
#include "dialogs/skin_dialog_win.h"
#include "profiles/profile.h"
#include "ui/file_chooser.h"

namespace kovral {

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

class CProfilesDialog final : public CSkinDialog {
 public:
  CProfilesDialog(DialogEnvironment environment, ProfilesDialogServices services);

 protected:
  void CreateControls() override;
  void AddOwnTexts(Scene& scene) const override;
  void AddStatusLines(Scene& scene) const;
  bool OnFieldClick(layout::Point p) override;
  bool OnControlCommand(int id, int code) override;
  void OnWheel(int delta) override;
  void OnOK() override;

 private:
  void Fill(const std::wstring& profile = {}, const std::wstring& program = {});
  const ProfilesRow* Selected() const;
  std::wstring TypedName() const;
  void Say(std::wstring text);
  // Shows the library's answer: empty is `done`, else its reason.
  void Report(const std::string& problem, const std::wstring& done);

  void Save();
  void Rename();
  void OpenProgramList();
  void AddChosenProgram();
  void RemoveProgram();
  void Delete();

  ProfilesDialogServices services_;
  const ProfilesTexts& texts_;
  ProfileListing listing_;
  std::vector<ProfilesRow> rows_;
  std::vector<std::wstring> openPrograms_;
  HWND profileList_ = nullptr;
  HWND nameEdit_ = nullptr;
  std::wstring status_;
};

}  // namespace kovral
