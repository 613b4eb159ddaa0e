#pragma once
// One copy of the program per user session. The first start holds a lock
// file and listens on the session's socket; a later start asks it to show
// its window and ends.
#include <QLocalServer>

#include <functional>
#include <string>

namespace kovral {

// The socket's name for SessionSocketPath (settings/user_folder.h).
inline constexpr char kInstanceChannelName[] = "kovral";

class SingleInstanceQt {
 public:
  ~SingleInstanceQt();
  // True when this process is the one that runs: `show` is called each time
  // another start asks. False when another copy holds the session (this
  // start has then asked it to show its window, as far as it answered).
  bool Claim(const std::string& socketPath, std::function<void()> show);

 private:
  int lockFd_ = -1;
  QLocalServer server_;
};

}  // namespace kovral
