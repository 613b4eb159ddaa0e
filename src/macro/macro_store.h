#pragma once
// Macros as text in record.ini (one section per macro: "ItemCount", then
// "Item0".."Item<n-1>") and as bytes in the record's twelve 128-byte slots.
// The section order of the file is the slot order, and a button bound to a
// macro stores its position: the operations here keep every macro at its
// place, so no binding silently moves to another macro.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/device_config.h"
#include "settings/ini_store.h"
#include "settings/ui_settings.h"

namespace kovral {

inline constexpr int kMacroLimit = 12;
inline constexpr size_t kMacroNameLimit = 31;

// One line of a macro's sequence: "<name>   Dn", "<name>   Up" or "<ms> ms".
enum class MacroEntryKind { Down, Up, Delay, Other };
struct MacroEntryParts {
  MacroEntryKind kind = MacroEntryKind::Other;
  std::wstring name;  // key or button name of a down or up entry
};
MacroEntryParts ParseMacroEntry(const std::wstring& entry);
// The editor's rule: any entry with "ms" in it is a delay.
bool IsDelayEntry(const std::wstring& entry);
std::wstring DownEntry(const std::wstring& name);
std::wstring UpEntry(const std::wstring& name);
// The delay a following entry gives: its number before " ms" (a number past
// 2^32 - 1 is 2^32 - 1); 0 for anything else.
uint32_t DelayOfEntry(const std::wstring& entry);
// The longest pause a slot holds after an event: 255 x 100 + 99 ms in the long
// form. Every longer delay is encoded as this one.
inline constexpr uint32_t kSlotDelayLimitMs = 25599;

// The macros of record.ini in file order: the whole section list, at most
// twelve (a hand-edited file with more has no slots for the rest).
std::vector<std::wstring> MacroNames(IniStore& ini, const std::wstring& recordIni);
// The macro's entries: "Item0" up to its ItemCount, at most kMacroEntryLimit.
inline constexpr int kMacroEntryLimit = 1024;
std::vector<std::wstring> ReadMacroEntries(IniStore& ini, const std::wstring& recordIni, const std::wstring& name);

// Encodes entries into a slot: bytes 2..127 are cleared first; each down or
// up entry becomes 2 bytes (delay up to 1270 ms) or 4 bytes, with the delay
// of the entry after it (at most kSlotDelayLimitMs). An event that does not fit whole is left out with
// every one after it. The loop count bytes are not touched.
struct SlotEncoding {
  int eventsWritten = 0;
  int eventsTotal = 0;
  bool cut() const { return eventsWritten < eventsTotal; }
};
SlotEncoding EncodeMacroSlot(const std::vector<std::wstring>& entries, uint8_t (&slot)[kMacroSlotSize]);

// Every macro of the file into its slot; an empty macro clears its slot, a
// non-empty one whose loop count is 0 gets 1; slots past the macros are left.
// Returns the encoding of each macro in file order.
std::vector<SlotEncoding> EncodeAllSlots(IniStore& ini, const std::wstring& recordIni, DeviceConfig& config);

// The position of the macro a name stands for in a list of macro names,
// compared as record.ini compares section names; -1 when it is not listed.
int MacroPosition(const std::vector<std::wstring>& names, const std::wstring& name);

// New: whether a name may be added to the list. A name that record.ini would
// file under a listed macro (the same but for letter case or surrounding
// white space) exists already.
enum class MacroNameCheck { Ok, Blank, Invalid, Full, Exists };
MacroNameCheck CheckNewMacroName(const std::vector<std::wstring>& listed, const std::wstring& name);

// Confirm: writes the entries as the macro's section, in one replacement of
// record.ini. A macro already in the file keeps its place (its keys are
// rewritten in place and surplus "Item" keys removed); a new one is appended.
// Then every slot is encoded again, and a macro that had no entries before
// (its slot held nothing) plays firstLoopCount times. Entries past the
// kMacroEntryLimit a macro is read up to are not stored (their events count
// as cut). When record.ini refuses
// the write, the file and the record stay as they were.
struct ConfirmResult {
  bool written = false;
  int slot = -1;  // the macro's slot; -1 when it has none (past the twelve)
  SlotEncoding encoding;
};
ConfirmResult ConfirmMacro(IniStore& ini, const std::wstring& recordIni, const std::wstring& name,
                           const std::vector<std::wstring>& entries, DeviceConfig& config,
                           uint16_t firstLoopCount = 1);

// Delete: removes the section, moves the later slots (loop counts with them)
// down by one and clears the last, lowers the bound macro of every "Macro
// Key" button bound to a later macro, and turns the buttons bound to the
// deleted one into "Key Off" (with their row text). `records` are every copy
// of the record that must agree (the live one and the one Cancel returns to),
// each with its row texts. Nothing moves unless the section went: kRefused
// when record.ini kept a section of that name (a failed write, or a
// hand-edited header it cannot address), kNotInFile for a name New added
// that was never confirmed.
struct MacroBindings {
  DeviceConfig& config;
  std::wstring* buttonText;  // 16 texts, Mode A then Mode B
};
enum class MacroDeleteResult { kDeleted, kNotInFile, kRefused };
MacroDeleteResult DeleteMacro(IniStore& ini, const std::wstring& recordIni, const std::wstring& name,
                              const std::vector<MacroBindings>& records, const std::wstring& keyOffText);

// Replaces every macro of record.ini by these, in this order (the slot
// order), as one replacement of the file: it holds the old macros or the new
// ones, never part of each. False when record.ini refused it.
struct StoredMacro {
  std::wstring name;
  std::vector<std::wstring> entries;
};
bool ReplaceAllMacros(IniStore& ini, const std::wstring& recordIni, const std::vector<StoredMacro>& macros);

// The loop-count box: 1..65535; empty, 0 and anything above become 1.
struct LoopCountInput {
  uint16_t value = 1;
  bool corrected = false;
};
LoopCountInput CheckLoopCount(const std::wstring& text);
uint16_t SlotLoopCount(const DeviceConfig& config, int slot);
void SetSlotLoopCount(DeviceConfig& config, int slot, uint16_t count);

}  // namespace kovral
