#pragma once
// The interface settings kept in str.ini: language, skin, text colour and the
// button texts per language and layer.
#include <cstdint>
#include <string>

#include "settings/ini_store.h"

namespace kovral {

inline constexpr int kButtonTextCount = 16;  // 8 buttons x Mode A, Mode B
inline constexpr wchar_t kSkinsSection[] = L"Skins";

struct UiSettings {
  // Key order: "Item1".."Item8" (Mode A buttons 1..8), then "Item13".."Item83" (Mode B).
  std::wstring buttonText[kButtonTextCount];
  std::wstring rColor, gColor, bColor;  // decimal texts as stored
  std::wstring skinName;
};

struct TextColorBytes {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

// "Item1".."Item8" for indices 0..7, "Item13".."Item83" for 8..15.
std::wstring ButtonTextKey(int index);

// The "Lan" code of section "Skins"; empty when absent.
std::wstring ReadLanguageCode(IniStore& ini, const std::wstring& strIni);
bool WriteLanguageCode(IniStore& ini, const std::wstring& strIni, const std::wstring& code);

// The sixteen button texts of the language section, then "RColor",
// "GColor", "BColor" and "Path" of "Skins", in that order.
void ReadInterfaceSettings(IniStore& ini, const std::wstring& strIni, const std::wstring& section, UiSettings& ui);

// Writes all sixteen texts in key order; false if any write failed.
bool WriteButtonTexts(IniStore& ini, const std::wstring& strIni, const std::wstring& section,
                      const std::wstring (&texts)[kButtonTextCount]);
bool WriteButtonTexts(IniStore& ini, const std::wstring& strIni, const std::wstring& section, const UiSettings& ui);

// Writes "RColor", "GColor", "BColor" as decimal, then "Path"; false if any write failed.
bool WriteSkinChoice(IniStore& ini, const std::wstring& strIni, TextColorBytes color, const std::wstring& skinName);

// The factory texts of both layers: buttons 1..5 the function list's
// positions 0..4, button 6 "DPI Loop", buttons 7 and 8 position 15 ("Key Off").
void SetFirstRunButtonTexts(UiSettings& ui, const std::wstring (&functionListTexts)[16]);

// The tray's two profile switches, in section "Profiles" of str.ini as
// "Automatic" and "Notices", "1" on and "0" off. A missing or unreadable
// value counts as on: a user who never touched them gets the feature.
inline constexpr wchar_t kProfilesSection[] = L"Profiles";
struct SwitchSettings {
  bool automatic = true;
  bool notices = true;
  bool operator==(const SwitchSettings&) const = default;
};
SwitchSettings ReadSwitchSettings(IniStore& ini, const std::wstring& strIni);
bool WriteSwitchSettings(IniStore& ini, const std::wstring& strIni, const SwitchSettings& settings);

// A colour part as the program converts it: the decimal value of the text
// (like _wtoi), of which only the low 8 bits count; empty or non-numeric text gives 0.
uint8_t ColorByteFromText(const std::wstring& text);
TextColorBytes TextColorFromSettings(const UiSettings& ui);

}  // namespace kovral
