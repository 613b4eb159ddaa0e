#pragma once
// Button function codes: the four-byte word the mouse stores per button, the
// sixteen-slot key matrices it receives, and how a layer of the configuration
// record turns into them.
#include <cstddef>
#include <cstdint>

#include "settings/device_config.h"

namespace kovral {

// Byte 0 of a KeyFunction. Values 2, 4, 5 and 6 are never produced.
enum class KeyFunctionType : uint8_t {
  Keyboard = 0,     // modifier bits, first key usage, second key usage
  MouseButton = 1,  // 0, mouse-button code, 0
  Consumer = 3,     // 0, consumer usage low byte, high byte
  Dpi = 7,          // 0, DPI action, 0
  Special = 8,      // 0, special action, 0
  Macro = 9,        // repeat mode, macro number 1..12, 0
  Fire = 10,        // key code, speed, times
};

// The mouse's own button codes (byte 2 of MouseButton, byte 1 of Fire).
constexpr uint8_t kButtonCodeLeft = 0xF0;
constexpr uint8_t kButtonCodeRight = 0xF1;
constexpr uint8_t kButtonCodeMiddle = 0xF2;
constexpr uint8_t kButtonCodeBack = 0xF3;     // "B4-Button"
constexpr uint8_t kButtonCodeForward = 0xF4;  // "B5-Button"
constexpr uint8_t kButtonCodeTiltLeft = 0xF5;
constexpr uint8_t kButtonCodeTiltRight = 0xF6;
constexpr uint8_t kButtonCodeSlot14 = 0xF7;
constexpr uint8_t kButtonCodeSlot15 = 0xF8;

// Byte 2 of Dpi; also the values of the record's dpiAction arrays.
constexpr uint8_t kDpiActionUp = 1;    // "DPI +"
constexpr uint8_t kDpiActionDown = 2;  // "DPI -"
constexpr uint8_t kDpiActionLoop = 3;  // "DPI Loop"

// Byte 2 of Special.
constexpr uint8_t kSpecialShift = 2;
constexpr uint8_t kSpecialLightToggle = 3;

// The entries of every button drop-down, in list order; the record's
// functionIndex holds one of these.
enum class FunctionIndex : uint8_t {
  LeftClick = 0,
  RightClick = 1,
  MidClick = 2,
  Forward = 3,
  Backward = 4,
  TripleClick = 5,
  DpiSwitch = 6,
  LightToggle = 7,
  Windows = 8,
  Multimedia = 9,
  FireKey = 10,
  SingleKey = 11,
  ComboKey = 12,
  MacroKey = 13,
  Shift = 14,
  KeyOff = 15,
};
constexpr int kFunctionCount = 16;

// One button's function, kept as the four bytes the mouse sees.
struct KeyFunction {
  uint8_t type = 0;  // a KeyFunctionType value
  uint8_t param1 = 0;
  uint8_t param2 = 0;
  uint8_t param3 = 0;

  static constexpr KeyFunction Make(KeyFunctionType t, uint8_t p1, uint8_t p2, uint8_t p3) {
    return KeyFunction{static_cast<uint8_t>(t), p1, p2, p3};
  }
  // The little-endian word of the four bytes: byte 0 is the least significant.
  constexpr uint32_t WordLE() const {
    return uint32_t{type} | uint32_t{param1} << 8 | uint32_t{param2} << 16 | uint32_t{param3} << 24;
  }
  static constexpr KeyFunction FromWordLE(uint32_t w) {
    return KeyFunction{static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8),
                       static_cast<uint8_t>(w >> 16), static_cast<uint8_t>(w >> 24)};
  }
  void WriteLE(uint8_t* out) const;
  static KeyFunction ReadLE(const uint8_t* in);
  constexpr bool operator==(const KeyFunction&) const = default;
};
static_assert(sizeof(KeyFunction) == 4);
static_assert(offsetof(KeyFunction, type) == 0);
static_assert(offsetof(KeyFunction, param1) == 1);
static_assert(offsetof(KeyFunction, param2) == 2);
static_assert(offsetof(KeyFunction, param3) == 3);

constexpr int kKeyMatrixSlots = 16;
constexpr int kKeyMatrixBytes = 64;
constexpr int kKeyMatrixCount = 4;
constexpr int kKeyMatrixModeA = 0;  // index of matrix 1 in the image
constexpr int kKeyMatrixModeB = 2;  // index of matrix 3 in the image

// Sixteen codes; the mouse receives them as 64 bytes, slot 0 first.
struct KeyMatrix {
  KeyFunction slots[kKeyMatrixSlots]{};

  void WriteWireImage(uint8_t (&out)[kKeyMatrixBytes]) const;
  static KeyMatrix ReadWireImage(const uint8_t (&in)[kKeyMatrixBytes]);
  constexpr bool operator==(const KeyMatrix&) const = default;
};
static_assert(sizeof(KeyMatrix) == kKeyMatrixBytes);

constexpr uint8_t kNoSlot = 0xFF;

// Matrix slot of button index 0..7 (interface buttons 4 and 5 swap places);
// kNoSlot for any other index.
uint8_t SlotOfButton(int button);

// The code of button index 0..7 in one layer. dpiAction is that layer's
// eight-byte array (null reads as 0). Other indices give Key Off.
KeyFunction KeyFunctionFor(const AssignmentTable& table, const uint8_t* dpiAction, int button);

// Matrix of one layer: buttons in slots 0..7, slots 8..13 zero, the fixed
// codes in slots 14 and 15.
KeyMatrix BuildKeyMatrix(const AssignmentTable& table, const uint8_t* dpiAction);

// The 256-byte transmit image: matrix 1 = Mode A, matrix 3 = Mode B,
// matrices 2 and 4 all zero.
void BuildKeyMatrices(const DeviceConfig& config, uint8_t (&image)[kKeyMatrixCount][kKeyMatrixBytes]);

}  // namespace kovral
