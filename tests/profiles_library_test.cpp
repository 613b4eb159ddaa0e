#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "profiles/library_reader.h"
#include "profiles/profile_library.h"
#include "profiles/profile.h"
#include "settings/text_encoding.h"
#include "settings_memory_fs.h"
#include "settings_temp_dir.h"

namespace kovral {
namespace {

using testing::MemoryFileSystem;

const std::wstring kFolder = L"/kv/Profiles";

ProfileData ProfileFor(uint8_t reportRate, std::vector<std::wstring> programs = {}) {
  ProfileData p;
  p.config.reportRate = reportRate;
  p.programs = std::move(programs);
  return p;
}

void Put(MemoryFileSystem& fs, const std::wstring& file, const std::string& text) {
  fs.folders.insert(kFolder);
  fs.files[kFolder + L"/" + file] = std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<std::wstring> Names(const ProfileListing& listing) {
  std::vector<std::wstring> names;
  for (const ProfileEntry& e : listing.profiles) names.push_back(e.name);
  return names;
}

TEST(ProfilesLibrary, SavedProfilesAreListedReadAndRenamedAndDeleted) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder + L"/");
  EXPECT_TRUE(library.List().profiles.empty());  // no folder yet: no profiles, no problem
  EXPECT_TRUE(library.List().problem.empty());

  ASSERT_EQ(library.Save(L"shooter", ProfileFor(1, {L"game.exe", L"GAME.EXE", L"other.exe"}), false), "");
  EXPECT_TRUE(fs.folders.count(kFolder));  // created at the first save
  ASSERT_EQ(library.Save(L"Browser", ProfileFor(8), false), "");
  EXPECT_EQ(library.Save(L"SHOOTER", ProfileFor(2), false), "a profile named 'shooter' exists already");
  EXPECT_EQ(fs.files.size(), 2u);

  const ProfileListing listing = library.List();
  EXPECT_EQ(Names(listing), (std::vector<std::wstring>{L"Browser", L"shooter"}));
  EXPECT_TRUE(listing.profiles[0].Good());
  // A program named twice is kept once, in its first spelling.
  EXPECT_EQ(listing.profiles[1].programs, (std::vector<std::wstring>{L"game.exe", L"other.exe"}));

  const ProfileRead read = library.Read(L"Shooter");
  ASSERT_TRUE(read.profile) << read.error;
  EXPECT_EQ(read.profile->config.reportRate, 1);

  // Replacing keeps the file's spelling; the new record is what is read.
  ASSERT_EQ(library.Save(L"SHOOTER", ProfileFor(4, {L"game.exe"}), true), "");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"Browser", L"shooter"}));
  EXPECT_EQ(library.Read(L"shooter").profile->config.reportRate, 4);

  EXPECT_EQ(library.Rename(L"shooter", L"browser"), "a profile named 'Browser' exists already");
  EXPECT_EQ(library.Rename(L"missing", L"x"), "no profile named 'missing' in /kv/Profiles");
  EXPECT_EQ(library.Rename(L"shooter", L"Shooter"), "");  // letter case only
  EXPECT_EQ(library.Rename(L"Shooter", L"Arena"), "");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"Arena", L"Browser"}));
  EXPECT_EQ(library.Read(L"arena").profile->config.reportRate, 4);

  EXPECT_EQ(library.Delete(L"BROWSER"), "");
  EXPECT_EQ(library.Delete(L"Browser"), "no profile named 'Browser' in /kv/Profiles");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"Arena"}));
}

