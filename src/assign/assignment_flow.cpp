#include "assign/assignment_flow.h"

#include "assign/key_tables.h"
#include "settings/defaults.h"
#include "settings/settings_session.h"

namespace kovral {
namespace {

int OtherMode(int mode) { return mode == 0 ? 1 : 0; }

// Every array of the table holds one byte per button.
constexpr int kTableArrays = static_cast<int>(sizeof(AssignmentTable)) / kButtonCount;

void CopyButton(DeviceConfig& config, UiSettings& ui, int from, int to, int button) {
  auto* source = reinterpret_cast<const uint8_t*>(&LayerTable(config, from));
  auto* target = reinterpret_cast<uint8_t*>(&LayerTable(config, to));
  for (int array = 0; array < kTableArrays; ++array)
    target[array * kButtonCount + button] = source[array * kButtonCount + button];
  LayerDpiAction(config, to)[button] = LayerDpiAction(config, from)[button];
  ButtonText(ui, to, button) = ButtonText(ui, from, button);
}

}  // namespace

std::wstring& ButtonText(UiSettings& ui, int mode, int button) { return ui.buttonText[mode * kButtonCount + button]; }
const std::wstring& ButtonText(const UiSettings& ui, int mode, int button) {
  return ui.buttonText[mode * kButtonCount + button];
}

bool LeftKeyRuleRefuses(const DeviceConfig& config, int mode, int button) {
  const AssignmentTable& table = LayerTable(config, mode);
  if (table.functionIndex[button] != kFunctionLeftClick) return false;
  for (int other = 0; other < kButtonCount; ++other) {
    if (other != button && table.functionIndex[other] == kFunctionLeftClick) return false;
  }
  return true;
}

void StoreAssignment(DeviceConfig& config, UiSettings& ui, int button, int function, std::wstring text,
                     const std::function<void(AssignmentTable&)>& parameters) {
  const int mode = config.editedMode == 1 ? 1 : 0;
  AssignmentTable& table = LayerTable(config, mode);
  const bool wasShift = table.functionIndex[button] == kFunctionShift;
  if (parameters) parameters(table);
  table.functionIndex[button] = static_cast<uint8_t>(function);
  ButtonText(ui, mode, button) = std::move(text);
  if (wasShift) CopyButton(config, ui, mode, OtherMode(mode), button);
}

AssignResult AssignFunction(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button,
                            int function) {
  if (function < 0 || function >= kFunctionCount || function == kFunctionDpiSwitch) return AssignResult::KeepOpen;
  if (NeedsDialog(function)) return AssignResult::DialogNeeded;
  const int mode = config.editedMode == 1 ? 1 : 0;
  if (function == kFunctionShift) {
    for (int other = 0; other < kButtonCount; ++other) {
      if (LayerTable(config, mode).functionIndex[other] == kFunctionShift) return AssignResult::Unchanged;
    }
    for (int m = 0; m < 2; ++m) {
      LayerTable(config, m).functionIndex[button] = kFunctionShift;
      ButtonText(ui, m, button) = texts.functionList[kFunctionShift];
    }
    return AssignResult::Stored;
  }
  StoreAssignment(config, ui, button, function, texts.functionList[function]);
  return AssignResult::Stored;
}

void AssignDpi(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int action) {
  if (action < 1 || action > 3) return;
  const int mode = config.editedMode == 1 ? 1 : 0;
  StoreAssignment(config, ui, button, kFunctionDpiSwitch, texts.dpiActions[action - 1],
                  [&](AssignmentTable&) { LayerDpiAction(config, mode)[button] = static_cast<uint8_t>(action); });
}

namespace {
constexpr int kFunctionMedia = 9;
constexpr int kFunctionFire = 10;
constexpr int kFunctionSingle = 11;
constexpr int kFunctionCombo = 12;
uint8_t Byte(int value) { return static_cast<uint8_t>(value); }
}  // namespace

void StoreWindowsChoice(DeviceConfig& config, UiSettings& ui, int button, int position, const std::wstring& text) {
  StoreAssignment(config, ui, button, kFunctionWindows, text, [&](AssignmentTable& t) {
    t.windowsIndex[button] = Byte(position);
    t.windowsUsageLow[button] = WindowsToUsage(Byte(position));
    t.windowsUsageHigh[button] = WindowsUsageHigh(Byte(position));
  });
}

void StoreMediaChoice(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int position,
                      const std::wstring& text) {
  StoreAssignment(config, ui, button, kFunctionMedia, PrefixedText(texts.functionList[kFunctionMedia], text),
                  [&](AssignmentTable& t) {
                    t.mediaIndex[button] = Byte(position);
                    t.mediaUsage[button] = MediaToUsage(Byte(position));
                  });
}

void StoreFireKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int position,
                  const std::wstring& text, int speed, int times) {
  StoreAssignment(config, ui, button, kFunctionFire, PrefixedText(texts.functionList[kFunctionFire], text),
                  [&](AssignmentTable& t) {
                    t.fireKeyIndex[button] = Byte(position);
                    t.fireKeyCode[button] = FireKeyToCode(Byte(position));
                    t.fireSpeed[button] = Byte(speed);
                    t.fireTimes[button] = Byte(times);
                  });
}

void StoreSingleKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button,
                    const std::wstring& keyName) {
  StoreAssignment(config, ui, button, kFunctionSingle, PrefixedText(texts.functionList[kFunctionSingle], keyName),
                  [&](AssignmentTable& t) { t.singleKeyCode[button] = KeyNameToUsage(keyName); });
}

void StoreComboKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button,
                   const std::wstring& modifier, const std::wstring& key1, const std::wstring& key2) {
  StoreAssignment(config, ui, button, kFunctionCombo,
                  PrefixedText(texts.functionList[kFunctionCombo], ComboText(modifier, key1, key2)),
                  [&](AssignmentTable& t) {
                    t.comboModifiers[button] = ModifierNameToBit(modifier);
                    t.comboKey1[button] = KeyNameToUsage(key1);
                    t.comboKey2[button] = KeyNameToUsage(key2);
                  });
}

void StoreMacroKey(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, int button, int position,
                   const std::wstring& name, int mode) {
  StoreAssignment(config, ui, button, kFunctionMacro, PrefixedText(texts.functionList[kFunctionMacro], name),
                  [&](AssignmentTable& t) {
                    t.macroIndex[button] = Byte(position);
                    t.macroMode[button] = Byte(mode - 1);
                  });
}

void SelectMode(DeviceConfig& config, int mode) { config.editedMode = static_cast<uint8_t>(mode == 1 ? 1 : 0); }

void RestoreDefaultAssignment(DeviceConfig& config, UiSettings& ui, const MainTexts& texts) {
  RestoreDefaultAssignment(config);
  SetFirstRunButtonTexts(ui, texts);
}

std::wstring PrefixedText(const wchar_t* prefix, const std::wstring& detail) { return prefix + (L"-" + detail); }

std::wstring ComboText(const std::wstring& modifier, const std::wstring& key1, const std::wstring& key2) {
  std::wstring text;
  auto add = [&](const std::wstring& part) {
    if (!text.empty()) text += L"+";
    text += part;
  };
  if (ModifierNameToBit(modifier) != 0) add(modifier);
  if (KeyNameToUsage(key1) != 0) add(key1);
  if (KeyNameToUsage(key2) != 0) add(key2);
  return text;
}

}  // namespace kovral
