#pragma once
// Fixed tables that turn key names and list positions into the numbers a
// KeyFunction carries, and back into names for display.
#include <cstdint>
#include <span>
#include <string>

namespace kovral {

struct KeyNameEntry {
  const wchar_t* name;
  uint8_t usage;  // HID keyboard usage, or a mouse-button code 0xF0..0xF2
};

struct FireKeyEntry {
  const wchar_t* name;
  uint8_t code;  // HID keyboard usage or mouse-button code
};

constexpr int kKeyNameCount = 107;
constexpr int kModifierCount = 8;
constexpr int kFireKeyCount = 61;
constexpr int kMediaCount = 7;
constexpr int kWindowsFunctionCount = 11;

// Lookups. Names are compared whole, exactly and case-sensitively; anything
// not in the table, and any position past the list, gives 0.
uint8_t KeyNameToUsage(const std::wstring& name);
uint8_t ModifierNameToBit(const std::wstring& name);
uint8_t FireKeyToCode(uint8_t position);
uint8_t MediaToUsage(uint8_t position);
uint8_t WindowsToUsage(uint8_t position);    // low byte of the consumer usage
uint8_t WindowsUsageHigh(uint8_t position);  // 1 for 0..3, 2 for 4..10, else 0

// The tables themselves, in list order.
std::span<const KeyNameEntry> KeyNames();        // 107 entries
std::span<const wchar_t* const> ModifierNames();  // 8 entries, bit 1 << position
std::span<const FireKeyEntry> FireKeys();        // 61 entries

// Reverse lookups for display; nullptr when the code has no name.
const wchar_t* KeyUsageName(uint8_t usage);      // key-name table, e.g. 0xE0 -> "Ctrl"
const wchar_t* MouseButtonName(uint8_t code);    // 0xF0..0xF6, fire-key list spelling
const wchar_t* ModifierBitName(uint8_t bit);     // a single bit -> "Left Ctrl" ...
const wchar_t* FireKeyCodeName(uint8_t code);    // fire-key list, e.g. 0xE4 -> "R-CTRL"

// Position of a stored usage in the media / Windows-function list, or -1.
int MediaPositionOfUsage(uint8_t usage);
int WindowsPositionOfUsage(uint8_t low, uint8_t high);

}  // namespace kovral