TEST(ProfilesLibrary, NamesAFileSystemCannotHoldAreRefusedBeforeAnythingIsWritten) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder);
  const std::pair<std::wstring, std::string> refused[] = {
      {L"", "profile name is empty"},
      {L"con", "profile name 'con' is a name Windows reserves for a device"},
      {L"a/b", "profile name 'a/b' holds '/', which a file name cannot hold"},
      {L"end.", "profile name 'end.' ends in a dot, which Windows drops from file names"},
      {std::wstring(65, L'x'), "profile name '" + std::string(65, 'x') + "' is longer than 64 characters"},
      {L"Desktop", "profile name 'Desktop' stands for the Desktop settings (config.bin)"},
  };
  for (const auto& [name, error] : refused) {
    EXPECT_EQ(library.Save(name, ProfileFor(1), false), error);
    EXPECT_EQ(library.Rename(L"any", name), error);
  }
  EXPECT_EQ(library.Save(L"ok", ProfileFor(1, {L"a:b.exe"}), false),
            "program name 'a:b.exe' holds ':', which a file name cannot hold");
  EXPECT_TRUE(fs.files.empty());
  EXPECT_EQ(library.Save(std::wstring(64, L'x'), ProfileFor(1), false), "");

  fs.failWritesWith = 28;
  EXPECT_EQ(library.Save(L"full", ProfileFor(1), false), "cannot write /kv/Profiles/full.kvprofile (error 28)");
}

// A broken file is listed with its line and reason, is never read as a
// record and never answers for a program; other files in the folder are not
// profiles at all.
TEST(ProfilesLibrary, BrokenProfilesAreListedWithTheirReasonAndNeverUsed) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder);
  ASSERT_EQ(library.Save(L"good", ProfileFor(1, {L"game.exe"}), false), "");
  std::string broken = ExportProfile(ProfileFor(1, {L"game.exe"}));
  broken.replace(broken.find("stage2.level = 1"), 16, "stage2.level = 13");
  Put(fs, L"a-broken.kvprofile", broken);
  Put(fs, L"notes.txt", "not a profile");
  Put(fs, L"NUL.kvprofile", ExportProfile(ProfileFor(1)));

  const ProfileListing listing = library.List();
  ASSERT_EQ(Names(listing), (std::vector<std::wstring>{L"a-broken", L"good", L"NUL"}));
  EXPECT_EQ(listing.profiles[0].problem.substr(0, 5), "line ");
  EXPECT_NE(listing.profiles[0].problem.find("DPI stage 2 level 13 is out of range 1-12"), std::string::npos);
  EXPECT_TRUE(listing.profiles[0].programs.empty());
  EXPECT_TRUE(listing.profiles[1].Good());
  EXPECT_EQ(listing.profiles[2].problem, "profile name 'NUL' is a name Windows reserves for a device");
  EXPECT_TRUE(listing.conflicts.empty());

  const ProfileRead read = library.Read(L"a-broken");
  EXPECT_FALSE(read.profile);
  EXPECT_EQ(read.error, "profile 'a-broken': " + listing.profiles[0].problem);
  // "a-broken" comes first by name, but only the good profile answers.
  EXPECT_EQ(library.ProfileFor(L"game.exe").profile, std::wstring(L"good"));
  EXPECT_TRUE(library.ProfileFor(L"game.exe").ignored.empty());

  fs.files[kFolder + L"/big.kvprofile"] = std::vector<uint8_t>(kProfileSizeLimit + 1, 'x');
  EXPECT_NE(library.Read(L"big").error.find("more than a profile can have"), std::string::npos);
}

TEST(ProfilesLibrary, OneProgramInTwoProfilesGoesToTheFirstByNameAndIsReported) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder);
  ASSERT_EQ(library.Save(L"zeta", ProfileFor(1, {L"Game.EXE", L"tool.exe"}), false), "");
  ASSERT_EQ(library.Save(L"Alpha", ProfileFor(2, {L"game.exe"}), false), "");
  ASSERT_EQ(library.Save(L"beta", ProfileFor(4, {L"GAME.exe", L"edit.exe"}), false), "");

  const ProfileMatch game = library.ProfileFor(L"C:\\Games\\GAME.EXE");
  EXPECT_EQ(game.profile, std::wstring(L"Alpha"));
  EXPECT_EQ(game.ignored, (std::vector<std::wstring>{L"beta", L"zeta"}));
  EXPECT_EQ(library.ProfileFor(L"/usr/bin/tool.exe").profile, std::wstring(L"zeta"));
  EXPECT_TRUE(library.ProfileFor(L"tool.exe").ignored.empty());
  EXPECT_FALSE(library.ProfileFor(L"notepad.exe").profile);
  EXPECT_FALSE(library.ProfileFor(L"C:\\Games\\").profile);

  const ProfileListing listing = library.List();
  ASSERT_EQ(listing.conflicts.size(), 1u);
  EXPECT_EQ(listing.conflicts[0].program, L"game.exe");
  EXPECT_EQ(listing.conflicts[0].used, L"Alpha");
  EXPECT_EQ(listing.conflicts[0].ignored, (std::vector<std::wstring>{L"beta", L"zeta"}));
}

