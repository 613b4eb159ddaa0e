#include "assign/key_tables.h"

#include <iterator>
#include <string_view>

namespace kovral {
namespace {

// Key names as Windows' GetKeyNameTextW spells them for an English layout,
// plus the three mouse buttons and "Eurpo(Note 2)" for the non-US key, which
// only stored macro text can name. Codes run up by one within each group.
constexpr KeyNameEntry kKeyNames[] = {
    // Letters.
    {L"A", 0x04}, {L"B", 0x05}, {L"C", 0x06}, {L"D", 0x07}, {L"E", 0x08}, {L"F", 0x09},
    {L"G", 0x0A}, {L"H", 0x0B}, {L"I", 0x0C}, {L"J", 0x0D}, {L"K", 0x0E}, {L"L", 0x0F},
    {L"M", 0x10}, {L"N", 0x11}, {L"O", 0x12}, {L"P", 0x13}, {L"Q", 0x14}, {L"R", 0x15},
    {L"S", 0x16}, {L"T", 0x17}, {L"U", 0x18}, {L"V", 0x19}, {L"W", 0x1A}, {L"X", 0x1B},
    {L"Y", 0x1C}, {L"Z", 0x1D},
    // Digits, 1 first and 0 last.
    {L"1", 0x1E}, {L"2", 0x1F}, {L"3", 0x20}, {L"4", 0x21}, {L"5", 0x22}, {L"6", 0x23},
    {L"7", 0x24}, {L"8", 0x25}, {L"9", 0x26}, {L"0", 0x27},
    // Editing keys and punctuation.
    {L"Enter", 0x28}, {L"Esc", 0x29}, {L"Backspace", 0x2A}, {L"Tab", 0x2B}, {L"Space", 0x2C},
    {L"-", 0x2D}, {L"=", 0x2E}, {L"[", 0x2F}, {L"]", 0x30}, {L"\\", 0x31}, {L"Eurpo(Note 2)", 0x32},
    {L";", 0x33}, {L"'", 0x34}, {L"`", 0x35}, {L",", 0x36}, {L".", 0x37}, {L"/", 0x38},
    {L"Caps Lock", 0x39},
    // Function keys.
    {L"F1", 0x3A}, {L"F2", 0x3B}, {L"F3", 0x3C}, {L"F4", 0x3D}, {L"F5", 0x3E}, {L"F6", 0x3F},
    {L"F7", 0x40}, {L"F8", 0x41}, {L"F9", 0x42}, {L"F10", 0x43}, {L"F11", 0x44}, {L"F12", 0x45},
    // Navigation.
    {L"Prnt Scrn", 0x46}, {L"Scroll Lock", 0x47}, {L"Pause", 0x48}, {L"Insert", 0x49},
    {L"Home", 0x4A}, {L"Page Up", 0x4B}, {L"Delete", 0x4C}, {L"End", 0x4D}, {L"Page Down", 0x4E},
    {L"Right", 0x4F}, {L"Left", 0x50}, {L"Down", 0x51}, {L"Up", 0x52},
    // Keypad.
    {L"Num Lock", 0x53}, {L"Num /", 0x54}, {L"Num *", 0x55}, {L"Num -", 0x56}, {L"Num +", 0x57},
    {L"Num Enter", 0x58}, {L"Num 1", 0x59}, {L"Num 2", 0x5A}, {L"Num 3", 0x5B}, {L"Num 4", 0x5C},
    {L"Num 5", 0x5D}, {L"Num 6", 0x5E}, {L"Num 7", 0x5F}, {L"Num 8", 0x60}, {L"Num 9", 0x61},
    {L"Num 0", 0x62}, {L"Num Del", 0x63},
    // Modifier keys; Windows names the left-hand ones without "Left".
    {L"Ctrl", 0xE0}, {L"Shift", 0xE1}, {L"Alt", 0xE2}, {L"Left Windows", 0xE3},
    {L"Right Ctrl", 0xE4}, {L"Right Shift", 0xE5}, {L"Right Alt", 0xE6}, {L"Right Windows", 0xE7},
    // Mouse buttons.
    {L"L-Button", 0xF0}, {L"R-Button", 0xF1}, {L"M-Button", 0xF2},
};
static_assert(std::size(kKeyNames) == kKeyNameCount);

// The combo dialog's list; position n is modifier bit 1 << n. It spells the
// Windows keys "Win", unlike the key-name table.
constexpr const wchar_t* kModifierNames[] = {
    L"Left Ctrl", L"Left Shift", L"Left Alt", L"Left Win",
    L"Right Ctrl", L"Right Shift", L"Right Alt", L"Right Win",
};
static_assert(std::size(kModifierNames) == kModifierCount);

// The fire dialog's list, the same in every language. It has no left or
// right Windows key.
constexpr FireKeyEntry kFireKeys[] = {
    {L"A", 0x04}, {L"B", 0x05}, {L"C", 0x06}, {L"D", 0x07}, {L"E", 0x08}, {L"F", 0x09},
    {L"G", 0x0A}, {L"H", 0x0B}, {L"I", 0x0C}, {L"J", 0x0D}, {L"K", 0x0E}, {L"L", 0x0F},
    {L"M", 0x10}, {L"N", 0x11}, {L"O", 0x12}, {L"P", 0x13}, {L"Q", 0x14}, {L"R", 0x15},
    {L"S", 0x16}, {L"T", 0x17}, {L"U", 0x18}, {L"V", 0x19}, {L"W", 0x1A}, {L"X", 0x1B},
    {L"Y", 0x1C}, {L"Z", 0x1D}, {L"1", 0x1E}, {L"2", 0x1F}, {L"3", 0x20}, {L"4", 0x21},
    {L"5", 0x22}, {L"6", 0x23}, {L"7", 0x24}, {L"8", 0x25}, {L"9", 0x26}, {L"0", 0x27},
    {L"L-CTRL", 0xE0}, {L"L-SHIFT", 0xE1}, {L"L-ALT", 0xE2}, {L"R-CTRL", 0xE4}, {L"R-SHIFT", 0xE5},
    {L"R-ALT", 0xE6}, {L"F1", 0x3A}, {L"F2", 0x3B}, {L"F3", 0x3C}, {L"F4", 0x3D}, {L"F5", 0x3E},
    {L"F6", 0x3F}, {L"F7", 0x40}, {L"F8", 0x41}, {L"F9", 0x42}, {L"F10", 0x43}, {L"F11", 0x44},
    {L"F12", 0x45}, {L"L-Button", 0xF0}, {L"R-Button", 0xF1}, {L"M-Button", 0xF2},
    {L"B4-Button", 0xF3}, {L"B5-Button", 0xF4}, {L"L-Tilt Wheel", 0xF5}, {L"R-Tilt Wheel", 0xF6},
};
static_assert(std::size(kFireKeys) == kFireKeyCount);
constexpr int kFirstMouseFireKey = kFireKeyCount - 7;
static_assert(kFireKeys[kFirstMouseFireKey].code == 0xF0 && kFireKeys[kFireKeyCount - 1].code == 0xF6);

// HID consumer usages of the media list: next, previous, stop, play/pause,
// mute, volume up, volume down.
constexpr uint8_t kMediaUsages[] = {0xB5, 0xB6, 0xB7, 0xCD, 0xE2, 0xE9, 0xEA};
static_assert(std::size(kMediaUsages) == kMediaCount);

// Low bytes of the Windows-function list's consumer usages: application
// launchers 0x0183..0x0194, then browser controls 0x0221..0x022A.
constexpr uint8_t kWindowsUsagesLow[] = {0x83, 0x8A, 0x92, 0x94, 0x21, 0x23,
                                         0x24, 0x25, 0x26, 0x27, 0x2A};
static_assert(std::size(kWindowsUsagesLow) == kWindowsFunctionCount);

}  // namespace

// A std::wstring may carry an embedded zero; comparing views over the whole
// length keeps "A" from matching a name that merely starts with it.
uint8_t KeyNameToUsage(const std::wstring& name) {
  const std::wstring_view wanted(name);
  for (const KeyNameEntry& e : kKeyNames)
    if (wanted == e.name) return e.usage;
  return 0;
}

uint8_t ModifierNameToBit(const std::wstring& name) {
  const std::wstring_view wanted(name);
  for (int i = 0; i < kModifierCount; ++i)
    if (wanted == kModifierNames[i]) return static_cast<uint8_t>(1u << i);
  return 0;
}

uint8_t FireKeyToCode(uint8_t position) { return position < kFireKeyCount ? kFireKeys[position].code : 0; }

uint8_t MediaToUsage(uint8_t position) { return position < kMediaCount ? kMediaUsages[position] : 0; }

uint8_t WindowsToUsage(uint8_t position) {
  return position < kWindowsFunctionCount ? kWindowsUsagesLow[position] : 0;
}

uint8_t WindowsUsageHigh(uint8_t position) {
  if (position <= 3) return 1;
  if (position < kWindowsFunctionCount) return 2;
  return 0;
}

std::span<const KeyNameEntry> KeyNames() { return kKeyNames; }
std::span<const wchar_t* const> ModifierNames() { return kModifierNames; }
std::span<const FireKeyEntry> FireKeys() { return kFireKeys; }

const wchar_t* KeyUsageName(uint8_t usage) {
  if (usage == 0) return nullptr;
  for (const KeyNameEntry& e : kKeyNames)
    if (e.usage == usage) return e.name;
  return nullptr;
}

// Mouse-button codes 0xF0..0xF6 close the fire-key list in code order.
const wchar_t* MouseButtonName(uint8_t code) {
  if (code < 0xF0 || code > 0xF6) return nullptr;
  return kFireKeys[kFirstMouseFireKey + (code - 0xF0)].name;
}

const wchar_t* ModifierBitName(uint8_t bit) {
  for (int i = 0; i < kModifierCount; ++i)
    if (bit == (1u << i)) return kModifierNames[i];
  return nullptr;
}

const wchar_t* FireKeyCodeName(uint8_t code) {
  if (code == 0) return nullptr;
  for (const FireKeyEntry& e : kFireKeys)
    if (e.code == code) return e.name;
  return nullptr;
}

int MediaPositionOfUsage(uint8_t usage) {
  for (int i = 0; i < kMediaCount; ++i)
    if (kMediaUsages[i] == usage) return i;
  return -1;
}

int WindowsPositionOfUsage(uint8_t low, uint8_t high) {
  for (int i = 0; i < kWindowsFunctionCount; ++i)
    if (kWindowsUsagesLow[i] == low && WindowsUsageHigh(static_cast<uint8_t>(i)) == high) return i;
  return -1;
}

}  // namespace kovral
