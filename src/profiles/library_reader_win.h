#pragma once
// The profile library read on a thread of its own, so that neither a folder
// of many profiles nor a slow disk holds up the interface: at start, when
// asked, and whenever the Profiles folder changes (kvctl, a file copied in,
// the program's own saves). Each listing is kept for the interface thread,
// which a posted message tells; the tray menu and the following work on the
// last one.
#include <windows.h>

#include <mutex>
#include <optional>
#include <string>

#include "base/handles_win.h"
#include "profiles/profile_library.h"

namespace kovral {

class LibraryReader {
 public:
  // `files` is used from the reader's thread; the system's file system
  // keeps no state and may be.
  LibraryReader(ConfigFileSystem& files, std::wstring folder);
  ~LibraryReader();
  LibraryReader(const LibraryReader&) = delete;
  LibraryReader& operator=(const LibraryReader&) = delete;

  // Starts the thread, which reads at once; `message` is posted to `window`
  // after every read. False when the thread cannot be started.
  bool Start(HWND window, UINT message);
  // Reads again once the read under way, if any, is done.
  void Request();
  // The newest listing read, once: nothing when none came since the last call.
  std::optional<ProfileListing> Take();

 private:
  static DWORD WINAPI ThreadProc(void* self);
  void Run();

  ConfigFileSystem& files_;
  const std::wstring folder_;
  HWND window_ = nullptr;
  UINT message_ = 0;
  OwnedHandle wake_;  // auto-reset: a read was asked for
  OwnedHandle stop_;  // manual-reset: the thread ends
  OwnedHandle thread_;
  std::mutex mutex_;
  std::optional<ProfileListing> newest_;
};

}  // namespace kovral
