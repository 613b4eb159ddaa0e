#include "app/held_notices.h"

namespace kovral {

bool HeldNotices::Hold(DeviceNotice notice) {
  if (released_) return false;
  if (held_.size() == kCapacity) held_.erase(held_.begin());
  held_.push_back(notice);
  return true;
}

std::vector<DeviceNotice> HeldNotices::Release() {
  released_ = true;
  std::vector<DeviceNotice> out;
  out.swap(held_);
  return out;
}

}  // namespace kovral
