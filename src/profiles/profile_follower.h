#pragma once
// What the mouse should hold while the user moves between programs: the
// profile named for the program in front, or the Desktop settings, and when
// a switch may be sent. The program feeds it what happens (the front window,
// dialogs, open lists, Apply, the mouse coming and going, the tray's choice)
// and sends the switch it says is due; nothing here talks to the mouse.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kovral {

// A profile by its name, or the Desktop settings (config.bin's).
struct SwitchTarget {
  bool desktop = true;
  std::wstring profile;  // the profile's name when !desktop

  static SwitchTarget Desktop() { return {}; }
  static SwitchTarget Profile(std::wstring name) { return {false, std::move(name)}; }
  bool operator==(const SwitchTarget& other) const = default;
};

// Which window is in front: its handle (any number that tells windows apart)
// and the executable file name of its process ("game.exe"); empty when the
// process cannot be asked, and `own` for the program's own windows.
struct FrontWindow {
  uint64_t window = 0;
  std::wstring program;
  bool own = false;
  // Whether the window is on the screen: the program's hidden window takes
  // the front for the tray menu, which is not the user going anywhere.
  bool shown = true;
  bool operator==(const FrontWindow& other) const = default;
};

class ProfileFollower {
 public:
  // The profile for an executable file name (compared without letter case
  // by the library), or nothing.
  using ProfileFor = std::function<std::optional<std::wstring>(const std::wstring& program)>;

  explicit ProfileFollower(ProfileFor profileFor);

  // Settings the user keeps in str.ini.
  void SetAutomatic(bool on);
  bool automatic() const { return automatic_; }

  // The library changed (a profile saved, renamed, deleted, a program added
  // or removed): the front program may now have another profile. A manual
  // choice of a profile that is gone falls back to the front program's.
  void LibraryChanged(const std::function<bool(const std::wstring& name)>& exists);

  // The foreground watch saw another window in front. The same window again
  // changes nothing; another one ends the user's manual choice.
  void FrontChanged(const FrontWindow& front);

  // The tray menu's "Desktop" or a profile: held until the front window changes.
  void Choose(const SwitchTarget& target);

  // What keeps a switch from landing under the user's hands; each may be
  // set and cleared any number of times.
  void SetDialogUp(bool up) { dialogUp_ = up; }
  void SetListOpen(bool open) { listOpen_ = open; }
  void SetApplyRunning(bool running) { applyRunning_ = running; }

  // The mouse is there and answered the handshake, or it went. The mouse
  // keeps what it was last sent; at the first arrival of a run that is the
  // Desktop settings of the last Apply, after a switch in this run it may be
  // anything, so the next arrival switches again to what the front asks for.
  void MouseArrived();
  void MouseLeft() { present_ = false; }

  // An Apply or OK sent the record of `target` (the Desktop settings or
  // the profile the window shows): the mouse holds it (complete) or
  // something unknown (cut short).
  void Applied(const SwitchTarget& target, bool complete);

  // What the front (or the manual choice) asks the mouse to hold.
  SwitchTarget Wanted() const;

  // The switch to send now, if one is due: the mouse is there, nothing holds
  // it back, and the mouse does not already hold (or just failed to take)
  // what is wanted.
  std::optional<SwitchTarget> Due() const;

  // The result of sending a Due() switch. A failed one is tried again once
  // (Retry, shortly after), then not until what is wanted changes or the
  // mouse arrives again.
  void Switched(const SwitchTarget& target, bool ok);
  // A failed switch whose one retry is still to come.
  bool RetryDue() const { return failed_ && !retryUsed_; }
  // Makes the failed switch due again, once; false when there is none.
  bool Retry();

  // The mouse may hold anything: the last run ended with a profile on it, or
  // a switch of kvctl sent one. The first switch is a whole one of what is
  // wanted, the Desktop settings included.
  void MouseStateUnknown() { active_.reset(); }

  // What the mouse holds, as far as the program knows (nothing when unknown).
  const std::optional<SwitchTarget>& active() const { return active_; }
  // Whether the foreground needs watching at all: switching is on and some
  // profile names a program.
  bool NeedsWatch(bool anyProgramNamed) const { return automatic_ && anyProgramNamed; }

 private:
  ProfileFor profileFor_;
  bool automatic_ = true;
  FrontWindow front_;
  std::optional<SwitchTarget> manual_;
  bool dialogUp_ = false, listOpen_ = false, applyRunning_ = false;
  bool present_ = false;
  bool sentThisRun_ = false;
  std::optional<SwitchTarget> active_ = SwitchTarget::Desktop();
  std::optional<SwitchTarget> failed_;  // wanted when a switch to it failed
  std::optional<SwitchTarget> retrying_;  // the failed switch made due again by Retry
  bool retryUsed_ = false;               // failed_ failed on its retry too
  // What is wanted changed: a failure before it has no retry left to make.
  void ForgetFailure();
  // The last target sent or applied, whether or not it arrived whole: with
  // switching off it stays what is wanted, so a replug sends it again
  // rather than the Desktop settings.
  SwitchTarget last_ = SwitchTarget::Desktop();
};

}  // namespace kovral
