#pragma once
// The kernel's hidraw device events as the program's device events: a node
// that comes is a HID collection arriving, one that goes a collection
// leaving, each named as Windows names an interface
// ("\\?\HID#VID_04D9&PID_A09F&MI_01#hidraw3"), which is what the link
// decides by. The events come from udev (hidraw_monitor_linux.h); the rule
// that reads them is here, where it is tested without a kernel.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kovral {

// The interface name of node `node` from its HID device's properties:
// HID_ID ("bus:vendor:product", eight hex digits each) and HID_PHYS (whose
// "/inputN" is the USB interface number). Empty without a usable HID_ID.
std::wstring HidrawInterfaceName(std::string_view hidId, std::string_view hidPhys, std::string_view node);

// One device event of the hidraw subsystem: udev's action ("add", "remove",
// "change", ...), the node's name, and the properties of the HID device the
// node belongs to (absent on a remove, whose sysfs entry is gone).
struct HidrawUevent {
  std::string action;
  std::string subsystem;
  std::string sysname;  // "hidraw3"
  std::string hidId;
  std::string hidPhys;
};

struct HidrawChange {
  bool arrived = false;
  std::wstring interfaceName;
};

// The nodes seen so far, by name, each with the interface name it arrived
// as (empty for a node of no HID device).
using HidrawNodeNames = std::map<std::string, std::wstring>;

// What one event means, updating `known`. An add is an arrival; a remove is
// the leaving of the node under the name it arrived with. Any other action,
// another subsystem and a node of no HID device mean nothing. An add for a
// node already known is an arrival again: the kernel never adds a node
// twice, so its remove was lost (and a node named anew first leaves under
// its old name, which `leftFirst` carries).
struct HidrawEventMeaning {
  std::optional<HidrawChange> leftFirst;
  std::optional<HidrawChange> change;
};
HidrawEventMeaning HidrawEventChange(HidrawNodeNames& known, const HidrawUevent& event);

}  // namespace kovral
