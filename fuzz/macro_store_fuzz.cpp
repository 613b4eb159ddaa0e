// record.ini built from the fuzz input, then everything that reads it: the
// macro list, the entries of each macro, the encoder into the record's slots
// (and the slot decoder the report uses), and the macro panel's operations
// (select, new, confirm, delete, loop counts, recording, mouse events,
// delays) on the file and the record.
//
// Input: byte 0 chooses the file. Below 0xF0 the harness writes record.ini
// from a description in the input: up to fourteen sections (the first four
// with up to forty entries, the others with up to four), each with an
// ItemCount (true, or any text) and entries that are mostly key and button
// presses and releases and delays, in one of the encodings the store reads.
// From 0xF0 on the file is the input's next random-length string as it is.
// What follows drives the panel.
//
// Besides sanitizer findings: every event the encoder reports as written
// decodes back from the slot as it was entered, a name New accepts is a new
// macro that Confirm adds to the file (and never one already there), and a
// confirmed sequence reads back from the file as it was confirmed (for names
// the store can address).
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "assign/key_tables.h"
#include "fuzz_support.h"
#include "lang/main_texts.h"
#include "macro/macro_panel.h"
#include "macro/macro_slot.h"
#include "macro/macro_store.h"
#include "profiles/config_report.h"
#include "settings/defaults.h"
#include "settings/ini_store.h"
#include "settings/settings_session.h"

