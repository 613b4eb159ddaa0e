#include "assign/key_function.h"

#include <cstring>

namespace kovral {

void KeyFunction::WriteLE(uint8_t* out) const {
  out[0] = type;
  out[1] = param1;
  out[2] = param2;
  out[3] = param3;
}

KeyFunction KeyFunction::ReadLE(const uint8_t* in) { return KeyFunction{in[0], in[1], in[2], in[3]}; }

void KeyMatrix::WriteWireImage(uint8_t (&out)[kKeyMatrixBytes]) const {
  for (int s = 0; s < kKeyMatrixSlots; ++s) slots[s].WriteLE(out + 4 * s);
}

KeyMatrix KeyMatrix::ReadWireImage(const uint8_t (&in)[kKeyMatrixBytes]) {
  KeyMatrix m;
  for (int s = 0; s < kKeyMatrixSlots; ++s) m.slots[s] = KeyFunction::ReadLE(in + 4 * s);
  return m;
}

// The firmware numbers the two side buttons the other way round from the
// interface, so buttons 4 and 5 trade slots on the wire.
uint8_t SlotOfButton(int button) {
  static constexpr uint8_t kSlots[kButtonCount] = {0, 1, 2, 4, 3, 5, 6, 7};
  if (button < 0 || button >= kButtonCount) return kNoSlot;
  return kSlots[button];
}

KeyFunction KeyFunctionFor(const AssignmentTable& t, const uint8_t* dpiAction, int b) {
  using T = KeyFunctionType;
  using F = FunctionIndex;
  if (b < 0 || b >= kButtonCount) return {};
  const uint8_t dpi = dpiAction ? dpiAction[b] : 0;
  switch (static_cast<F>(t.functionIndex[b])) {
    case F::LeftClick: return KeyFunction::Make(T::MouseButton, 0, kButtonCodeLeft, 0);
    case F::RightClick: return KeyFunction::Make(T::MouseButton, 0, kButtonCodeRight, 0);
    case F::MidClick: return KeyFunction::Make(T::MouseButton, 0, kButtonCodeMiddle, 0);
    case F::Forward: return KeyFunction::Make(T::MouseButton, 0, kButtonCodeForward, 0);
    case F::Backward: return KeyFunction::Make(T::MouseButton, 0, kButtonCodeBack, 0);
    // Triple-click is a fixed rapid fire: left button, speed 34, three times.
    case F::TripleClick: return KeyFunction::Make(T::Fire, kButtonCodeLeft, 0x22, 3);
    case F::DpiSwitch: return KeyFunction::Make(T::Dpi, 0, dpi, 0);
    case F::LightToggle: return KeyFunction::Make(T::Special, 0, kSpecialLightToggle, 0);
    case F::Windows: return KeyFunction::Make(T::Consumer, 0, t.windowsUsageLow[b], t.windowsUsageHigh[b]);
    case F::Multimedia: return KeyFunction::Make(T::Consumer, 0, t.mediaUsage[b], 0);
    case F::FireKey: return KeyFunction::Make(T::Fire, t.fireKeyCode[b], t.fireSpeed[b], t.fireTimes[b]);
    case F::SingleKey: return KeyFunction::Make(T::Keyboard, 0, t.singleKeyCode[b], 0);
    case F::ComboKey: return KeyFunction::Make(T::Keyboard, t.comboModifiers[b], t.comboKey1[b], t.comboKey2[b]);
    // The mouse numbers macros from 1; the byte wraps like the stored index.
    case F::MacroKey:
      return KeyFunction::Make(T::Macro, t.macroMode[b], static_cast<uint8_t>(t.macroIndex[b] + 1), 0);
    case F::Shift: return KeyFunction::Make(T::Special, 0, kSpecialShift, 0);
    case F::KeyOff:
    default:  // also any index a damaged file may hold
      return {};
  }
}

KeyMatrix BuildKeyMatrix(const AssignmentTable& table, const uint8_t* dpiAction) {
  KeyMatrix m;
  for (int b = 0; b < kButtonCount; ++b) m.slots[SlotOfButton(b)] = KeyFunctionFor(table, dpiAction, b);
  m.slots[14] = KeyFunction::Make(KeyFunctionType::MouseButton, 0, kButtonCodeSlot14, 0);
  m.slots[15] = KeyFunction::Make(KeyFunctionType::MouseButton, 0, kButtonCodeSlot15, 0);
  return m;
}

// The whole image is rewritten, so matrices 2 and 4 go out as zeros at every
// transfer whatever the image held before.
void BuildKeyMatrices(const DeviceConfig& config, uint8_t (&image)[kKeyMatrixCount][kKeyMatrixBytes]) {
  std::memset(image, 0, sizeof image);
  BuildKeyMatrix(LayerTable(config, 0), LayerDpiAction(config, 0)).WriteWireImage(image[kKeyMatrixModeA]);
  BuildKeyMatrix(LayerTable(config, 1), LayerDpiAction(config, 1)).WriteWireImage(image[kKeyMatrixModeB]);
}

}  // namespace kovral
