#include "macro/macro_store.h"

#include <algorithm>
#include <cstring>

#include "assign/assignment_flow.h"
#include "assign/key_tables.h"
#include "lang/text_format.h"

namespace kovral {
namespace {

constexpr wchar_t kDownSuffix[] = L"   Dn";
constexpr wchar_t kUpSuffix[] = L"   Up";
constexpr int kFunctionMacroKey = 13;

std::wstring ItemKey(size_t i) { return L"Item" + std::to_wstring(i); }

bool EndsWith(const std::wstring& text, const wchar_t* suffix) {
  const size_t n = std::wcslen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

}  // namespace

// The store decides which section a name writes to, so its rule decides which
// listed macro a name is: "Fire " and "FIRE" are both the macro "Fire".
int MacroPosition(const std::vector<std::wstring>& names, const std::wstring& name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (SameIniName(names[i], name)) return static_cast<int>(i);
  return -1;
}

bool IsDelayEntry(const std::wstring& entry) { return entry.find(L"ms") != std::wstring::npos; }

MacroEntryParts ParseMacroEntry(const std::wstring& entry) {
  if (EndsWith(entry, kDownSuffix)) return {MacroEntryKind::Down, entry.substr(0, entry.size() - 5)};
  if (EndsWith(entry, kUpSuffix)) return {MacroEntryKind::Up, entry.substr(0, entry.size() - 5)};
  if (IsDelayEntry(entry)) return {MacroEntryKind::Delay, L""};
  return {};
}

std::wstring DownEntry(const std::wstring& name) { return name + kDownSuffix; }
std::wstring UpEntry(const std::wstring& name) { return name + kUpSuffix; }

// Saturating, like the encoder after it: a delay too long to hold is the
// longest one, never a short one.
uint32_t DelayOfEntry(const std::wstring& entry) {
  uint64_t value = 0;
  size_t i = 0;
  for (; i < entry.size() && entry[i] >= L'0' && entry[i] <= L'9'; ++i)
    value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(entry[i] - L'0'), 0xFFFFFFFFu);
  if (i == 0 || entry.compare(i, std::wstring::npos, L" ms") != 0) return 0;
  return static_cast<uint32_t>(value);
}

std::vector<std::wstring> MacroNames(IniStore& ini, const std::wstring& recordIni) {
  std::vector<std::wstring> names = ini.SectionNames(recordIni);
  if (names.size() > static_cast<size_t>(kMacroLimit)) names.resize(kMacroLimit);
  return names;
}

std::vector<std::wstring> ReadMacroEntries(IniStore& ini, const std::wstring& recordIni, const std::wstring& name) {
  // A damaged or hand-edited count would otherwise read a million keys. A
  // slot holds at most 63 events, so a sequence that could still reach the
  // mouse has a small fraction of this limit.
  const int count = std::min(DecimalValue(ini.Get(recordIni, name, L"ItemCount")), kMacroEntryLimit);
  std::vector<std::wstring> keys;
  for (int i = 0; i < count; ++i) keys.push_back(ItemKey(static_cast<size_t>(i)));
  return ini.GetKeys(recordIni, name, keys);
}

SlotEncoding EncodeMacroSlot(const std::vector<std::wstring>& entries, uint8_t (&slot)[kMacroSlotSize]) {
  std::memset(slot + 2, 0, kMacroSlotSize - 2);
  SlotEncoding result;
  size_t at = 2;
  bool full = false;
  for (size_t j = 0; j < entries.size(); ++j) {
    const MacroEntryParts parts = ParseMacroEntry(entries[j]);
    if (parts.kind != MacroEntryKind::Down && parts.kind != MacroEntryKind::Up) continue;
    ++result.eventsTotal;
    if (full) continue;
    const uint32_t delay = std::min(j + 1 < entries.size() ? DelayOfEntry(entries[j + 1]) : 0, kSlotDelayLimitMs);
    const uint8_t flag = parts.kind == MacroEntryKind::Up ? 0x80 : 0x00;
    const uint8_t code = KeyNameToUsage(parts.name);
    const bool shortForm = delay <= 1270;
    const size_t size = shortForm ? 2 : 4;
    if (at + size > kMacroSlotSize) {
      full = true;
      continue;
    }
    if (shortForm) {
      slot[at] = static_cast<uint8_t>(flag | ((delay / 10) & 0x7F));
      slot[at + 1] = code;
    } else {
      slot[at] = static_cast<uint8_t>(flag | ((delay % 100) & 0x7F));
      slot[at + 1] = code;
      slot[at + 2] = static_cast<uint8_t>(delay / 100);
      slot[at + 3] = 0x03;
    }
    at += size;
    ++result.eventsWritten;
  }
  return result;
}

uint16_t SlotLoopCount(const DeviceConfig& config, int slot) {
  return static_cast<uint16_t>(config.macroSlots[slot][0] << 8 | config.macroSlots[slot][1]);
}

void SetSlotLoopCount(DeviceConfig& config, int slot, uint16_t count) {
  config.macroSlots[slot][0] = static_cast<uint8_t>(count >> 8);
  config.macroSlots[slot][1] = static_cast<uint8_t>(count);
}

std::vector<SlotEncoding> EncodeAllSlots(IniStore& ini, const std::wstring& recordIni, DeviceConfig& config) {
  std::vector<SlotEncoding> encodings;
  const std::vector<std::wstring> names = MacroNames(ini, recordIni);
  for (size_t slot = 0; slot < names.size(); ++slot) {
    const std::vector<std::wstring> entries = ReadMacroEntries(ini, recordIni, names[slot]);
    if (entries.empty()) {
      std::memset(config.macroSlots[slot], 0, kMacroSlotSize);
      encodings.push_back({});
      continue;
    }
    encodings.push_back(EncodeMacroSlot(entries, config.macroSlots[slot]));
    if (SlotLoopCount(config, static_cast<int>(slot)) == 0) SetSlotLoopCount(config, static_cast<int>(slot), 1);
  }
  return encodings;
}

MacroNameCheck CheckNewMacroName(const std::vector<std::wstring>& listed, const std::wstring& name) {
  if (name.empty()) return MacroNameCheck::Blank;
  // Only white space (as the store trims it) would be a section without a name.
  const bool unusable = name.find_first_of(L"[]\r\n") != std::wstring::npos;
  if (IsBlankIniName(name) || unusable || name.size() > kMacroNameLimit) return MacroNameCheck::Invalid;
  if (listed.empty()) return MacroNameCheck::Ok;
  if (listed.size() >= static_cast<size_t>(kMacroLimit)) return MacroNameCheck::Full;
  if (MacroPosition(listed, name) >= 0) return MacroNameCheck::Exists;
  return MacroNameCheck::Ok;
}

namespace {

int StoredItemCount(IniStore& ini, const std::wstring& recordIni, const std::wstring& name) {
  return std::clamp(DecimalValue(ini.Get(recordIni, name, L"ItemCount")), 0, kMacroEntryLimit);
}

void AddMacroSection(IniBatch& batch, const std::wstring& name, const std::vector<std::wstring>& entries) {
  batch.Write(name, L"ItemCount", std::to_wstring(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) batch.Write(name, ItemKey(i), entries[i]);
}

}  // namespace

ConfirmResult ConfirmMacro(IniStore& ini, const std::wstring& recordIni, const std::wstring& name,
                           const std::vector<std::wstring>& entries, DeviceConfig& config, uint16_t firstLoopCount) {
  // The old entries' count (0 for a new macro), to remove the keys the new
  // sequence no longer has.
  const size_t oldCount = static_cast<size_t>(StoredItemCount(ini, recordIni, name));
  // Only what reading the macro gives back is stored; the events past it
  // count as cut, as those the slot has no room for.
  const std::vector<std::wstring> kept(entries.begin(),
                                       entries.begin() + std::min(entries.size(), size_t{kMacroEntryLimit}));
  int eventsPastLimit = 0;
  for (size_t i = kept.size(); i < entries.size(); ++i) {
    const MacroEntryKind kind = ParseMacroEntry(entries[i]).kind;
    if (kind == MacroEntryKind::Down || kind == MacroEntryKind::Up) ++eventsPastLimit;
  }
  IniBatch batch;
  AddMacroSection(batch, name, kept);
  for (size_t i = kept.size(); i < oldCount; ++i) batch.DeleteKey(name, ItemKey(i));
  ConfirmResult result;
  if (!ini.WriteBatch(recordIni, batch)) return result;
  result.written = true;
  const std::vector<SlotEncoding> encodings = EncodeAllSlots(ini, recordIni, config);
  result.slot = MacroPosition(MacroNames(ini, recordIni), name);
  if (result.slot < 0 || static_cast<size_t>(result.slot) >= encodings.size()) {
    result.slot = -1;
    return result;
  }
  result.encoding = encodings[result.slot];
  result.encoding.eventsTotal += eventsPastLimit;
  if (oldCount == 0 && !kept.empty()) SetSlotLoopCount(config, result.slot, firstLoopCount);
  return result;
}

MacroDeleteResult DeleteMacro(IniStore& ini, const std::wstring& recordIni, const std::wstring& name,
                              const std::vector<MacroBindings>& records, const std::wstring& keyOffText) {
  // The slots and bindings follow the section the store removes, found
  // before the write: a re-read after it that failed would leave the slots
  // unmoved under a file that lost the macro. A hand-edited header such as
  // "[ Fire ]" is listed but cannot be removed (names are looked up without
  // their surrounding white space): moving the slots then would leave every
  // later binding on the wrong macro.
  const std::vector<std::wstring> before = ini.SectionNames(recordIni);
  const bool listed = MacroPosition(before, name) >= 0;
  const int deleted = AddressedSection(before, name);
  if (deleted < 0) return listed ? MacroDeleteResult::kRefused : MacroDeleteResult::kNotInFile;
  if (!ini.DeleteSection(recordIni, name)) return MacroDeleteResult::kRefused;
  if (deleted >= kMacroSlotCount) return MacroDeleteResult::kDeleted;
  for (const MacroBindings& record : records) {
    DeviceConfig& c = record.config;
    for (int slot = deleted; slot + 1 < kMacroSlotCount; ++slot)
      std::memcpy(c.macroSlots[slot], c.macroSlots[slot + 1], kMacroSlotSize);
    std::memset(c.macroSlots[kMacroSlotCount - 1], 0, kMacroSlotSize);
    for (int mode = 0; mode < 2; ++mode) {
      AssignmentTable& table = LayerTable(c, mode);
      for (int button = 0; button < kButtonCount; ++button) {
        if (table.functionIndex[button] != kFunctionMacroKey) continue;
        if (table.macroIndex[button] == deleted) {
          table.functionIndex[button] = kFunctionKeyOff;
          record.buttonText[mode * kButtonCount + button] = keyOffText;
        } else if (table.macroIndex[button] > deleted) {
          --table.macroIndex[button];
        }
      }
    }
  }
  return MacroDeleteResult::kDeleted;
}

bool ReplaceAllMacros(IniStore& ini, const std::wstring& recordIni, const std::vector<StoredMacro>& macros) {
  // Cleared rather than section by section: a hand-edited header the store
  // cannot address ("[ Fire ]") would stay in front of the new macros and
  // put each of them one slot after the one its bytes are in.
  IniBatch batch;
  batch.Clear();
  for (const StoredMacro& macro : macros) AddMacroSection(batch, macro.name, macro.entries);
  return ini.WriteBatch(recordIni, batch);
}

LoopCountInput CheckLoopCount(const std::wstring& text) {
  long long value = 0;
  bool digits = false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') {
      digits = false;
      break;
    }
    digits = true;
    value = std::min<long long>(value * 10 + (c - L'0'), 1000000);
  }
  if (!digits || value <= 0 || value > 65535) return {1, true};
  return {static_cast<uint16_t>(value), false};
}

}  // namespace kovral
