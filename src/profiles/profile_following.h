#pragma once
// The program's side of following the front program: the library's programs
// read once per change of the folder, the rule (ProfileFollower) fed and its
// due switch sent through the link, and the window's settings made those the
// mouse now holds. The window shows and edits the Desktop settings or the
// profile switched to: its unapplied edits are kept aside while another
// target is shown and come back with it, and an Apply while a profile is
// shown sends that profile and saves it into its file, never into
// config.bin. The system's pointer settings belong to the desktop: a profile
// is shown with the Desktop pointer values, and its own are kept in its file.
// A shown profile's macros are its own: the macro panel edits a copy of them
// (the session's macro file), saved into the profile with its other
// settings, while record.ini stays the Desktop settings'.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "lang/main_texts.h"
#include "lang/notices.h"
#include "profiles/foreground_watch.h"
#include "profiles/profile_follower.h"
#include "profiles/profile_library.h"
#include "profiles/sent_marker.h"
#include "settings/settings_session.h"

namespace kovral {

struct DeviceImage;
struct DeviceLink;

// What a switch did, for the balloon and the window.
struct SwitchOutcome {
  SwitchTarget target;
  bool sent = false;           // the mouse got it whole
  bool windowChanged = false;  // the window now shows other settings
  std::string problem;         // a profile that could not be read
  // The macro copy of the profile now shown could not be written (its path).
  std::wstring macroFileFailed;
};

// A profile the user would have had that cannot be read, told once per
// change of its file.
struct UnreadableProfile {
  std::wstring name;
  std::string problem;
};

// The copy of a shown profile's macros, beside record.ini.
inline constexpr wchar_t kShownMacroFileName[] = L"profile-record.ini";

// The window's button texts, edits of every language included, into `profile`.
void TakeWindowTexts(const SettingsSession& session, ProfileData& profile);

class ProfileFollowing {
 public:
  // `library` is the program's Profiles folder; `session` the window's. A
  // marker left by a run that ended with a profile on the mouse (or by
  // kvctl) makes what the mouse holds unknown, so the first switch is whole.
  ProfileFollowing(SettingsSession& session, ProfileLibrary& library);

  ProfileFollower& follower() { return follower_; }
  const ProfileFollower& follower() const { return follower_; }

  // Reads the folder again, here and now.
  void Reload();
  // Takes a listing of the folder read elsewhere (the program reads it on a
  // thread of its own, at start and after every change).
  void Take(ProfileListing listing);
  const ProfileListing& listing() const { return listing_; }
  // Whether a good profile names a program: only then is the front watched.
  bool AnyProgramNamed() const;
  bool NeedsWatch() const { return follower_.NeedsWatch(AnyProgramNamed()); }

  // Sends the switch that is due, if any (the caller has told the follower
  // about dialogs, lists and the mouse first). Only while the link is ready.
  std::optional<SwitchOutcome> SendDue(DeviceLink& link, DeviceImage& image);

  // Apply or OK of the window: the Desktop settings go to config.bin and
  // str.ini as always, a shown profile into its file. True when saved.
  // `texts` word a profile that could not be written.
  bool ApplyAndSave(DeviceLink& link, DeviceImage& image, const MainTexts& texts);

  // Before the program ends (Exit, the end of the Windows session): a mouse
  // holding a profile is given the Desktop settings back, since the next
  // start takes the mouse to hold them unless the marker says otherwise.
  void Leave(DeviceLink& link, DeviceImage& image);

  // What the window shows.
  const SwitchTarget& shown() const { return shown_; }
  // The shown profile whole, as its Apply would save it (its own pointer
  // values, macros, all three languages' texts, no programs); nothing while
  // the window shows the Desktop settings.
  std::optional<ProfileData> ShownProfile();

  // The interface language changes: the shown settings and those kept aside
  // take the new language's texts from where each keeps them (str.ini for
  // the Desktop settings, a profile's file for a profile); rows edited and
  // not applied keep their edits.
  void SwitchLanguage(UiLanguage language, bool factoryTexts);

  // Profiles found unreadable since the last call, each told once per
  // change of its file: one a switch needed, or one that named programs
  // and broke.
  std::vector<UnreadableProfile> TakeUnreadable();

  // The balloon after a switch: "Profile: NAME" or "Desktop settings".
  static Balloon NoticeBalloon(const MainTexts& texts, const SwitchTarget& target);

 private:
  // The window's settings as they are (edits included) and as last applied.
  struct Shown {
    SwitchTarget target;
    DeviceConfig config{};
    DeviceConfig committed{};
    std::wstring texts[kButtonTextCount];
    std::wstring committedTexts[kButtonTextCount];
    std::vector<SettingsSession::SectionTexts> pendingTexts;
    // A profile's file as last read or saved: what the window does not show.
    std::optional<ProfileData> base;
    // The macros of a profile kept aside (the shown one's are in the copy).
    std::vector<ProfileMacro> macros;
  };
  Shown Capture() const;
  bool Restore(const Shown& state);
  // The record a switch to `target` sends, and the window's settings for it;
  // nothing (with `problem` set) when the profile cannot be read.
  std::optional<Shown> StateFor(const SwitchTarget& target, std::string& problem);
  std::optional<std::wstring> ProfileFor(const std::wstring& program) const;
  std::wstring ShownMacroFile() const;
  // Whether the profile's file still holds what `base` was read from (its
  // programs aside, which the Profiles dialog changes).
  bool FileStillHolds(const SwitchTarget& target, const ProfileData& base);
  void NoteUnreadable(const std::wstring& name, const std::wstring& file, const std::string& problem);

  SettingsSession& session_;
  ProfileLibrary& library_;
  ProfileListing listing_;
  ProfileFollower follower_;
  SwitchTarget shown_ = SwitchTarget::Desktop();
  // The settings of the targets not shown now, edits included.
  std::vector<Shown> aside_;
  std::optional<ProfileData> shownBase_;  // of the shown profile
  SentMarker marker_;
  std::map<std::wstring, size_t> told_;  // folded name: the file told about
  std::vector<UnreadableProfile> unreadable_;
};

}  // namespace kovral
