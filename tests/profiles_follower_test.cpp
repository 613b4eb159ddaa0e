#include <gtest/gtest.h>

#ifdef __linux__
#include <unistd.h>
#endif

#include <map>
#include <set>
#include <string>

#include "profiles/foreground_watch.h"
#include "profiles/process_program.h"
#include "profiles/profile_follower.h"

namespace kovral {
namespace {

const SwitchTarget kDesktop = SwitchTarget::Desktop();
const SwitchTarget kShooter = SwitchTarget::Profile(L"Shooter");
const SwitchTarget kRacing = SwitchTarget::Profile(L"Racing");

const FrontWindow kGame{101, L"game.exe"};
const FrontWindow kGameOtherWindow{102, L"game.exe"};
const FrontWindow kCar{201, L"car.exe"};
const FrontWindow kEditor{301, L"notepad.exe"};
const FrontWindow kOwn{401, L"KALVORIN_DRX_Driver.exe", true};
const FrontWindow kUnnamed{501, L""};

struct Library {
  std::map<std::wstring, std::wstring> programs{{L"game.exe", L"Shooter"}, {L"car.exe", L"Racing"},
                                                // The program's own name in a profile does not make its
                                                // window a game's.
                                                {L"kalvorin_drx_driver.exe", L"Racing"}};
  std::optional<std::wstring> For(const std::wstring& program) const {
    std::wstring lower;
    for (wchar_t c : program) lower += static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c + 32 : c);
    auto it = programs.find(lower);
    if (it == programs.end()) return std::nullopt;
    return it->second;
  }
};

struct Follower {
  Library library;
  ProfileFollower follower{[this](const std::wstring& p) { return library.For(p); }};

