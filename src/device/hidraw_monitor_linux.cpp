#include "device/hidraw_monitor_linux.h"

#include <libudev.h>

namespace kovral {
namespace {

std::string Text(const char* value) { return value ? value : ""; }

}  // namespace

HidrawMonitor::~HidrawMonitor() {
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
}

bool HidrawMonitor::Start() {
  if (monitor_) return true;
  if (!udev_) udev_ = udev_new();
  if (!udev_) return false;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (!monitor_) return false;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    return false;
  }
  return true;
}

int HidrawMonitor::fd() const { return monitor_ ? udev_monitor_get_fd(monitor_) : -1; }

// The properties are the HID device's, the node's parent: the node itself
// carries only its number.
HidrawUevent HidrawMonitor::Read(udev_device* device, const char* action) {
  HidrawUevent event;
  event.action = Text(action);
  event.subsystem = Text(udev_device_get_subsystem(device));
  event.sysname = Text(udev_device_get_sysname(device));
  if (udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr)) {
    event.hidId = Text(udev_device_get_property_value(hid, "HID_ID"));
    event.hidPhys = Text(udev_device_get_property_value(hid, "HID_PHYS"));
  }
  return event;
}

std::vector<HidrawUevent> HidrawMonitor::Present() {
  std::vector<HidrawUevent> present;
  if (!udev_) return present;
  udev_enumerate* enumerate = udev_enumerate_new(udev_);
  if (!enumerate) return present;
  udev_enumerate_add_match_subsystem(enumerate, "hidraw");
  if (udev_enumerate_scan_devices(enumerate) >= 0) {
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
      udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
      if (!device) continue;
      present.push_back(Read(device, "add"));
      udev_device_unref(device);
    }
  }
  udev_enumerate_unref(enumerate);
  return present;
}

std::optional<HidrawUevent> HidrawMonitor::Receive() {
  if (!monitor_) return std::nullopt;
  udev_device* device = udev_monitor_receive_device(monitor_);
  if (!device) return std::nullopt;
  HidrawUevent event = Read(device, udev_device_get_action(device));
  udev_device_unref(device);
  return event;
}

}  // namespace kovral
