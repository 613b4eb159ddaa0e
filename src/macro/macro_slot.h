#pragma once
// Reading back the 128-byte macro slot the mouse stores: loop count, then
// encoded events, each followed by its delay.
#include <cstdint>
#include <vector>

#include "settings/device_config.h"

namespace kovral {

struct MacroEvent {
  bool up = false;       // release (true) or press (false)
  uint8_t code = 0;      // HID keyboard usage or mouse-button code 0xF0..0xF2
  uint32_t delayMs = 0;  // pause after the event
};

struct DecodedMacroSlot {
  uint16_t loopCount = 0;
  std::vector<MacroEvent> events;
};

bool MacroSlotIsEmpty(const uint8_t (&slot)[kMacroSlotSize]);
DecodedMacroSlot DecodeMacroSlot(const uint8_t (&slot)[kMacroSlotSize]);

}  // namespace kovral