  // Sends what is due, as the program does after every event, and says what it sent.
  std::optional<SwitchTarget> Run(bool ok = true) {
    std::optional<SwitchTarget> due = follower.Due();
    if (due) follower.Switched(*due, ok);
    return due;
  }
};

TEST(ProfileFollower, FollowsTheFrontProgramAndSendsEachChangeOnce) {
  Follower f;
  f.follower.MouseArrived();
  EXPECT_EQ(f.Run(), std::nullopt) << "the mouse holds the Desktop settings at start";
  f.follower.FrontChanged(kGame);
  EXPECT_EQ(f.Run(), kShooter);
  EXPECT_EQ(f.Run(), std::nullopt) << "sent twice";
  f.follower.FrontChanged(kGameOtherWindow);  // another window of the same game
  EXPECT_EQ(f.Run(), std::nullopt);
  f.follower.FrontChanged(kCar);
  EXPECT_EQ(f.Run(), kRacing);
  f.follower.FrontChanged(kEditor);
  EXPECT_EQ(f.Run(), kDesktop);
  f.follower.FrontChanged(kGame);
  EXPECT_EQ(f.Run(), kShooter);
  f.follower.FrontChanged(kOwn);
  EXPECT_EQ(f.Run(), kDesktop) << "the window edits the Desktop settings, so the mouse holds them";
  f.follower.FrontChanged(kGame);
  f.Run();
  f.follower.FrontChanged(kUnnamed);
  EXPECT_EQ(f.Run(), kDesktop) << "a process that cannot be asked counts as unnamed";
  f.follower.FrontChanged(FrontWindow{601, L"GAME.EXE"});
  EXPECT_EQ(f.Run(), kShooter) << "program names compare without letter case";
}

TEST(ProfileFollower, NothingLandsUnderTheUsersHandsAndOnlyTheLatestStateIsSentAfter) {
  Follower f;
  f.follower.MouseArrived();
  struct Hold {
    const char* what;
    void (ProfileFollower::*set)(bool);
  };
  for (Hold hold : {Hold{"a dialog", &ProfileFollower::SetDialogUp}, Hold{"an open list", &ProfileFollower::SetListOpen},
                    Hold{"an Apply", &ProfileFollower::SetApplyRunning}}) {
    SCOPED_TRACE(hold.what);
    (f.follower.*hold.set)(true);
    f.follower.FrontChanged(kGame);
    EXPECT_EQ(f.Run(), std::nullopt);
    f.follower.FrontChanged(kCar);
    f.follower.FrontChanged(kEditor);
    EXPECT_EQ(f.Run(), std::nullopt);
    (f.follower.*hold.set)(false);
    // The front went game, car, editor: only the editor's state is sent, and
    // the mouse already holds it.
    EXPECT_EQ(f.Run(), std::nullopt);
    (f.follower.*hold.set)(true);
    f.follower.FrontChanged(kCar);
    (f.follower.*hold.set)(false);
    EXPECT_EQ(f.Run(), kRacing);
    f.follower.FrontChanged(kEditor);
    EXPECT_EQ(f.Run(), kDesktop);
  }
}

TEST(ProfileFollower, WithoutTheMouseNothingIsSentAndItsArrivalGetsTheFrontsProfile) {
  Follower f;
  f.follower.FrontChanged(kGame);  // in front before the mouse answers
  EXPECT_EQ(f.Run(), std::nullopt);
  f.follower.MouseArrived();
  EXPECT_EQ(f.Run(), kShooter);
  f.follower.MouseLeft();
  f.follower.FrontChanged(kEditor);
  EXPECT_EQ(f.Run(), std::nullopt);
  f.follower.FrontChanged(kGame);
  // Unplugged and plugged again with the game in front: what the mouse holds
  // is not trusted after a switch, so the game's profile is sent again.
  f.follower.MouseArrived();
  EXPECT_EQ(f.Run(), kShooter);
  f.follower.MouseLeft();
  f.follower.FrontChanged(kEditor);
  f.follower.MouseArrived();
  EXPECT_EQ(f.Run(), kDesktop);
}

TEST(ProfileFollower, ATrayChoiceHoldsUntilTheFrontWindowChanges) {
  Follower f;
  f.follower.MouseArrived();
  f.follower.FrontChanged(kOwn);  // the tray menu brings the program's window to the front
  f.follower.Choose(kRacing);
  EXPECT_EQ(f.Run(), kRacing);
  f.follower.FrontChanged(kOwn);  // the watch sees the same window again
  EXPECT_EQ(f.Run(), std::nullopt);
  EXPECT_EQ(f.follower.Wanted(), kRacing);
  f.follower.FrontChanged(kEditor);
  EXPECT_EQ(f.Run(), kDesktop);
  f.follower.FrontChanged(kGame);
  f.Run();
  f.follower.Choose(kDesktop);
  EXPECT_EQ(f.Run(), kDesktop);
  f.follower.FrontChanged(kGameOtherWindow);
  EXPECT_EQ(f.Run(), kShooter);
}

TEST(ProfileFollower, AFailedSwitchWaitsForTheNextChangeAndForgetsWhatTheMouseHolds) {
  Follower f;
  f.follower.MouseArrived();
  f.follower.FrontChanged(kGame);
  EXPECT_EQ(f.Run(false), kShooter);
  EXPECT_EQ(f.follower.active(), std::nullopt);
  EXPECT_EQ(f.Run(), std::nullopt) << "a failed switch is not sent again by itself";
  // Its one retry, then no more until what is wanted changes.
  EXPECT_TRUE(f.follower.RetryDue());
  EXPECT_TRUE(f.follower.Retry());
  EXPECT_EQ(f.Run(false), kShooter);
  EXPECT_FALSE(f.follower.RetryDue());
  EXPECT_FALSE(f.follower.Retry());
  EXPECT_EQ(f.Run(), std::nullopt);
  f.follower.FrontChanged(kEditor);
  EXPECT_EQ(f.Run(), kDesktop) << "after a failure the mouse may hold anything";
  f.follower.FrontChanged(kGame);
  EXPECT_EQ(f.Run(false), kShooter);
  EXPECT_TRUE(f.follower.RetryDue()) << "a new failure has its own retry";
  EXPECT_TRUE(f.follower.Retry());
  EXPECT_EQ(f.Run(), kShooter);
  EXPECT_FALSE(f.follower.RetryDue());
  f.follower.FrontChanged(kEditor);
  EXPECT_EQ(f.Run(), kDesktop);
  f.follower.FrontChanged(kGame);
  EXPECT_EQ(f.Run(false), kShooter);
  f.follower.MouseArrived();
  EXPECT_EQ(f.Run(), kShooter);
  // An Apply cut short leaves the mouse unknown; a whole one gives it the
  // Desktop settings, so the front's profile is due again.
  f.follower.Applied(kDesktop, false);
  EXPECT_EQ(f.Run(), kShooter);
  f.follower.Applied(kDesktop, true);
  EXPECT_EQ(f.follower.active(), kDesktop);
  EXPECT_EQ(f.Run(), kShooter);
  // An Apply of the profile the window shows leaves it with the mouse.
  f.follower.Applied(kShooter, true);
  EXPECT_EQ(f.follower.active(), kShooter);
  EXPECT_EQ(f.Run(), std::nullopt);
}

TEST(ProfileFollower, WithSwitchingOffOnlyTheTrayChoosesAndTheWatchIsNeededOnlyForNamedPrograms) {
  Follower f;
  f.follower.MouseArrived();
  f.follower.SetAutomatic(false);
  f.follower.FrontChanged(kGame);
  EXPECT_EQ(f.Run(), std::nullopt);
  f.follower.Choose(kRacing);
  EXPECT_EQ(f.Run(), kRacing);
  f.follower.FrontChanged(kEditor);
  EXPECT_EQ(f.Run(), std::nullopt) << "switching is off: the mouse keeps the tray's choice";
  f.follower.MouseLeft();
  f.follower.MouseArrived();
  EXPECT_EQ(f.Run(), kRacing) << "a replug with switching off gives the mouse the choice again";
  f.follower.SetAutomatic(true);
  EXPECT_EQ(f.Run(), kDesktop);
  EXPECT_TRUE(f.follower.NeedsWatch(true));
  EXPECT_FALSE(f.follower.NeedsWatch(false));
  f.follower.SetAutomatic(false);
  EXPECT_FALSE(f.follower.NeedsWatch(true));
}

TEST(ProfileFollower, ARemovedProfileIsNeitherKeptNorTrusted) {
  Follower f;
  f.follower.MouseArrived();
  f.follower.FrontChanged(kOwn);
  f.follower.Choose(kRacing);
  EXPECT_EQ(f.Run(), kRacing);
  // "Racing" renamed: the tray's choice of it ends, and the mouse holds
  // settings under a name nothing answers to.
  f.library.programs.erase(L"car.exe");
  std::set<std::wstring> names{L"Shooter"};
  f.follower.LibraryChanged([&](const std::wstring& n) { return names.count(n) > 0; });
  EXPECT_EQ(f.follower.active(), std::nullopt);
  EXPECT_EQ(f.Run(), kDesktop);
  f.follower.FrontChanged(kCar);
  EXPECT_EQ(f.Run(), std::nullopt) << "car.exe has no profile now";
}

// The system as a script: which window is in front, and what each is.
class ScriptedForeground final : public ForegroundSource {
 public:
  uint64_t front = 0;
  std::map<uint64_t, FrontWindow> windows;
  int described = 0;
  uint64_t FrontWindowId() override { return front; }
  FrontWindow Describe(uint64_t window) override {
    ++described;
    auto it = windows.find(window);
    return it == windows.end() ? FrontWindow{} : it->second;
  }
};

TEST(ForegroundWatch, NamesAWindowOnlyWhenTheFrontChanged) {
  ScriptedForeground system;
  system.windows = {{kGame.window, kGame}, {kEditor.window, kEditor}};
  ForegroundWatch watch(system);
  system.front = kGame.window;
  std::optional<FrontWindow> seen = watch.Check();
  ASSERT_TRUE(seen);
  EXPECT_EQ(*seen, kGame);
  for (int second = 0; second < 20; ++second) EXPECT_EQ(watch.Check(), std::nullopt);
  EXPECT_EQ(system.described, 1) << "an unchanged front was asked for its program";
  system.front = kEditor.window;
  EXPECT_EQ(watch.Check(), kEditor);
  system.front = 0;  // nothing in front (a desktop switch, a locked session)
  seen = watch.Check();
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->program, L"");
  EXPECT_FALSE(seen->own);
  watch.Forget();
  EXPECT_TRUE(watch.Check()) << "after Forget the same front is reported again";
  EXPECT_EQ(system.described, 4);
}

