#pragma once
// What a choice in a button's drop-down does to the record and the row texts:
// the left-button rule, storing a function (with the Shift rules), the DPI
// sub-list, the mode tabs, the factory assignment and the texts rows show.
#include <cstdint>
#include <functional>
#include <string>

#include "assign/key_function.h"
#include "lang/main_texts.h"
#include "settings/device_config.h"
#include "settings/ui_settings.h"

namespace kovral {

// Positions in the drop-down of sixteen functions.
inline constexpr int kFunctionLeftClick = 0;
inline constexpr int kFunctionTripleClick = 5;
inline constexpr int kFunctionDpiSwitch = 6;
inline constexpr int kFunctionRgb = 7;
inline constexpr int kFunctionWindows = 8;
inline constexpr int kFunctionMacro = 13;
inline constexpr int kFunctionShift = 14;
inline constexpr int kFunctionKeyOff = 15;

// Windows, Multimedia, Fire Key, Single Key, Combo Key and Macro Key collect
// their details in a dialog first.
constexpr bool NeedsDialog(int function) { return function >= kFunctionWindows && function <= kFunctionMacro; }

// The text of button b (0-based) of a mode in the texts of both modes.
std::wstring& ButtonText(UiSettings& ui, int mode, int button);
const std::wstring& ButtonText(const UiSettings& ui, int mode, int button);

// A row may not open while its button is the mode's only "Left Click":
// taking it away would leave the mouse without a left button.
bool LeftKeyRuleRefuses(const DeviceConfig& config, int mode, int button);

enum class AssignResult {
  Stored,         // the record and the row's text changed
  Unchanged,      // a second Shift in the mode, refused silently
  KeepOpen,       // nothing chosen yet, or "DPI Switch" (chosen through its sub-list)
  DialogNeeded,   // positions 8..13: the caller runs the dialog, then StoreAssignment
};

// A choice of `function` in button b's drop-down in the edited mode, for the
// functions that need no dialog.
AssignResult AssignFunction(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button,
                            int function);

// Stores a function with its text in the edited mode; `parameters` writes the
// dialog's result into the edited mode's table. When the button was the
// Shift button, the other mode then gets the button's whole new assignment
// (every array of its column, its DPI action and its text): Shift lives in
// both modes, and the other mode would otherwise keep a Shift the edited
// mode no longer has.
void StoreAssignment(DeviceConfig& config, UiSettings& ui, int button, int function, std::wstring text,
                     const std::function<void(AssignmentTable&)>& parameters = {});

// "DPI +", "DPI -", "DPI Loop" (action 1..3) from the DPI sub-list.
void AssignDpi(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int action);

// What the dialogs' OK stores for button b of the edited mode, with the row's
// text; the codes come from the lookup tables.
void StoreWindowsChoice(DeviceConfig& config, UiSettings& ui, int button, int position, const std::wstring& text);
void StoreMediaChoice(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int position,
                      const std::wstring& text);
void StoreFireKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int position,
                  const std::wstring& text, int speed, int times);
void StoreSingleKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button,
                    const std::wstring& keyName);
void StoreComboKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button,
                   const std::wstring& modifier, const std::wstring& key1, const std::wstring& key2);

// `mode` is the repeat mode 1..3; the record keeps it less one.
void StoreMacroKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int position,
                   const std::wstring& name, int mode);

void SelectMode(DeviceConfig& config, int mode);

// The factory functions of both modes with their texts in the current
// language; parameter bytes and the edited mode stay.
void RestoreDefaultAssignment(DeviceConfig& config, UiSettings& ui, const MainTexts& texts);

// "prefix-detail", as the rows of dialog functions show them.
std::wstring PrefixedText(const wchar_t* prefix, const std::wstring& detail);
// The combo text: the modifier (when it names one), then the two keys (each
// when it names a key), joined by "+".
std::wstring ComboText(const std::wstring& modifier, const std::wstring& key1, const std::wstring& key2);

}  // namespace kovral
