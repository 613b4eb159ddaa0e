#include "lang/language.h"

namespace kovral {
namespace {

constexpr uint16_t kLangChinese = 0x04;  // PRIMARYLANGID of every Chinese LANGID

}  // namespace

// Whole-string comparison: "chs", "CHS " and "CHSX" are all English, so a
// hand-edited str.ini never picks a language by accident.
UiLanguage LanguageFromCode(const std::wstring& code) {
  if (code == L"CHS") return UiLanguage::SimplifiedChinese;
  if (code == L"CHT") return UiLanguage::TraditionalChinese;
  return UiLanguage::English;
}

// "SYS" is new: a version before it reads it as any unknown code, English.
LanguageChoice LanguageChoiceFromCode(const std::wstring& code) {
  if (code == L"SYS") return LanguageChoice::System;
  switch (LanguageFromCode(code)) {
    case UiLanguage::SimplifiedChinese: return LanguageChoice::SimplifiedChinese;
    case UiLanguage::TraditionalChinese: return LanguageChoice::TraditionalChinese;
    case UiLanguage::English: break;
  }
  return LanguageChoice::English;
}

std::wstring LanguageChoiceCode(LanguageChoice choice) {
  switch (choice) {
    case LanguageChoice::System: return L"SYS";
    case LanguageChoice::SimplifiedChinese: return L"CHS";
    case LanguageChoice::TraditionalChinese: return L"CHT";
    case LanguageChoice::English: break;
  }
  return L"EN";
}

std::wstring LanguageCode(UiLanguage language) {
  switch (language) {
    case UiLanguage::SimplifiedChinese: return L"CHS";
    case UiLanguage::TraditionalChinese: return L"CHT";
    case UiLanguage::English: break;
  }
  return L"EN";
}

// A LANGID is the primary language in the low 10 bits and the sublanguage
// above. Chinese sublanguages: 1 Taiwan, 2 PRC, 3 Hong Kong, 4 Singapore,
// 5 Macau; 0 is "zh-Hans" (0x0004), 0x1E "zh" (0x7804), both Simplified, and
// 0x1F "zh-Hant" (0x7C04).
UiLanguage LanguageFromLangId(uint16_t langId) {
  if ((langId & 0x3FF) != kLangChinese) return UiLanguage::English;
  switch (langId >> 10) {
    case 0x01:
    case 0x03:
    case 0x05:
    case 0x1F:
      return UiLanguage::TraditionalChinese;
    default:
      return UiLanguage::SimplifiedChinese;
  }
}

UiLanguage EffectiveLanguage(LanguageChoice choice, uint16_t systemLangId) {
  switch (choice) {
    case LanguageChoice::System: return LanguageFromLangId(systemLangId);
    case LanguageChoice::SimplifiedChinese: return UiLanguage::SimplifiedChinese;
    case LanguageChoice::TraditionalChinese: return UiLanguage::TraditionalChinese;
    case LanguageChoice::English: break;
  }
  return UiLanguage::English;
}

// A str.ini without "Lan" came from a version that had only English for it.
LanguageChoice StartLanguageChoice(bool strIniExists, const std::wstring& code) {
  return strIniExists ? LanguageChoiceFromCode(code) : LanguageChoice::System;
}

const wchar_t* SettingsSection(UiLanguage language) {
  switch (language) {
    case UiLanguage::SimplifiedChinese: return L"Setting-CHS";
    case UiLanguage::TraditionalChinese: return L"Setting-CHT";
    case UiLanguage::English: break;
  }
  return L"Setting-EN";
}

}  // namespace kovral
