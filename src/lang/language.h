#pragma once
// The interface language: the choice kept as the "Lan" code of str.ini, and
// the language it gives on this system.
#include <cstdint>
#include <string>

namespace kovral {

enum class UiLanguage { English, SimplifiedChinese, TraditionalChinese };

// Where the program starts by itself: at sign-in to Windows (the Run key) or
// with the Linux desktop session (an autostart entry). The setting is the
// same; its name follows the system.
enum class StartupPlace { Windows, Desktop };

// What the user chose; System follows Windows' display language.
enum class LanguageChoice { System, English, SimplifiedChinese, TraditionalChinese };
inline constexpr int kLanguageChoiceCount = 4;

// "CHS" and "CHT" select Chinese when the whole code matches exactly, letter
// case included; any other code, an empty one too, means English.
UiLanguage LanguageFromCode(const std::wstring& code);

// As LanguageFromCode, and "SYS" (exactly) is the system's language.
LanguageChoice LanguageChoiceFromCode(const std::wstring& code);
// The code str.ini keeps: "SYS", "EN", "CHS", "CHT".
std::wstring LanguageChoiceCode(LanguageChoice choice);
// The code the language itself goes by (fonts, dialogs): "EN", "CHS", "CHT".
std::wstring LanguageCode(UiLanguage language);

// Windows' display language (a LANGID) as an interface language: Chinese of
// the mainland and Singapore is Simplified, of Taiwan, Hong Kong and Macau
// Traditional; any other language English.
UiLanguage LanguageFromLangId(uint16_t langId);
UiLanguage EffectiveLanguage(LanguageChoice choice, uint16_t systemLangId);

// The choice the program starts with: a new installation (no str.ini yet)
// follows the system; a str.ini of any version keeps what it says.
LanguageChoice StartLanguageChoice(bool strIniExists, const std::wstring& code);

// The section of str.ini that keeps the button texts of that language.
const wchar_t* SettingsSection(UiLanguage language);

// Message-box and balloon captions, the same in every language.
inline constexpr const wchar_t* kCaptionWarning = L"Warning";
inline constexpr const wchar_t* kCaptionInfo = L"Info";

}  // namespace kovral
