#pragma once
// The machine's own HID stack. On Windows it is SetupAPI and hid.dll, on
// Linux hidraw (hid_linux.h); other systems have no binding and present a
// machine without HID interfaces, so that portable tools still run (with the
// simulated mouse).
#include <memory>

#include "device/hid.h"

namespace kovral {

std::unique_ptr<HidPlatform> MakeSystemHidPlatform();

}  // namespace kovral
