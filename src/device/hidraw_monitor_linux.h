#pragma once
// The hidraw nodes coming and going, as udev tells them. udev's events,
// not the kernel's own: udev sends its event once its rules have run, so a
// node it reports has been made and given its access rights (the seat's
// uaccess ACL) by the time the program opens it, where the kernel's event
// can come first and the open fail. Each event is read into the portable
// HidrawUevent that hidraw_nodes.h turns into the program's device events.
#include <optional>
#include <vector>

#include "device/hidraw_nodes.h"

struct udev;
struct udev_monitor;
struct udev_device;

namespace kovral {

class HidrawMonitor {
 public:
  HidrawMonitor() = default;
  ~HidrawMonitor();
  HidrawMonitor(const HidrawMonitor&) = delete;
  HidrawMonitor& operator=(const HidrawMonitor&) = delete;

  // Listens for the hidraw subsystem's events; false when udev cannot be
  // reached (no udev context, no netlink socket).
  bool Start();
  // The socket to wait on: readable while an event is waiting. -1 before Start.
  int fd() const;
  // The nodes there now, each as an "add" event. Asked for after Start, so
  // that a node coming meanwhile is in one or the other.
  std::vector<HidrawUevent> Present();
  // The next waiting event; nothing when none is (the socket never blocks).
  std::optional<HidrawUevent> Receive();

 private:
  static HidrawUevent Read(udev_device* device, const char* action);

  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
};

}  // namespace kovral
