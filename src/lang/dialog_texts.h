#pragma once
// Texts of the modal dialogs, per interface language. Each dialog copies its
// set once when it opens.
#include <span>

#include "lang/language.h"

namespace kovral {

// OK and Cancel of every dialog.
struct DialogFrameTexts {
  const wchar_t* ok;
  const wchar_t* cancel;
};
DialogFrameTexts DialogFrameTextsFor(UiLanguage language);

// The dialogs that share the skinned frame.
enum class DialogKind { Single, Windows, Media, FireKey, MacroKey, Combo, DelayTime, Skins, Profiles, Preferences };

// A dialog whose background image is missing shows kDialogImageFailedText
// under a title naming the dialog (English in every language).
inline constexpr const wchar_t* kDialogImageFailedText = L"error";
const wchar_t* DialogImageFailedTitle(DialogKind kind);

struct SingleKeyTexts {
  const wchar_t* prompt;
};
const SingleKeyTexts& SingleKeyTextsFor(UiLanguage language);

struct FireKeyTexts {
  const wchar_t* speedLabel;
  const wchar_t* timesLabel;
  const wchar_t* heading;
  const wchar_t* speedRule;
  const wchar_t* timesRule;
};
const FireKeyTexts& FireKeyTextsFor(UiLanguage language);

struct DelayTimeTexts {
  const wchar_t* prompt;
  const wchar_t* rangeHint;
};
const DelayTimeTexts& DelayTimeTextsFor(UiLanguage language);

struct MacroKeyTexts {
  const wchar_t* prompt;
  const wchar_t* modes[3];  // repeat modes 1..3
};
const MacroKeyTexts& MacroKeyTextsFor(UiLanguage language);

struct SkinsTexts {
  const wchar_t* colorHint;
};
const SkinsTexts& SkinsTextsFor(UiLanguage language);

// The Profiles dialog. "%s" is a profile's or a program's name; the
// library's own reasons (a name a file cannot take, a broken profile's line)
// stay English, like the profile's keys.
struct ProfilesTexts {
  const wchar_t* buttons[5];  // save, rename, add program, remove program, delete
  const wchar_t* active;      // after the name of the profile the mouse holds
  const wchar_t* noProfiles;  // the status line while the folder holds none
  const wchar_t* browse;      // the first entry of "Add program…"'s list
  const wchar_t* programFileType;
  const wchar_t* typeName;
  const wchar_t* chooseProfile;
  const wchar_t* chooseProgram;
  const wchar_t* saved;
  const wchar_t* renamed;
  const wchar_t* deleted;
  const wchar_t* added;
  const wchar_t* removed;
  const wchar_t* confirmDelete;
  const wchar_t* confirmReplace;  // Save under a name a profile has: its settings go, its programs stay
  const wchar_t* nameUnusable;    // the rules of a name, shown when the typed one breaks them
  const wchar_t* desktopName;     // the name stands for the Desktop settings
  const wchar_t* nameTaken;
  const wchar_t* programThere;
  const wchar_t* notDone;         // before what the files answered (a path and a system error code)
};
const ProfilesTexts& ProfilesTextsFor(UiLanguage language);

// The Preferences dialog. The languages are named in their own writing
// (kLanguageNames), whatever the interface language, so that a user who
// cannot read the current one still finds their own.
struct PreferencesTexts {
  const wchar_t* languageHeading;
  const wchar_t* systemDefault;    // the first entry of the language list
  const wchar_t* noticesHeading;
  const wchar_t* styles[3];        // on-screen display, balloons, off
  const wchar_t* positionHeading;
  const wchar_t* positions[6];     // in OsdPosition order
  const wchar_t* showMe;           // shows a sample notice where the chosen place is
  const wchar_t* startWithWindows;
  const wchar_t* startWithDesktop;  // the same box on the Linux desktop
  const wchar_t* switchAutomatically;
  const wchar_t* profileNotices;
};
const PreferencesTexts& PreferencesTextsFor(UiLanguage language);
inline constexpr const wchar_t* kLanguageNames[3] = {L"English", L"简体中文", L"繁體中文"};

// Entries of the media list (7) and of the Windows-function list (11), in
// list order; position n maps to MediaToUsage(n) / WindowsToUsage(n).
std::span<const wchar_t* const> MediaEntries(UiLanguage language);
std::span<const wchar_t* const> WindowsEntries(UiLanguage language);

}  // namespace kovral
