#pragma once
// The hidraw nodes of /dev as device events: a node that comes is a HID
// collection arriving, one that goes a collection leaving, each named as
// Windows names an interface ("\\?\HID#VID_04D9&PID_A09F#hidraw3"), which
// is what the link decides by.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kovral {

// The interface name of node `node` from its sysfs uevent text, by its
// "HID_ID=bus:vendor:product" line; empty when it has none.
std::wstring HidrawInterfaceName(std::string_view uevent, const std::string& node);

struct HidrawChange {
  bool arrived = false;
  std::wstring interfaceName;
};

// Compares the nodes there now with the known ones (node -> its name, empty
// for a node of no HID device) and updates them. A node that went is named
// as it arrived, since its sysfs entry is gone by then; `nameOf` names a
// new one. Removals come first.
std::vector<HidrawChange> HidrawChanges(std::map<std::string, std::wstring>& known,
                                        const std::set<std::string>& now,
                                        const std::function<std::wstring(const std::string&)>& nameOf);

}  // namespace kovral
