#pragma once
// Fixed values of the configuration record: the factory record a fresh
// installation ships, and the two restore actions of the pages.
#include "settings/device_config.h"

namespace kovral {

// functionIndex of buttons 1..8 in the factory assignment (both layers).
inline constexpr uint8_t kFactoryFunctionIndex[kButtonCount] = {0, 1, 2, 3, 4, 6, 15, 15};
// Button 6 is "DPI Switch" with this action ("DPI Loop").
inline constexpr int kFactoryDpiButton = 5;
inline constexpr uint8_t kFactoryDpiAction = 3;

// The keys' "Default" action: the factory functionIndex of every button and
// "DPI Loop" for button 6, in both layers. Nothing else changes.
void RestoreDefaultAssignment(DeviceConfig& config);

// The advanced page's "Default" action on the record (the system calls are
// the page's): precision off, one screen off, speed step 6, 3 lines, double-click step 6.
void RestorePointerDefaults(DeviceConfig& config);

// The mouse's factory settings: what config.bin holds after installation.
DeviceConfig FactoryConfig();

}  // namespace kovral
