#include "assign/key_names.h"

namespace kovral {
namespace {

struct ScanName {
  uint8_t scan;
  bool extended;
  const wchar_t* name;
};

// The keys of a standard keyboard by their scan code. On US-English Windows
// these are exactly the names the system gives, so texts written there read
// the same. Pause and Num Lock share 0x45, Prnt Scrn and Num * share 0x37:
// the extended flag tells them apart; Right Shift is not an extended key.
constexpr ScanName kScanNames[] = {
    {0x1E, false, L"A"}, {0x30, false, L"B"}, {0x2E, false, L"C"}, {0x20, false, L"D"}, {0x12, false, L"E"},
    {0x21, false, L"F"}, {0x22, false, L"G"}, {0x23, false, L"H"}, {0x17, false, L"I"}, {0x24, false, L"J"},
    {0x25, false, L"K"}, {0x26, false, L"L"}, {0x32, false, L"M"}, {0x31, false, L"N"}, {0x18, false, L"O"},
    {0x19, false, L"P"}, {0x10, false, L"Q"}, {0x13, false, L"R"}, {0x1F, false, L"S"}, {0x14, false, L"T"},
    {0x16, false, L"U"}, {0x2F, false, L"V"}, {0x11, false, L"W"}, {0x2D, false, L"X"}, {0x15, false, L"Y"},
    {0x2C, false, L"Z"},
    {0x02, false, L"1"}, {0x03, false, L"2"}, {0x04, false, L"3"}, {0x05, false, L"4"}, {0x06, false, L"5"},
    {0x07, false, L"6"}, {0x08, false, L"7"}, {0x09, false, L"8"}, {0x0A, false, L"9"}, {0x0B, false, L"0"},
    {0x1C, false, L"Enter"}, {0x01, false, L"Esc"}, {0x0E, false, L"Backspace"}, {0x0F, false, L"Tab"},
    {0x39, false, L"Space"}, {0x0C, false, L"-"}, {0x0D, false, L"="}, {0x1A, false, L"["}, {0x1B, false, L"]"},
    {0x2B, false, L"\\"}, {0x27, false, L";"}, {0x28, false, L"'"}, {0x29, false, L"`"}, {0x33, false, L","},
    {0x34, false, L"."}, {0x35, false, L"/"}, {0x3A, false, L"Caps Lock"},
    {0x3B, false, L"F1"}, {0x3C, false, L"F2"}, {0x3D, false, L"F3"}, {0x3E, false, L"F4"}, {0x3F, false, L"F5"},
    {0x40, false, L"F6"}, {0x41, false, L"F7"}, {0x42, false, L"F8"}, {0x43, false, L"F9"}, {0x44, false, L"F10"},
    {0x57, false, L"F11"}, {0x58, false, L"F12"},
    {0x37, true, L"Prnt Scrn"}, {0x46, false, L"Scroll Lock"}, {0x45, false, L"Pause"}, {0x52, true, L"Insert"},
    {0x47, true, L"Home"}, {0x49, true, L"Page Up"}, {0x53, true, L"Delete"}, {0x4F, true, L"End"},
    {0x51, true, L"Page Down"}, {0x4D, true, L"Right"}, {0x4B, true, L"Left"}, {0x50, true, L"Down"},
    {0x48, true, L"Up"},
    {0x45, true, L"Num Lock"}, {0x35, true, L"Num /"}, {0x37, false, L"Num *"}, {0x4A, false, L"Num -"},
    {0x4E, false, L"Num +"}, {0x1C, true, L"Num Enter"}, {0x4F, false, L"Num 1"}, {0x50, false, L"Num 2"},
    {0x51, false, L"Num 3"}, {0x4B, false, L"Num 4"}, {0x4C, false, L"Num 5"}, {0x4D, false, L"Num 6"},
    {0x47, false, L"Num 7"}, {0x48, false, L"Num 8"}, {0x49, false, L"Num 9"}, {0x52, false, L"Num 0"},
    {0x53, false, L"Num Del"},
    {0x1D, false, L"Ctrl"}, {0x2A, false, L"Shift"}, {0x38, false, L"Alt"}, {0x5B, true, L"Left Windows"},
    {0x1D, true, L"Right Ctrl"}, {0x36, false, L"Right Shift"}, {0x38, true, L"Right Alt"},
    {0x5C, true, L"Right Windows"},
};

}  // namespace

const wchar_t* KeyNameOfScanCode(unsigned scanCode, bool extended) {
  for (const ScanName& key : kScanNames) {
    if (key.scan == scanCode && key.extended == extended) return key.name;
  }
  return nullptr;
}

const wchar_t* KeyNameOfEvdevCode(unsigned code) {
  struct Extended {
    unsigned code;
    uint8_t scan;
  };
  // KEY_KPENTER, KEY_RIGHTCTRL, KEY_KPSLASH, KEY_SYSRQ, KEY_RIGHTALT, the
  // navigation block, KEY_LEFTMETA and KEY_RIGHTMETA; Windows reports Num
  // Lock (KEY_NUMLOCK, 69) as extended and Pause (KEY_PAUSE) as plain 0x45.
  static constexpr Extended kExtended[] = {
      {96, 0x1C},  {97, 0x1D},  {98, 0x35},  {99, 0x37},  {100, 0x38}, {102, 0x47}, {103, 0x48},
      {104, 0x49}, {105, 0x4B}, {106, 0x4D}, {107, 0x4F}, {108, 0x50}, {109, 0x51}, {110, 0x52},
      {111, 0x53}, {125, 0x5B}, {126, 0x5C}, {69, 0x45},
  };
  for (const Extended& key : kExtended) {
    if (key.code == code) return KeyNameOfScanCode(key.scan, true);
  }
  if (code == 119) return KeyNameOfScanCode(0x45, false);
  if (code >= 1 && code <= 88) return KeyNameOfScanCode(code, false);
  return nullptr;
}

std::wstring KeyNameOfKeystroke(uint32_t keyData, const std::wstring& systemName) {
  const wchar_t* name = KeyNameOfScanCode((keyData >> 16) & 0xFF, ((keyData >> 24) & 1) != 0);
  return name ? std::wstring(name) : systemName;
}

}  // namespace kovral