TEST(ProfilesLibrary, AnImportedProfileKeepsItsProgramsInTheLibrary) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder);
  EXPECT_EQ(KeepImportedPrograms(library, L"/home/u/plain.kvprofile", ProfileFor(1)), "");
  EXPECT_TRUE(library.List().profiles.empty());

  EXPECT_EQ(KeepImportedPrograms(library, L"C:\\Users\\u\\Arena.kvprofile", ProfileFor(2, {L"arena.exe"})),
            "kept as profile 'Arena' with its programs");
  EXPECT_EQ(library.ProfileFor(L"arena.exe").profile, std::wstring(L"Arena"));
  EXPECT_EQ(library.Read(L"Arena").profile->config.reportRate, 2);
  // A profile of that name is never replaced by an import.
  EXPECT_EQ(KeepImportedPrograms(library, L"/tmp/ARENA.kvprofile", ProfileFor(4, {L"x.exe"})),
            "its programs were not kept in the library: a profile named 'Arena' is there already");
  EXPECT_EQ(library.Read(L"Arena").profile->config.reportRate, 2);
}

// A file is replaced only when the user asked to replace that very profile.
// Here the file system takes more names for one than the program's letter
// case rule does (as Windows may with letters the rule does not know): a new
// profile or a rename onto such a name is refused and both files stay.
TEST(ProfilesLibrary, NoSaveOrRenameReplacesAFileTheFileSystemTakesForTheSameName) {
  MemoryFileSystem fs;
  fs.sameName = [](const std::wstring& path) {
    std::wstring key = FoldFileNameCase(path);
    std::replace(key.begin(), key.end(), L'_', L'-');
    return key;
  };
  ProfileLibrary library(fs, kFolder);
  ASSERT_EQ(library.Save(L"\u0141ucznik", ProfileFor(1, {L"a.exe"}), false), "");
  EXPECT_EQ(library.Save(L"\u0142ucznik", ProfileFor(2, {L"b.exe"}), false),
            "a profile named '\u0141ucznik' exists already");
  ASSERT_EQ(library.Save(L"x-y", ProfileFor(1, {L"x.exe"}), false), "");
  EXPECT_EQ(library.Save(L"x_y", ProfileFor(2, {L"y.exe"}), false),
            "a profile whose name the file system does not tell apart from 'x_y' exists already");
  EXPECT_EQ(library.Rename(L"\u0141ucznik", L"x_y"),
            "a profile whose name the file system does not tell apart from 'x_y' exists already");
  EXPECT_EQ(library.Rename(L"\u0141ucznik", L"X-Y"), "a profile named 'x-y' exists already");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"x-y", L"\u0141ucznik"}));
  EXPECT_EQ(library.ProfileFor(L"a.exe").profile, std::wstring(L"\u0141ucznik"));
  EXPECT_EQ(library.ProfileFor(L"x.exe").profile, std::wstring(L"x-y"));
  EXPECT_FALSE(library.ProfileFor(L"b.exe").profile);
  EXPECT_FALSE(library.ProfileFor(L"y.exe").profile);

  // Letter case alone renames the profile (this file system, like Windows,
  // finds the name taken by the file itself), and nothing else is left.
  ASSERT_EQ(library.Rename(L"\u0142UCZNIK", L"\u0141UCZNIK"), "");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"x-y", L"\u0141UCZNIK"}));
  EXPECT_EQ(fs.files.size(), 2u);
  EXPECT_EQ(library.Read(L"\u0141UCZNIK").profile->programs, std::vector<std::wstring>{L"a.exe"});
}

