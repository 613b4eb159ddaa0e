#pragma once
// The interface language: chosen once at start from the "Lan" code of str.ini.
#include <string>

namespace kovral {

enum class UiLanguage { English, SimplifiedChinese, TraditionalChinese };

// "CHS" and "CHT" select Chinese when the whole code matches exactly, letter
// case included; any other code, an empty one too, means English.
UiLanguage LanguageFromCode(const std::wstring& code);

// The str.ini section that keeps the button texts of that language.
const wchar_t* SettingsSection(UiLanguage language);

// Message-box and balloon captions, the same in every language.
inline constexpr const wchar_t* kCaptionWarning = L"Warning";
inline constexpr const wchar_t* kCaptionInfo = L"Info";

}  // namespace kovral
