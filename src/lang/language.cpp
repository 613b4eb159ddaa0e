#include "lang/language.h"

namespace kovral {

// Whole-string comparison: "chs", "CHS " and "CHSX" are all English, so a
// hand-edited str.ini never picks a language by accident.
UiLanguage LanguageFromCode(const std::wstring& code) {
  if (code == L"CHS") return UiLanguage::SimplifiedChinese;
  if (code == L"CHT") return UiLanguage::TraditionalChinese;
  return UiLanguage::English;
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
