#pragma once
// The simulated mouse's control channel of the Qt shell: kvsimctl's
// commands arrive on the session's socket and run on the interface thread,
// as WM_COPYDATA runs them on Windows.
#include <QLocalServer>

#include <functional>
#include <string>

namespace kovral {

class SimMouse;

class SimChannelQt {
 public:
  // `ran` is told of every command the mouse carried out (an unplug or a
  // plug the window must follow).
  SimChannelQt(SimMouse& mouse, std::function<void(const std::string& command)> ran);
  ~SimChannelQt();
  // False when the socket cannot be made (the program runs without it).
  bool Listen(const std::string& socketPath);

 private:
  SimMouse& mouse_;
  std::function<void(const std::string&)> ran_;
  QLocalServer server_;
};

}  // namespace kovral
