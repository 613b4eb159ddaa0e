#pragma once
// Device notices that arrive before the interface texts exist. The handshake
// runs early in start-up, long before the language is read, so its "detected"
// or "not detected" notice would show an empty balloon; such notices are kept
// and shown, in their order, once the texts are loaded.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kovral {

struct DeviceNotice {
  uint32_t code = 0;
  uint32_t value = 0;
  bool operator==(const DeviceNotice&) const = default;
};

class HeldNotices {
 public:
  // A balloon shows one notice at a time; more than a few held ones would
  // only replace each other, so the oldest are dropped beyond this.
  static constexpr size_t kCapacity = 8;

  // True when the notice must be held (texts not loaded yet).
  bool Hold(DeviceNotice notice);
  // The texts exist now: returns the held notices in arrival order; from now
  // on nothing is held.
  std::vector<DeviceNotice> Release();
  bool released() const { return released_; }

 private:
  std::vector<DeviceNotice> held_;
  bool released_ = false;
};

}  // namespace kovral