// The tray menu puts the program's hidden window in front: no change, so a
// game's profile stays, and a tray choice made then lasts while the game is
// in front again; the window shown later is a change.
TEST(ForegroundWatch, TheProgramsHiddenWindowIsNoChangeOfTheFront) {
  ScriptedForeground system;
  FrontWindow hidden = kOwn;
  hidden.shown = false;
  system.windows = {{kGame.window, kGame}, {kOwn.window, hidden}};
  ForegroundWatch watch(system);
  Follower f;
  f.follower.MouseArrived();
  auto look = [&] {
    if (std::optional<FrontWindow> front = watch.Check()) f.follower.FrontChanged(*front);
  };
  system.front = kGame.window;
  look();
  EXPECT_EQ(f.Run(), kShooter);
  system.front = kOwn.window;  // the menu opens
  look();
  EXPECT_EQ(f.Run(), std::nullopt) << "the menu's hidden window took the game's profile away";
  f.follower.Choose(kDesktop);
  EXPECT_EQ(f.Run(), kDesktop);
  system.front = kGame.window;  // the menu closed, the game again
  look();
  EXPECT_EQ(f.Run(), std::nullopt) << "the choice ended without another window in front";
  system.front = kOwn.window;
  look();
  system.windows[kOwn.window] = kOwn;  // the window shown from the tray
  look();
  system.front = kGame.window;
  look();
  EXPECT_EQ(f.Run(), kShooter) << "the shown window was not seen, so the choice did not end";
}