// A profile names at most kProfileProgramLimit programs, however they come.
TEST(ProfilesLibrary, NoProfileIsSavedForMoreProgramsThanAFileMayName) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder);
  ProfileData profile = ProfileFor(1);
  for (size_t i = 0; i <= kProfileProgramLimit; ++i) profile.programs.push_back(L"g" + std::to_wstring(i) + L".exe");
  EXPECT_EQ(library.Save(L"many", profile, false), "a profile is for at most 256 programs");
  EXPECT_TRUE(fs.files.empty());
  profile.programs.pop_back();
  profile.programs.push_back(L"G0.EXE");  // named twice: kept once
  ASSERT_EQ(library.Save(L"many", profile, false), "");
  ASSERT_EQ(library.Read(L"many").profile->programs.size(), kProfileProgramLimit);
  EXPECT_EQ(library.AddProgram(L"many", L"new.exe"), "a profile is for at most 256 programs");
  EXPECT_EQ(library.RemoveProgram(L"many", L"g3.exe"), "");
  EXPECT_EQ(library.AddProgram(L"many", L"new.exe"), "");
}

// The same operations on the platform's own file system.
TEST(ProfilesLibrary, ProgramsAreAddedByTheirFileNameAndRemovedWithoutTouchingTheRest) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder);
  ProfileData profile = ProfileFor(2, {L"game.exe"});
  profile.texts[1][3] = L"按键";
  ASSERT_EQ(library.Save(L"Shooter", profile, false), "");
  EXPECT_EQ(library.AddProgram(L"shooter", L"C:\\Games\\Other\\Launcher.EXE"), "");
  EXPECT_EQ(library.AddProgram(L"Shooter", L"/opt/GAME.exe"), "the profile is for 'game.exe' already");
  EXPECT_NE(library.AddProgram(L"Shooter", L"C:\\Games\\"), "") << "a folder names no program";
  EXPECT_NE(library.AddProgram(L"Missing", L"x.exe"), "");
  ProfileRead read = library.Read(L"Shooter");
  ASSERT_TRUE(read.profile) << read.error;
  EXPECT_EQ(read.profile->programs, (std::vector<std::wstring>{L"game.exe", L"Launcher.EXE"}));
  EXPECT_EQ(read.profile->config.reportRate, 2);
  EXPECT_EQ(read.profile->texts[1][3], L"按键");

  EXPECT_EQ(library.RemoveProgram(L"Shooter", L"GAME.EXE"), "");
  EXPECT_EQ(library.RemoveProgram(L"Shooter", L"game.exe"), "the profile is not for 'game.exe'");
  read = library.Read(L"Shooter");
  ASSERT_TRUE(read.profile);
  EXPECT_EQ(read.profile->programs, (std::vector<std::wstring>{L"Launcher.EXE"}));
  EXPECT_EQ(library.ProfileFor(L"launcher.exe").profile, L"Shooter");
  EXPECT_EQ(library.ProfileFor(L"game.exe").profile, std::nullopt);
}

TEST(ProfilesLibrary, TheSystemFileSystemListsRenamesAndDeletes) {
  testing::TempDir dir;
  const std::unique_ptr<ConfigFileSystem> fs = MakeSystemFileSystem();
  ProfileLibrary library(*fs, dir.File(L"Profiles"));
  ASSERT_EQ(library.Save(L"one", ProfileFor(1, {L"a.exe"}), false), "");
  ASSERT_EQ(library.Save(L"two", ProfileFor(2), false), "");
  ASSERT_EQ(fs->CreateFolder(dir.File(L"Profiles") + L"/sub.kvprofile"), 0);  // a folder is no profile
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"one", L"two"}));
  ASSERT_EQ(library.Rename(L"two", L"three"), "");
  ASSERT_EQ(library.Delete(L"one"), "");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"three"}));
  EXPECT_EQ(library.Read(L"three").profile->config.reportRate, 2);
  // Letter case alone, and letters beyond ASCII: one file, in its new spelling.
  ASSERT_EQ(library.Rename(L"three", L"THREE"), "");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"THREE"}));
  ASSERT_EQ(library.Save(L"\u0141ucznik", ProfileFor(1, {L"a.exe"}), false), "");
  EXPECT_NE(library.Save(L"\u0142ucznik", ProfileFor(2, {L"b.exe"}), false), "");
  EXPECT_NE(library.Rename(L"THREE", L"\u0142UCZNIK"), "");
  EXPECT_EQ(Names(library.List()), (std::vector<std::wstring>{L"THREE", L"\u0141ucznik"}));
  EXPECT_EQ(library.Read(L"\u0141ucznik").profile->programs, std::vector<std::wstring>{L"a.exe"});
  EXPECT_EQ(library.Read(L"three").profile->config.reportRate, 2);
  // The primitives themselves never replace a file, whatever the letter case.
  const std::vector<uint8_t> bytes{'x'};
  EXPECT_EQ(fs->WriteNew(library.FileOf(L"THREE"), bytes), kFileNameTaken);
  EXPECT_EQ(fs->Rename(library.FileOf(L"\u0141ucznik"), library.FileOf(L"THREE")), kFileNameTaken);
  EXPECT_EQ(library.Read(L"three").profile->config.reportRate, 2);
  EXPECT_EQ(fs->WriteNew(library.FileOf(L"four"), bytes), 0);
  EXPECT_EQ(fs->ReadAll(library.FileOf(L"four")), bytes);
  EXPECT_EQ(fs->ListFiles(library.Folder())->size(), 3u);  // nothing left beside them
  EXPECT_FALSE(fs->ListFiles(dir.File(L"missing")));
}

