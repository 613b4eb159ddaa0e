#include "profiles/config_report.h"

#include <cwchar>

#include "assign/key_function.h"
#include "assign/key_tables.h"
#include "lang/dialog_texts.h"
#include "lang/dpi_labels.h"
#include "lang/main_texts.h"
#include "macro/macro_slot.h"

namespace kovral {
namespace {

const MainTexts& English() { return MainTextsFor(UiLanguage::English); }

std::wstring Hex(unsigned value, int digits) {
  wchar_t buf[16];
  std::swprintf(buf, 16, L"0x%0*X", digits, value);
  return buf;
}

std::wstring NameOr(const wchar_t* name, uint8_t code) {
  return name ? std::wstring(name) : L"unknown " + Hex(code, 2);
}

std::wstring KeyName(uint8_t usage) {
  if (usage == 0) return L"none";
  return NameOr(KeyUsageName(usage), usage);
}

std::wstring ComboText(uint8_t modifiers, uint8_t key1, uint8_t key2) {
  std::wstring out;
  for (int bit = 0; bit < 8; ++bit) {
    if (!(modifiers & (1u << bit))) continue;
    if (!out.empty()) out += L" + ";
    out += ModifierBitName(static_cast<uint8_t>(1u << bit));
  }
  for (uint8_t key : {key1, key2}) {
    if (key == 0) continue;
    if (!out.empty()) out += L" + ";
    out += KeyName(key);
  }
  return out.empty() ? L"nothing" : out;
}

const wchar_t* MacroModeText(uint8_t mode) {
  switch (mode) {
    case 0: return L"repeat its count or until any key";
    case 1: return L"repeat until any key";
    case 2: return L"repeat while held";
    default: return L"unknown repeat mode";
  }
}

std::wstring DescribeFunction(const AssignmentTable& t, const uint8_t* dpiAction, int b) {
  const uint8_t index = t.functionIndex[b];
  const auto& texts = English();
  std::wstring name = index < kFunctionCount ? texts.functionList[index] : L"";
  switch (static_cast<FunctionIndex>(index)) {
    case FunctionIndex::DpiSwitch: {
      const uint8_t action = dpiAction[b];
      return name + L": " + (action >= 1 && action <= 3 ? std::wstring(texts.dpiActions[action - 1])
                                                         : L"no action " + std::to_wstring(action));
    }
    case FunctionIndex::Windows: {
      const int pos = WindowsPositionOfUsage(t.windowsUsageLow[b], t.windowsUsageHigh[b]);
      const unsigned usage = (t.windowsUsageHigh[b] << 8) | t.windowsUsageLow[b];
      return name + L": " +
             (pos >= 0 ? std::wstring(WindowsEntries(UiLanguage::English)[pos]) : std::wstring(L"unknown")) +
             L" (usage " + Hex(usage, 4) + L")";
    }
    case FunctionIndex::Multimedia: {
      const int pos = MediaPositionOfUsage(t.mediaUsage[b]);
      return name + L": " +
             (pos >= 0 ? std::wstring(MediaEntries(UiLanguage::English)[pos]) : std::wstring(L"unknown")) +
             L" (usage " + Hex(t.mediaUsage[b], 2) + L")";
    }
    case FunctionIndex::FireKey: {
      const uint8_t times = t.fireTimes[b];
      return name + L": " + NameOr(FireKeyCodeName(t.fireKeyCode[b]), t.fireKeyCode[b]) + L", speed " +
             std::to_wstring(t.fireSpeed[b]) + L", times " + std::to_wstring(times) +
             (times == 0 ? L" (until released)" : L"");
    }
    case FunctionIndex::SingleKey:
      return name + L": " + KeyName(t.singleKeyCode[b]);
    case FunctionIndex::ComboKey:
      return name + L": " + ComboText(t.comboModifiers[b], t.comboKey1[b], t.comboKey2[b]);
    case FunctionIndex::MacroKey:
      return name + L": macro " + std::to_wstring(t.macroIndex[b] + 1) + L", " + MacroModeText(t.macroMode[b]);
    default:
      break;
  }
  if (index >= kFunctionCount) return L"invalid function " + std::to_wstring(index) + L" (sent as Key Off)";
  return name;
}

std::wstring ReportRateText(uint8_t interval) {
  switch (interval) {
    case 1: return L"1000 Hz";
    case 2: return L"500 Hz";
    case 4: return L"250 Hz";
    case 8: return L"125 Hz";
    default: return L"unknown (code " + std::to_wstring(interval) + L")";
  }
}

std::wstring Or(const wchar_t* text, const wchar_t* fallback) {
  return (text && *text) ? std::wstring(text) : std::wstring(fallback);
}

std::wstring LightingText(const DeviceConfig& c) {
  const auto& texts = English();
  std::wstring out = L"Lighting: " + Or(LightModeText(texts, c.lightMode), L"unknown mode");
  switch (c.lightMode) {
    case 1:
      out += L", brightness " + Or(BrightnessText(c.lightBrightness), L"?");
      out += L", effect " + Or(LightEffectText(texts, c.standardEffect), L"?");
      break;
    case 2:
      out += L", period " + Or(RespirationPeriodText(c.respirationPeriod), L"?");
      out += L", effect " + Or(LightEffectText(texts, c.respirationEffect), L"?");
      break;
    case 3:
      out += L", period " + Or(NeonPeriodText(c.neonPeriod), L"?");
      out += L", effect " + Or(LightEffectText(texts, c.neonEffect), L"?");
      break;
    default:
      break;
  }
  return out + L"\n";
}

// A switch stored as a byte other than 0 or 1 is shown as the program takes
// it (the edited layer and precision count only 1 as set, a stage or the
// one-screen box any byte but 0), with the byte the file holds.
std::wstring Stored(uint8_t value) { return value > 1 ? L" (stored " + std::to_wstring(value) + L")" : L""; }

std::wstring MacroText(const uint8_t (&slot)[kMacroSlotSize]) {
  const DecodedMacroSlot d = DecodeMacroSlot(slot);
  std::wstring out = L"loop " + std::to_wstring(d.loopCount) + L":";
  for (const MacroEvent& e : d.events) {
    out += L" " + KeyName(e.code) + (e.up ? L" Up" : L" Dn");
    if (e.delayMs) out += L" " + std::to_wstring(e.delayMs) + L" ms";
    out += L",";
  }
  if (!d.events.empty()) out.pop_back();
  return out;
}

}  // namespace

std::wstring DescribeButton(const DeviceConfig& config, int mode, int button) {
  const AssignmentTable& t = LayerTable(config, mode);
  const uint8_t* dpiAction = LayerDpiAction(config, mode);
  return DescribeFunction(t, dpiAction, button) + L" [" +
         Hex(KeyFunctionFor(t, dpiAction, button).WordLE(), 8) + L"]";
}

std::wstring DescribeConfig(const DeviceConfig& c, uint8_t firstRunFlag, uint8_t sensorType,
                            const std::vector<std::wstring>& macroNames) {
  std::wstring out;
  out += L"Saved by the program: " + std::wstring(firstRunFlag ? L"yes" : L"no (factory file)") + L"\n";
  out += L"Edited layer: " + std::wstring(c.editedMode == 1 ? L"Mode B" : L"Mode A") + Stored(c.editedMode) + L"\n";
  for (int mode = 0; mode < 2; ++mode) {
    out += mode == 0 ? L"Mode A\n" : L"Mode B\n";
    for (int b = 0; b < kButtonCount; ++b)
      out += L"  Button " + std::to_wstring(b + 1) + L": " + DescribeButton(c, mode, b) + L"\n";
  }
  out += L"DPI stages (labels of sensor type " + std::to_wstring(sensorType) + L")\n";
  for (int s = 0; s < kDpiStageCount; ++s) {
    wchar_t colour[16];
    std::swprintf(colour, 16, L"#%02X%02X%02X", c.dpiColor[3 * s], c.dpiColor[3 * s + 1], c.dpiColor[3 * s + 2]);
    std::wstring label = DpiLevelLabel(sensorType, c.dpiLevel[s]);
    out += L"  Stage " + std::to_wstring(s + 1) + L": level " + std::to_wstring(c.dpiLevel[s]) +
           (label.empty() ? L" (beyond the list)" : L" (" + label + L")") + L", " +
           (c.dpiEnabled[s] ? L"on" : L"off") + Stored(c.dpiEnabled[s]) + L", colour " + colour + L"\n";
  }
  out += L"Report rate: " + ReportRateText(c.reportRate) + L"\n";
  out += LightingText(c);
  out += L"Pointer: speed " + std::to_wstring(c.pointerSpeed) + L", precision " +
         (c.enhancePrecision == 1 ? L"on" : L"off") + Stored(c.enhancePrecision) + L", scroll " +
         (c.scrollOneScreen ? L"one screen" + Stored(c.scrollOneScreen) : std::to_wstring(c.scrollLines) + L" lines") +
         L", double-click step " + std::to_wstring(c.doubleClickSpeed) + L"\n";
  out += L"Macro slots\n";
  bool any = false;
  for (int s = 0; s < kMacroSlotCount; ++s) {
    if (MacroSlotIsEmpty(c.macroSlots[s])) continue;
    any = true;
    out += L"  Slot " + std::to_wstring(s + 1);
    if (s < static_cast<int>(macroNames.size())) out += L" \"" + macroNames[s] + L"\"";
    out += L": " + MacroText(c.macroSlots[s]) + L"\n";
  }
  if (!any) out += L"  (all empty)\n";
  return out;
}

}  // namespace kovral
