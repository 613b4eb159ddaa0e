// The profile library's reader thread with the system's folder watch: a
// listing at start, after a request, and whenever the Profiles folder
// changes behind the program's back (made, a profile copied in), each
// announced by a message to a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>

#include "profiles/library_reader.h"
#include "settings_temp_dir.h"

namespace kovral::testing {
namespace {

constexpr UINT kRead = WM_APP + 12;

bool Lists(const ProfileListing& listing, const std::vector<std::wstring>& names) {
  std::vector<std::wstring> listed;
  for (const ProfileEntry& entry : listing.profiles) listed.push_back(entry.name);
  return listed == names;
}

// Pumps the window's messages until a listing the reader announced fits, or
// ten seconds pass. Counts the announcements.
std::optional<ProfileListing> WaitFor(HWND window, LibraryReader& reader, int& announced,
                                      const std::function<bool(const ProfileListing&)>& fits) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, window, kRead, kRead, PM_REMOVE)) {
      ++announced;
      if (std::optional<ProfileListing> listing = reader.Take(); listing && fits(*listing)) return listing;
    }
    Sleep(20);
  }
  return std::nullopt;
}

TEST(LibraryReader, ReadsAtStartOnRequestAndWhenTheFolderChanges) {
  TempDir dir;
  const std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  const std::wstring folder = dir.File(L"Profiles");
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  int announced = 0;
  {
    LibraryReader reader(*files, folder, [window] { PostMessageW(window, kRead, 0, 0); });
    reader.Start(MakeSystemFolderWatch([&reader] { reader.FolderChanged(); }));
    // No folder yet: no profiles, no problem.
    ASSERT_TRUE(WaitFor(window, reader, announced, [](const ProfileListing& l) {
      return l.profiles.empty() && l.problem.empty();
    }));
    EXPECT_FALSE(reader.Take()) << "a listing is taken once";

    // The folder made and a profile saved by someone else (kvctl): seen
    // without being asked.
    ProfileLibrary other(*files, folder);
    ProfileData profile;
    profile.programs = {L"game.exe"};
    ASSERT_EQ(other.Save(L"one", profile, false), "");
    const std::optional<ProfileListing> one =
        WaitFor(window, reader, announced, [](const ProfileListing& l) { return Lists(l, {L"one"}); });
    ASSERT_TRUE(one);
    EXPECT_EQ(one->profiles[0].programs, std::vector<std::wstring>{L"game.exe"});

    // A file copied into the folder that exists now.
    CopyFileW(other.FileOf(L"one").c_str(), other.FileOf(L"two").c_str(), TRUE);
    ASSERT_TRUE(WaitFor(window, reader, announced, [](const ProfileListing& l) { return Lists(l, {L"one", L"two"}); }));

    // Asked, it reads again though nothing changed: once.
    Sleep(500);
    for (MSG msg; PeekMessageW(&msg, window, kRead, kRead, PM_REMOVE);) reader.Take();  // what is still on the way
    const int before = announced;
    reader.Request();
    ASSERT_TRUE(WaitFor(window, reader, announced, [](const ProfileListing& l) { return Lists(l, {L"one", L"two"}); }));
    EXPECT_EQ(announced, before + 1);
    Sleep(500);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window, kRead, kRead, PM_REMOVE)) << "a request read more than once";
  }  // the reader's thread ends with it
  DestroyWindow(window);
}

}  // namespace
}  // namespace kovral::testing