// Which program a process is, as a profile names it: Wine's processes by
// the Windows program they run, so "game.exe" follows the game under Wine
// and Proton as on Windows.
TEST(ProgramOfProcess, NamesNativeProgramsByTheirFileAndWineOnesByTheWindowsProgram) {
  const struct {
    ProcessFacts facts;
    std::wstring program;
  } cases[] = {
      {{L"/usr/bin/gedit", {L"gedit", L"notes.txt"}, L"gedit"}, L"gedit"},
      // A file replaced while it runs keeps the old link, marked.
      {{L"/opt/game/bin/game (deleted)", {L"./game"}, L"game"}, L"game"},
      // Wine's argv[0]: a drive's path, with forward slashes and spaces.
      {{L"/usr/lib/wine/wine64-preloader", {L"C:\\games\\Game.exe", L"-windowed"}, L"Game.exe"}, L"Game.exe"},
      {{L"/usr/lib/wine/wine64-preloader", {L"C:/Program Files/Big Game/bg.exe"}, L"bg.exe"}, L"bg.exe"},
      // Proton's loaders are Wine's, in its own folder.
      {{L"/home/u/.steam/steamapps/common/Proton 8.0/dist/bin/wine64-preloader",
        {L"Z:\\home\\u\\.steam\\steamapps\\common\\Race\\Race.exe"},
        L"Race.exe"},
       L"Race.exe"},
      // The forms a launcher leaves in the command line: the loaders, then
      // `start` with its options and a Unix path.
      {{L"/usr/bin/wine", {L"wine", L"game.exe", L"--fast"}, L"wine"}, L"game.exe"},
      {{L"/usr/lib/wine/wine64", {L"/usr/bin/wine64-preloader", L"/usr/bin/wine64", L"C:\\a\\b.exe"}, L"wine64"},
       L"b.exe"},
      {{L"/usr/bin/wine", {L"wine", L"start", L"/wait", L"/unix", L"/home/u/My Game/run.exe"}, L"wine"}, L"run.exe"},
      {{L"/usr/bin/wine", {L"wine", L"start.exe", L"/d", L"C:\\games", L"/min", L"play.exe"}, L"wine"}, L"play.exe"},
      {{L"/usr/bin/wine", {L"wine", L"START.EXE", L"/unix", L"./tools.d/x.exe"}, L"wine"}, L"x.exe"},
      // A loader with nothing to run is itself.
      {{L"/usr/bin/wine", {L"wine"}, L"wine"}, L"wine"},
      // Another user's process: no executable; its command line says it,
      // Wine's argv[0] included, else the kernel's short name.
      {{L"", {L"/usr/bin/firefox-esr", L"-new-window"}, L"firefox-esr"}, L"firefox-esr"},
      {{L"", {L"C:\\games\\Game.exe"}, L"Game.exe"}, L"Game.exe"},
      {{L"", {L"/usr/bin/wine", L"game.exe"}, L"wine"}, L"game.exe"},
      {{L"", {}, L"kworker"}, L"kworker"},
      // A name only like a loader's is a program of its own.
      {{L"/usr/bin/winecfg", {L"winecfg", L"x.exe"}, L"winecfg"}, L"winecfg"},
  };
  for (const auto& c : cases) {
    const std::wstring first = c.facts.args.empty() ? L"" : c.facts.args.front();
    EXPECT_EQ(ProgramOfProcess(c.facts), c.program) << std::string(first.begin(), first.end());
  }
}

#ifdef __linux__
// The test's own process, as /proc tells it.
TEST(ProgramOfProcess, ReadsTheFactsOfAProcessFromProc) {
  const ProcessFacts facts = ReadProcessFacts(static_cast<uint32_t>(getpid()));
  EXPECT_TRUE(facts.executable.ends_with(L"/kovral_tests")) << std::string(facts.executable.begin(), facts.executable.end());
  ASSERT_FALSE(facts.args.empty());
  EXPECT_TRUE(facts.args.front().ends_with(L"kovral_tests"));
  EXPECT_EQ(facts.shortName, L"kovral_tests");
  EXPECT_EQ(ProgramOfProcess(facts), L"kovral_tests");
  // A process that is gone has no facts, and no name.
  EXPECT_EQ(ProgramOfProcess(ReadProcessFacts(0x7ffffff0)), L"");
}
#endif

}  // namespace
}  // namespace kovral
