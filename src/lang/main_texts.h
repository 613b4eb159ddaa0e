#pragma once
// The main window's texts in the three interface languages. Every slot points
// at a static literal; a text that reads the same in every language is kept
// once and shared by the three tables.
#include <cstdint>
#include <span>

#include "lang/language.h"

namespace kovral {

// The maker's web page, shown as the main window's link and opened by it.
// The program ships with this neutral placeholder; it is the only place to
// change for a real release.
inline constexpr const wchar_t* kMakerWebAddress = L"https://www.kovral.example/";

struct MainTexts {
  // Page titles and window buttons.
  const wchar_t* basicTitle;
  const wchar_t* advancedTitle;
  const wchar_t* ok;
  const wchar_t* apply;
  const wchar_t* cancel;
  const wchar_t* keyDefault;       // "Default" of the basic page (restores the keys)
  const wchar_t* advancedDefault;  // "Default" of the advanced page (pointer settings)

  // The button drop-down, indexed by FunctionIndex.
  const wchar_t* functionList[16];
  const wchar_t* leftKeyRequired;  // caption "Warning"

  // Basic page headings and the lighting section.
  const wchar_t* keySetting;
  const wchar_t* reportRateSetting;
  const wchar_t* dpiSetting;
  const wchar_t* dpiEffect;
  const wchar_t* lightModeLabel;
  const wchar_t* lightParameterLabel;
  const wchar_t* lightEffectLabel;
  const wchar_t* lightModeNames[4];    // by lightMode 0..3 (0 = off)
  const wchar_t* lightEffectNames[4];  // by effect value 0..3

  // Notification-area balloons and menu.
  const wchar_t* reportRateNotices[4];  // report interval 1, 2, 4, 8 ms
  const wchar_t* dpiStageNotices[4];    // stage 1..4; the stage's DPI label follows
  const wchar_t* keyMatrixNotices[2];   // key matrix 1, 2
  const wchar_t* macroKeyNotice;        // the macro number follows
  const wchar_t* mouseMissingNotice;
  const wchar_t* mouseFoundNotice;
  const wchar_t* trayExit;
  const wchar_t* trayStartWithWindows;  // checked while the Run key starts this program
  const wchar_t* trayStartWithDesktop;  // the same item where the desktop's autostart entry does
  // The profile items; without their trailing dots they title the file dialogs.
  const wchar_t* trayExportProfile;
  const wchar_t* trayImportProfile;
  const wchar_t* trayPreferences;  // opens the Preferences dialog
  // The tray's "Profiles" submenu: the Desktop settings, each profile, the
  // two switches kept in str.ini and the Profiles dialog.
  const wchar_t* trayProfiles;
  const wchar_t* trayDesktop;
  const wchar_t* traySwitchAutomatically;
  const wchar_t* trayShowSwitchNotices;
  const wchar_t* trayManageProfiles;
  // The balloon after a switch: "%s" is the profile's name.
  const wchar_t* profileSwitchNotice;
  const wchar_t* desktopSwitchNotice;
  const wchar_t* profileFileType;  // the file dialogs' name for *.kvprofile
  const wchar_t* allFilesType;     // and for *.*

  // Advanced page.
  const wchar_t* mouseSpeed;
  const wchar_t* scrollingSpeed;
  const wchar_t* doubleClickSpeed;
  const wchar_t* enhancePrecision;
  const wchar_t* scrollOneScreen;

  // Macro panel; startRecording and stopRecording are also the messages
  // shown when recording starts and stops.
  const wchar_t* macroSetting;
  const wchar_t* selectMacro;
  const wchar_t* keyPressSequence;
  const wchar_t* recordOption;
  const wchar_t* macroName;
  const wchar_t* loopTimes;
  const wchar_t* insertMouseEvent;
  const wchar_t* startRecording;
  const wchar_t* stopRecording;
  const wchar_t* newMacro;
  const wchar_t* deleteMacro;
  const wchar_t* confirmMacro;
  const wchar_t* macroNameBlank;
  const wchar_t* macroNameExists;
  const wchar_t* macroNameInvalid;  // a name a section of record.ini cannot hold
  const wchar_t* macroTooLong;      // "%d": the events the slot keeps; caption "Warning"
  const wchar_t* skinIncomplete;    // a skin without all its pictures; caption "Warning"
  const wchar_t* recordingHint;  // the window's text while recording
  const wchar_t* notRecording;   // caption "Warning"

  // A settings save that could not write its file; "%s" is the file's path,
  // caption "Warning" (fill with FormatText, lang/text_format.h).
  const wchar_t* settingsSaveFailed;
  // The Run key refused to change; caption "Warning".
  const wchar_t* startWithWindowsFailed;
  const wchar_t* startWithDesktopFailed;  // the autostart entry could not be written or removed
  // Profiles: "%s" is the file's path, or for a refused profile what is wrong
  // and on which line (in English, as the profile's keys are); caption
  // "Warning". profileImported follows a good import.
  const wchar_t* profileWriteFailed;
  const wchar_t* profileReadFailed;
  const wchar_t* profileRefused;
  const wchar_t* profileImported;
  // The advanced page where the desktop keeps no wheel setting (Linux).
  const wchar_t* noWheelSetting;

  // The same in every language.
  const wchar_t* webLink;       // kMakerWebAddress
  const wchar_t* trayTip;       // "Gaming Mouse Setting"
  const wchar_t* modeNames[2];  // "Mode A", "Mode B"
  const wchar_t* dpiActions[3]; // the DPI sub-list: "DPI +", "DPI -", "DPI Loop"
  const wchar_t* colorLabel;    // "Color"
  const wchar_t* selectLabel;   // "Select"
  const wchar_t* reportRateLabels[4];  // under the segments: 125, 250, 500, 1000 Hz
};

const MainTexts& MainTextsFor(UiLanguage language);
// The start-up item and its failure, as the system calls the setting.
const wchar_t* StartWithText(const MainTexts& texts, StartupPlace place);
const wchar_t* StartWithFailedText(const MainTexts& texts, StartupPlace place);

// Lighting value texts; a value outside its list gives an empty text.
const wchar_t* LightModeText(const MainTexts& texts, uint8_t lightMode);
const wchar_t* LightEffectText(const MainTexts& texts, uint8_t effect);
const wchar_t* BrightnessText(uint8_t lightBrightness);      // "5%" .. "100%"
const wchar_t* RespirationPeriodText(uint8_t period);        // "8S" .. "4S"
const wchar_t* NeonPeriodText(uint8_t period);               // "0.5S" .. "15S"
std::span<const wchar_t* const> BrightnessTexts();           // 10 entries
std::span<const wchar_t* const> RespirationPeriodTexts();    // 5 entries
std::span<const wchar_t* const> NeonPeriodTexts();           // 30 entries

// The macro panel's mouse-event choices, the same in every language.
std::span<const wchar_t* const> MouseEventChoices();  // 9 entries

}  // namespace kovral
