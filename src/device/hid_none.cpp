#include "device/hid_system.h"

#include "device/cond_event.h"

namespace kovral {

#if !defined(_WIN32) && !defined(KOVRAL_HIDRAW)
namespace {

// Windows and Linux have bindings of their own. Elsewhere the interface list
// can be made but is always empty: the link then reports the mouse as not
// detected, as on a machine without it.
class NoHidEnumeration final : public HidEnumeration {
 public:
  Status Interface(uint32_t, std::wstring&) override { return Status::NoMoreItems; }
};

class NoHidPlatform final : public HidPlatform {
 public:
  std::unique_ptr<HidEnumeration> Enumerate() override { return std::make_unique<NoHidEnumeration>(); }
  std::unique_ptr<HidDevice> Open(const std::wstring&, HidAccess, bool) override { return nullptr; }
  std::unique_ptr<HidEvent> NewEvent() override { return std::make_unique<CondEvent>(); }
};

}  // namespace

std::unique_ptr<HidPlatform> MakeSystemHidPlatform() { return std::make_unique<NoHidPlatform>(); }
#endif

}  // namespace kovral
