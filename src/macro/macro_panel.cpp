#include "macro/macro_panel.h"

#include <cstring>

#include "lang/language.h"
#include "lang/messages.h"
#include "lang/text_format.h"

namespace kovral {

MacroPanelModel::MacroPanelModel(SettingsSession& settings, const MainTexts& texts)
    : settings_(settings), texts_(texts) {}

void MacroPanelModel::Relist(const std::wstring& keep) {
  names_ = settings_.files().Exists(path()) ? MacroNames(settings_.ini(), path()) : std::vector<std::wstring>{};
  std::erase_if(unconfirmed_, [&](const std::wstring& name) { return MacroPosition(names_, name) >= 0; });
  for (const std::wstring& name : unconfirmed_)
    if (names_.size() < static_cast<size_t>(kMacroLimit)) names_.push_back(name);
  selected_ = keep.empty() ? -1 : MacroPosition(names_, keep);
}

void MacroPanelModel::Fill() {
  unconfirmed_.clear();
  Relist(L"");
  sequence_.clear();
  selectedEntry_ = -1;
  selected_ = names_.empty() ? -1 : 0;
  nameText_ = names_.empty() ? L"" : names_[0];
  if (selected_ >= 0) sequence_ = ReadMacroEntries(settings_.ini(), path(), names_[0]);
  ShowOwnCount();
}

// Asked of record.ini each time, so that a count goes where the macro is now.
int MacroPanelModel::CountSlot() {
  if (selected_ < 0 || !settings_.files().Exists(path())) return -1;
  const std::wstring& name = names_[selected_];
  const int slot = MacroPosition(MacroNames(settings_.ini(), path()), name);
  if (slot < 0 || slot >= kMacroSlotCount) return -1;
  return DecimalValue(settings_.ini().Get(path(), name, L"ItemCount")) > 0 ? slot : -1;
}

// A macro without a slot shows the count Confirm gives it.
void MacroPanelModel::ShowOwnCount() {
  loopEdited_ = false;
  pendingLoop_.reset();
  if (selected_ < 0) {
    loopText_.clear();
    return;
  }
  const int slot = CountSlot();
  loopText_ = std::to_wstring(slot >= 0 ? SlotLoopCount(settings_.config, slot) : 1);
}

void MacroPanelModel::StoreLoopCount(uint16_t count) {
  const int slot = CountSlot();
  if (slot >= 0) {
    SetSlotLoopCount(settings_.config, slot, count);
    pendingLoop_.reset();
  } else {
    pendingLoop_ = count;
  }
}

PanelMessage MacroPanelModel::WriteFailed() const {
  return PanelMessage{FormatText(texts_.settingsSaveFailed, path()), kCaptionWarning};
}

std::optional<PanelMessage> MacroPanelModel::New(const std::wstring& nameText) {
  nameText_ = nameText;
  switch (CheckNewMacroName(names_, nameText)) {
    case MacroNameCheck::Blank: return PanelMessage{texts_.macroNameBlank, L""};
    case MacroNameCheck::Invalid: return PanelMessage{texts_.macroNameInvalid, L""};
    case MacroNameCheck::Full: return PanelMessage{kMsgMacroLimit, kCaptionWarning};
    case MacroNameCheck::Exists: return PanelMessage{texts_.macroNameExists, L""};
    case MacroNameCheck::Ok: break;
  }
  CommitLoopCount();  // the box leaves the macro it was typed for
  unconfirmed_.push_back(nameText);
  names_.push_back(nameText);
  selected_ = static_cast<int>(names_.size()) - 1;
  sequence_.clear();
  selectedEntry_ = -1;
  ShowOwnCount();
  return std::nullopt;
}

// Bindings follow the macros in the live record and in the one Cancel
// returns to: record.ini cannot be put back.
std::optional<PanelMessage> MacroPanelModel::Delete() {
  if (selected_ < 0) return std::nullopt;
  const std::wstring name = names_[selected_];
  const MacroDeleteResult result = DeleteMacro(
      settings_.ini(), path(), name,
      {{settings_.config, settings_.ui.buttonText}, {settings_.committedConfig, settings_.committedButtonText}},
      texts_.functionList[15]);
  if (result == MacroDeleteResult::kRefused) {
    Relist(name);
    return WriteFailed();
  }
  std::erase_if(unconfirmed_, [&](const std::wstring& listed) { return SameIniName(listed, name); });
  Relist(L"");
  sequence_.clear();
  selectedEntry_ = -1;
  nameText_.clear();
  ShowOwnCount();
  return std::nullopt;
}

// The list becomes the file's and the names still unconfirmed; the selection
// follows the confirmed macro to its place there. A refused write keeps the
// sequence and the box as the user left them, to be confirmed again.
std::optional<PanelMessage> MacroPanelModel::Confirm() {
  if (selected_ < 0) return std::nullopt;
  CommitLoopCount();
  const std::wstring name = names_[selected_];
  const ConfirmResult result =
      ConfirmMacro(settings_.ini(), path(), name, sequence_, settings_.config, pendingLoop_.value_or(1));
  Relist(name);
  if (!result.written) return WriteFailed();
  // record.ini cannot be put back by Cancel, so the confirmed macro's slot,
  // its loop count with its events, goes into the record Cancel returns to
  // as well: Cancel keeps the macro whole, as Delete and import do.
  if (result.slot >= 0)
    std::memcpy(settings_.committedConfig.macroSlots[result.slot], settings_.config.macroSlots[result.slot],
                kMacroSlotSize);
  ShowOwnCount();
  if (result.encoding.cut())
    return PanelMessage{FormatNumber(texts_.macroTooLong, result.encoding.eventsWritten), kCaptionWarning};
  return std::nullopt;
}

void MacroPanelModel::Select(int index) {
  if (index < 0 || index >= static_cast<int>(names_.size())) return;
  selected_ = index;
  nameText_ = names_[index];
  sequence_ = ReadMacroEntries(settings_.ini(), path(), names_[index]);
  selectedEntry_ = -1;
  ShowOwnCount();
}

void MacroPanelModel::LoopCountTyped(const std::wstring& text) {
  loopText_ = text;
  if (selected_ < 0) return;
  loopEdited_ = true;
  const LoopCountInput input = CheckLoopCount(text);
  if (!input.corrected) StoreLoopCount(input.value);
}

bool MacroPanelModel::CommitLoopCount() {
  if (selected_ < 0 || !loopEdited_) return false;
  // Stored once: a later OK must not put it back over a record Cancel restored.
  loopEdited_ = false;
  const LoopCountInput input = CheckLoopCount(loopText_);
  StoreLoopCount(input.value);
  if (!input.corrected) return false;
  loopText_ = L"1";
  return true;
}

std::optional<PanelMessage> MacroPanelModel::CanStartRecording() const {
  if (names_.empty()) return PanelMessage{texts_.macroNameBlank, kCaptionWarning};
  return std::nullopt;
}

void MacroPanelModel::StartRecording() {
  sequence_.clear();
  selectedEntry_ = -1;
  recorder_.Start();
}

void MacroPanelModel::StopRecording() { recorder_.Stop(); }

void MacroPanelModel::RecordKey(RecordedKey key, const std::wstring& keyName) {
  for (std::wstring& entry : recorder_.Record(key, keyName, selected_ >= 0)) sequence_.push_back(std::move(entry));
  if (!sequence_.empty()) selectedEntry_ = static_cast<int>(sequence_.size()) - 1;
}

void MacroPanelModel::InsertMouseEvent(const std::wstring& choice) {
  const int select = kovral::InsertMouseEvent(sequence_, selectedEntry_, choice, selected_ >= 0);
  if (select >= 0) selectedEntry_ = select;
}

bool MacroPanelModel::DelaySelected() const {
  return selectedEntry_ >= 0 && selectedEntry_ < static_cast<int>(sequence_.size()) &&
         IsDelayEntry(sequence_[selectedEntry_]);
}

void MacroPanelModel::SetSelectedDelay(int value, const std::wstring& text) {
  if (DelaySelected()) sequence_[selectedEntry_] = DelayEntryFromDialog(value, text);
}

}  // namespace kovral