namespace kovral::fuzz {
namespace {

const std::wstring kRecordIni = L"record.ini";

// A text of one of the program's own single-line sources: a key's name from
// the system, an entry of the mouse-event list, the delay box.
std::wstring TakeLine(FuzzedDataProvider& in, size_t maxBytes) {
  std::wstring text = TakeText(in, maxBytes);
  std::erase_if(text, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
  return text;
}

std::wstring KeyOrButtonName(FuzzedDataProvider& in) {
  const auto names = KeyNames();
  if (in.ConsumeIntegralInRange<int>(0, 9) == 0) return TakeLine(in, 12);
  return names[in.ConsumeIntegralInRange<size_t>(0, names.size() - 1)].name;
}

std::wstring Entry(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: case 1: return DownEntry(KeyOrButtonName(in));
    case 2: case 3: return UpEntry(KeyOrButtonName(in));
    case 4: case 5: {
      static constexpr uint32_t kTops[] = {1270, 1300, 10000, 25599, 99999, 0xFFFFFFFFu};
      return std::to_wstring(in.ConsumeIntegralInRange<uint32_t>(0, kTops[in.ConsumeIntegralInRange<int>(0, 5)])) +
             L" ms";
    }
    default: return TakeText(in, 24);
  }
}

std::wstring Describe(FuzzedDataProvider& in) {
  std::wstring text;
  const int sections = in.ConsumeIntegralInRange<int>(0, 14);
  // Files of a few kilobytes: every entry read parses the whole file again.
  for (int s = 0; s < sections; ++s) {
    text += L"[" + TakeText(in, 40) + L"]\r\n";
    std::vector<std::wstring> entries(in.ConsumeIntegralInRange<size_t>(0, s < 4 ? 40 : 4));
    for (std::wstring& e : entries) e = Entry(in);
    const int countForm = in.ConsumeIntegralInRange<int>(0, 7);
    std::wstring count = std::to_wstring(entries.size());
    if (countForm == 0) count = TakeText(in, 12);
    if (countForm == 1) count = std::to_wstring(in.ConsumeIntegralInRange<int>(-5, 200));
    text += L"ItemCount=" + count + L"\r\n";
    for (size_t i = 0; i < entries.size(); ++i) text += L"Item" + std::to_wstring(i) + L"=" + entries[i] + L"\r\n";
  }
  return text;
}

std::vector<uint8_t> Encode(const std::wstring& text, int form) {
  std::vector<uint8_t> bytes;
  if (form == 0) {  // as the program writes it: UTF-16LE with its mark
    bytes = {0xFF, 0xFE};
    for (char16_t unit : ToUtf16(text)) bytes.push_back(static_cast<uint8_t>(unit)), bytes.push_back(unit >> 8);
    return bytes;
  }
  if (form == 1) bytes = {0xEF, 0xBB, 0xBF};
  const std::string utf8 = ToUtf8(text);
  bytes.insert(bytes.end(), utf8.begin(), utf8.end());
  return bytes;
}

// Every event the encoder wrote must come back from the slot as it went in:
// release or press, key code, and the delay of the entry after it (in 10 ms
// steps up to 1270 ms, to the millisecond up to 25599 ms, and 25599 ms for
// every longer one). A press of code 0
// with no delay is the slot's padding, so the check stops before one.
void CheckSlot(const std::vector<std::wstring>& entries, const SlotEncoding& encoding,
               const uint8_t (&slot)[kMacroSlotSize]) {
  const DecodedMacroSlot decoded = DecodeMacroSlot(slot);
  size_t event = 0;
  for (size_t j = 0; j < entries.size() && event < static_cast<size_t>(encoding.eventsWritten); ++j) {
    const MacroEntryParts parts = ParseMacroEntry(entries[j]);
    if (parts.kind != MacroEntryKind::Down && parts.kind != MacroEntryKind::Up) continue;
    const uint8_t code = KeyNameToUsage(parts.name);
    const uint32_t delay = j + 1 < entries.size() ? DelayOfEntry(entries[j + 1]) : 0;
    if (code == 0) return;
    Check(event < decoded.events.size(), "a written event decodes");
    const MacroEvent& e = decoded.events[event++];
    Check(e.up == (parts.kind == MacroEntryKind::Up) && e.code == code, "an event decodes as it was entered");
    if (delay <= 1270) Check(e.delayMs == delay / 10 * 10, "a short delay decodes");
    else if (delay <= kSlotDelayLimitMs) Check(e.delayMs == delay, "a long delay decodes");
    else Check(e.delayMs == kSlotDelayLimitMs, "a longer delay decodes as the longest a slot holds");
  }
}

void EncodeAndCheck(IniStore& ini, DeviceConfig& config) {
  const std::vector<SlotEncoding> encodings = EncodeAllSlots(ini, kRecordIni, config);
  const std::vector<std::wstring> names = MacroNames(ini, kRecordIni);
  Check(encodings.size() == names.size(), "one encoding per listed macro");
  for (size_t slot = 0; slot < names.size(); ++slot)
    CheckSlot(ReadMacroEntries(ini, kRecordIni, names[slot]), encodings[slot], config.macroSlots[slot]);
}

bool IniSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v' || c == L'\f' || c == 0x1A; }

// Entries the file keeps as they are: one line, no surrounding white space, no
// quotes around them, within the read limit.
bool KeptAsWritten(const std::wstring& entry) {
  if (entry.empty()) return true;
  if (entry.find_first_of(L"\r\n") != std::wstring::npos || entry.size() > kIniValueLimit) return false;
  if (IniSpace(entry.front()) || IniSpace(entry.back())) return false;
  return !(entry.size() >= 2 && (entry.front() == L'"' || entry.front() == L'\'') && entry.back() == entry.front());
}

// A listed name the store can write to. A hand-edited header with white space
// inside its brackets ("[ Fire ]") is listed as it stands, but names are looked
// up without their surrounding white space, as the profile functions do, so
// such a section can be neither read nor rewritten.
bool Addressable(const std::wstring& name) {
  return !IsBlankIniName(name) && !IniSpace(name.front()) && !IniSpace(name.back());
}

}  // namespace
}  // namespace kovral::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovral;
  using namespace kovral::fuzz;
  if (size == 0) return 0;
  FuzzedDataProvider in(data + 1, size - 1);
  MemoryFileSystem files;
  if (data[0] >= 0xF0) {
    const std::string raw = in.ConsumeRandomLengthString(3072);
    files.files[kRecordIni] = std::vector<uint8_t>(raw.begin(), raw.end());
  } else {
    files.files[kRecordIni] = Encode(Describe(in), data[0] % 3);
  }

  FileIniStore ini(files);
  RecordingMessageSink messages;
  AppPaths paths;
  paths.configBin = L"config.bin";
  paths.strIni = L"str.ini";
  paths.recordIni = kRecordIni;
  SettingsSession session(paths, ini, files, messages);
  session.config = FactoryConfig();
  // Some buttons of both layers bound to macros, some to slots past the list.
  for (int mode = 0; mode < 2; ++mode) {
    AssignmentTable& table = LayerTable(session.config, mode);
    for (int button = 6; button < kButtonCount; ++button) {
      table.functionIndex[button] = 13;
      table.macroIndex[button] = in.ConsumeIntegralInRange<uint8_t>(0, 13);
    }
  }
  session.Commit();

  EncodeAndCheck(ini, session.config);
  const MainTexts& texts = MainTextsFor(static_cast<UiLanguage>(in.ConsumeIntegralInRange<int>(0, 2)));
  MacroPanelModel panel(session, texts);
  panel.Fill();
  bool selectedIsNew = false;  // the selected name was accepted by New and not confirmed yet

  const std::vector<uint8_t> original = files.files[kRecordIni];
  for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 11)) {
      case 0:
        panel.Select(in.ConsumeIntegralInRange<int>(-1, 13));
        selectedIsNew = false;
        break;
      case 1: {
        const std::wstring name = TakeName(in, panel.names(), 40);
        if (!panel.New(name)) selectedIsNew = true;
        break;
      }
      case 2:
        panel.Delete();
        selectedIsNew = false;
        break;
      case 3: {
        const size_t before = ini.SectionNames(kRecordIni).size();
        const std::vector<std::wstring> sequence = panel.sequence();
        const int selected = panel.selected();
        const std::wstring name = selected >= 0 ? panel.names()[selected] : L"";
        panel.Confirm();
        if (selected < 0) break;
        const size_t after = ini.SectionNames(kRecordIni).size();
        if (selectedIsNew) Check(after == before + 1, "Confirm of a name New accepted adds a macro");
        else Check(after == before || after == before + 1, "Confirm adds at most one macro");
        selectedIsNew = false;
        if (Addressable(name) && std::all_of(sequence.begin(), sequence.end(), KeptAsWritten))
          Check(ReadMacroEntries(ini, kRecordIni, name) ==
                    std::vector<std::wstring>(sequence.begin(),
                                              sequence.begin() + std::min(sequence.size(), size_t{kMacroEntryLimit})),
                "a confirmed sequence reads back (up to the entries a macro is read up to)");
        break;
      }
      case 4: panel.LoopCountTyped(TakeText(in, 8)); break;
      case 5: panel.CommitLoopCount(); break;
      case 6:
        if (!panel.CanStartRecording()) panel.StartRecording();
        break;
      case 7: {
        const std::wstring name = KeyOrButtonName(in);
        if (const auto key = panel.FilterKey(name, in.ConsumeBool(), in.ConsumeBool())) panel.RecordKey(*key, name);
        break;
      }
      case 8: panel.StopRecording(); break;
      case 9: {
        const auto& choices = MouseEventChoices9();
        panel.InsertMouseEvent(in.ConsumeBool() ? choices[in.ConsumeIntegralInRange<size_t>(0, choices.size() - 1)]
                                                : TakeLine(in, 20));
        break;
      }
      case 10: panel.SelectEntry(in.ConsumeIntegralInRange<int>(-1, 100)); break;
      case 11: {
        const int value = in.ConsumeIntegralInRange<int>(0, 30000);
        panel.SetSelectedDelay(value, in.ConsumeBool() ? std::to_wstring(value) : TakeLine(in, 8));
        break;
      }
    }
  }

  if (files.files[kRecordIni] != original) EncodeAndCheck(ini, session.config);
  DescribeConfig(session.config, 1, 0, MacroNames(ini, kRecordIni));
  return 0;
}
