#pragma once
// The profile library read on a thread of its own in the Linux program, as
// the Windows program reads it: at start, when asked, and whenever the
// Profiles folder changes (kvctl, a file copied in, the program's own
// saves), so that neither a folder of many profiles nor a slow disk holds up
// the interface. Each listing is kept for the interface thread, which
// `announce` tells on that thread.
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "profiles/profile_library.h"

namespace kovral {

class LibraryReaderQt {
 public:
  // `files` is used from the reader's thread; the system's file system
  // keeps no state and may be. `context` is an object of the interface
  // thread that outlives the reader.
  LibraryReaderQt(ConfigFileSystem& files, std::wstring folder, QObject& context, std::function<void()> announce);
  ~LibraryReaderQt();
  LibraryReaderQt(const LibraryReaderQt&) = delete;
  LibraryReaderQt& operator=(const LibraryReaderQt&) = delete;

  // Reads again once the read under way, if any, is done.
  void Request();
  // The newest listing read, once: nothing when none came since the last call.
  std::optional<ProfileListing> Take();

 private:
  void Run();
  void WatchFolder();

  ConfigFileSystem& files_;
  const std::wstring folder_;
  QObject& context_;
  std::function<void()> announce_;
  QFileSystemWatcher watch_;
  QTimer settle_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool asked_ = true;  // the first read is at once
  bool stop_ = false;
  std::optional<ProfileListing> newest_;
  std::thread thread_;
};

}  // namespace kovral
