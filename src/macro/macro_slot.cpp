#include "macro/macro_slot.h"

namespace kovral {
namespace {

constexpr uint8_t kUpFlag = 0x80;
constexpr uint8_t kLongFormMarker = 0x03;
constexpr int kFirstEventByte = 2;

uint16_t ReadU16BE(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

}  // namespace

bool MacroSlotIsEmpty(const uint8_t (&slot)[kMacroSlotSize]) {
  for (uint8_t b : slot)
    if (b != 0) return false;
  return true;
}

// A short event is [flag + delay/10][code]; a long one, for delays above
// 1270 ms, is [flag + delay%100][code][delay/100][0x03]. Usage 0x03 names no
// key, so a 0x03 in the fourth byte marks the long form. The events end at
// the zero padding (a press of code 0 with no delay cannot be told from it).
DecodedMacroSlot DecodeMacroSlot(const uint8_t (&slot)[kMacroSlotSize]) {
  DecodedMacroSlot out;
  out.loopCount = ReadU16BE(slot);
  int i = kFirstEventByte;
  while (i + 1 < kMacroSlotSize) {
    const uint8_t head = slot[i];
    const uint8_t code = slot[i + 1];
    if (head == 0 && code == 0) break;
    MacroEvent e;
    e.up = (head & kUpFlag) != 0;
    e.code = code;
    const uint8_t low = head & 0x7F;
    if (i + 3 < kMacroSlotSize && slot[i + 3] == kLongFormMarker) {
      e.delayMs = static_cast<uint32_t>(slot[i + 2]) * 100 + low;
      i += 4;
    } else {
      e.delayMs = static_cast<uint32_t>(low) * 10;
      i += 2;
    }
    out.events.push_back(e);
  }
  return out;
}

}  // namespace kovral