// The reader's thread with a watch worked by hand: what it armed, and each
// listing it announced.
class HandWatch final : public FolderWatch {
 public:
  void Watch(const std::wstring& folder) override {
    std::lock_guard lock(mutex);
    armed.push_back(folder);
  }
  std::mutex mutex;
  std::vector<std::wstring> armed;
};

struct Announced {
  void Tell() {
    {
      std::lock_guard lock(mutex);
      ++count;
    }
    told.notify_all();
  }
  int Count() {
    std::lock_guard lock(mutex);
    return count;
  }
  bool WaitFor(int n) {
    std::unique_lock lock(mutex);
    return told.wait_for(lock, std::chrono::seconds(5), [&] { return count >= n; });
  }
  std::mutex mutex;
  std::condition_variable told;
  int count = 0;
};

// The file system is touched only while the reader waits between reads.
TEST(ProfilesLibrary, TheReaderReadsAtStartWhenAskedAndOnceAfterChangesSettled) {
  MemoryFileSystem fs;
  ProfileLibrary library(fs, kFolder);
  ASSERT_EQ(library.Save(L"one", ProfileFor(1), false), "");
  auto watch = std::make_unique<HandWatch>();
  HandWatch& hand = *watch;
  Announced announced;
  LibraryReader reader(fs, kFolder, [&announced] { announced.Tell(); });
  reader.Start(std::move(watch));

  ASSERT_TRUE(announced.WaitFor(1));
  std::optional<ProfileListing> listing = reader.Take();
  ASSERT_TRUE(listing);
  EXPECT_EQ(Names(*listing), std::vector<std::wstring>{L"one"});
  EXPECT_FALSE(reader.Take()) << "a listing is taken once";
  {
    std::lock_guard lock(hand.mutex);
    EXPECT_EQ(hand.armed, std::vector<std::wstring>{library.Folder()}) << "armed before the first read";
  }

  // Changes and a request in a burst: one read, once they settled.
  ASSERT_EQ(library.Save(L"two", ProfileFor(2), false), "");
  const auto changed = std::chrono::steady_clock::now();
  reader.FolderChanged();
  reader.Request();
  reader.FolderChanged();
  ASSERT_TRUE(announced.WaitFor(2));
  EXPECT_GE(std::chrono::steady_clock::now() - changed, LibraryReader::kSettle);
  listing = reader.Take();
  ASSERT_TRUE(listing);
  EXPECT_EQ(Names(*listing), (std::vector<std::wstring>{L"one", L"two"}));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(announced.Count(), 2) << "the burst was read more than once";
  {
    std::lock_guard lock(hand.mutex);
    EXPECT_EQ(hand.armed.size(), 2u) << "not armed again before the second read";
  }

  // A request alone is read at once.
  const auto asked = std::chrono::steady_clock::now();
  reader.Request();
  ASSERT_TRUE(announced.WaitFor(3));
  EXPECT_LT(std::chrono::steady_clock::now() - asked, LibraryReader::kSettle);
}

}  // namespace
}  // namespace kovral
