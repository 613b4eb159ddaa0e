#include "settings/ui_settings.h"

#include <climits>
#include <cwctype>

namespace kovral {

std::wstring ButtonTextKey(int index) {
  if (index < 8) return L"Item" + std::to_wstring(index + 1);
  return L"Item" + std::to_wstring(index - 8 + 1) + L"3";
}

std::wstring ReadLanguageCode(IniStore& ini, const std::wstring& strIni) {
  return ini.Get(strIni, kSkinsSection, L"Lan");
}

bool WriteLanguageCode(IniStore& ini, const std::wstring& strIni, const std::wstring& code) {
  return ini.Write(strIni, kSkinsSection, L"Lan", code);
}

void ReadInterfaceSettings(IniStore& ini, const std::wstring& strIni, const std::wstring& section, UiSettings& ui) {
  for (int i = 0; i < kButtonTextCount; ++i) ui.buttonText[i] = ini.Get(strIni, section, ButtonTextKey(i));
  ui.rColor = ini.Get(strIni, kSkinsSection, L"RColor");
  ui.gColor = ini.Get(strIni, kSkinsSection, L"GColor");
  ui.bColor = ini.Get(strIni, kSkinsSection, L"BColor");
  ui.skinName = ini.Get(strIni, kSkinsSection, L"Path");
}

// Every key is written even after a failure, so that one bad key does not
// cost the others.
bool WriteButtonTexts(IniStore& ini, const std::wstring& strIni, const std::wstring& section,
                      const std::wstring (&texts)[kButtonTextCount]) {
  bool allWritten = true;
  for (int i = 0; i < kButtonTextCount; ++i) {
    allWritten = ini.Write(strIni, section, ButtonTextKey(i), texts[i]) && allWritten;
  }
  return allWritten;
}

bool WriteButtonTexts(IniStore& ini, const std::wstring& strIni, const std::wstring& section, const UiSettings& ui) {
  return WriteButtonTexts(ini, strIni, section, ui.buttonText);
}

bool WriteSkinChoice(IniStore& ini, const std::wstring& strIni, TextColorBytes color, const std::wstring& skinName) {
  bool allWritten = ini.Write(strIni, kSkinsSection, L"RColor", std::to_wstring(color.red));
  allWritten = ini.Write(strIni, kSkinsSection, L"GColor", std::to_wstring(color.green)) && allWritten;
  allWritten = ini.Write(strIni, kSkinsSection, L"BColor", std::to_wstring(color.blue)) && allWritten;
  allWritten = ini.Write(strIni, kSkinsSection, L"Path", skinName) && allWritten;
  return allWritten;
}

namespace {
bool OnUnlessZero(const std::wstring& value) {
  size_t begin = value.find_first_not_of(L" \t");
  size_t end = value.find_last_not_of(L" \t");
  return begin == std::wstring::npos || value.substr(begin, end - begin + 1) != L"0";
}
}  // namespace

SwitchSettings ReadSwitchSettings(IniStore& ini, const std::wstring& strIni) {
  SwitchSettings settings;
  settings.automatic = OnUnlessZero(ini.Get(strIni, kProfilesSection, L"Automatic"));
  settings.notices = OnUnlessZero(ini.Get(strIni, kProfilesSection, L"Notices"));
  return settings;
}

bool WriteSwitchSettings(IniStore& ini, const std::wstring& strIni, const SwitchSettings& settings) {
  bool allWritten = ini.Write(strIni, kProfilesSection, L"Automatic", settings.automatic ? L"1" : L"0");
  allWritten = ini.Write(strIni, kProfilesSection, L"Notices", settings.notices ? L"1" : L"0") && allWritten;
  return allWritten;
}

void SetFirstRunButtonTexts(UiSettings& ui, const std::wstring (&functionListTexts)[16]) {
  for (int layer = 0; layer < 2; ++layer) {
    std::wstring* texts = ui.buttonText + layer * 8;
    for (int button = 0; button < 5; ++button) texts[button] = functionListTexts[button];
    texts[5] = L"DPI Loop";
    texts[6] = functionListTexts[15];
    texts[7] = functionListTexts[15];
  }
}

// _wtoi: optional white space, an optional sign, then digits up to the first
// other character; a value out of the int range saturates at INT_MAX or INT_MIN.
uint8_t ColorByteFromText(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long long value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) {
      saturated = true;
      break;
    }
  }
  int result;
  if (negative) {
    result = saturated || value > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-value);
  } else {
    result = saturated || value > INT_MAX ? INT_MAX : static_cast<int>(value);
  }
  return static_cast<uint8_t>(static_cast<unsigned>(result) & 0xFF);
}

TextColorBytes TextColorFromSettings(const UiSettings& ui) {
  return {ColorByteFromText(ui.rColor), ColorByteFromText(ui.gColor), ColorByteFromText(ui.bColor)};
}

}  // namespace kovral
