#pragma once
// The device-interface class of HID collections (GUID_DEVINTERFACE_HID):
// what the HID binding enumerates and what the main window registers for
// arrival and removal notices.
#include <windows.h>

namespace kovral {

inline constexpr GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

}  // namespace kovral
