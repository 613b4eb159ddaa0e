#pragma once
// The profile library read on a thread of its own, so that neither a folder
// of many profiles nor a slow disk holds up the interface: at once when
// started, when asked, and whenever the Profiles folder changes (kvctl, a
// file copied in, the program's own saves). Each listing is kept for the
// interface thread, which `announce` tells (it is called on the reader's
// thread and must only pass the word on); the tray menu and the following
// work on the last one.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "profiles/profile_library.h"

namespace kovral {

// What tells the reader that its folder changed. `Watch` is called on the
// reader's thread before every read, so a change made while it reads is not
// missed: from then on an entry of `folder` made, removed, renamed or written
// is a change, or, while `folder` does not exist, a folder made or removed
// beside it (for its creation). The change is told from any thread.
class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  virtual void Watch(const std::wstring& folder) = 0;
};

// The system's watch (a change notification on Windows, inotify
// on Linux); made on the interface thread.
std::unique_ptr<FolderWatch> MakeSystemFolderWatch(std::function<void()> changed);

class LibraryReader {
 public:
  // A profile saved is a file written and renamed, a folder copied in is
  // many files: after a change the reader waits this long for the rest.
  static constexpr std::chrono::milliseconds kSettle{150};

  // `files` is used from the reader's thread; the system's file system keeps
  // no state and may be.
  LibraryReader(ConfigFileSystem& files, std::wstring folder, std::function<void()> announce);
  // A read under way is finished first: it uses this object.
  ~LibraryReader();
  LibraryReader(const LibraryReader&) = delete;
  LibraryReader& operator=(const LibraryReader&) = delete;

  // Starts the thread, which reads at once, with the watch that tells
  // FolderChanged; none: only requests read again.
  void Start(std::unique_ptr<FolderWatch> watch);
  // Reads again once the read under way, if any, is done.
  void Request();
  // From the watch, on any thread.
  void FolderChanged();
  // The newest listing read, once: nothing when none came since the last call.
  std::optional<ProfileListing> Take();

 private:
  void Run();

  ConfigFileSystem& files_;
  const std::wstring folder_;
  std::function<void()> announce_;
  std::unique_ptr<FolderWatch> watch_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool asked_ = false;
  bool changed_ = false;
  bool stop_ = false;
  std::optional<ProfileListing> newest_;
  std::thread thread_;
};

}  // namespace kovral
