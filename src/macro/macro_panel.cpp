#include "macro/macro_panel.h"

#include "lang/language.h"
#include "lang/messages.h"
#include "lang/text_format.h"

namespace kovral {

MacroPanelModel::MacroPanelModel(SettingsSession& settings, const MainTexts& texts)
    : settings_(settings), texts_(texts) {}

void MacroPanelModel::Fill() {
  names_ = settings_.files().Exists(path()) ? MacroNames(settings_.ini(), path()) : std::vector<std::wstring>{};
  sequence_.clear();
  selectedEntry_ = -1;
  selected_ = names_.empty() ? -1 : 0;
  nameText_ = names_.empty() ? L"" : names_[0];
  if (selected_ >= 0) sequence_ = ReadMacroEntries(settings_.ini(), path(), names_[0]);
  loopText_ = names_.empty() ? L"" : std::to_wstring(SlotLoopCount(settings_.config, 0));
}

void MacroPanelModel::ShowLoopCount() {
  if (selected_ >= 0 && selected_ < kMacroSlotCount)
    loopText_ = std::to_wstring(SlotLoopCount(settings_.config, selected_));
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
  names_.push_back(nameText);
  selected_ = static_cast<int>(names_.size()) - 1;
  sequence_.clear();
  selectedEntry_ = -1;
  return std::nullopt;
}

// Bindings follow the macros in the live record and in the one Cancel
// returns to: record.ini cannot be put back.
void MacroPanelModel::Delete() {
  if (selected_ < 0) return;
  const std::wstring name = names_[selected_];
  DeleteMacro(settings_.ini(), path(), name,
              {{settings_.config, settings_.ui.buttonText}, {settings_.committedConfig, settings_.committedButtonText}},
              texts_.functionList[15]);
  names_.erase(names_.begin() + selected_);
  selected_ = -1;
  sequence_.clear();
  selectedEntry_ = -1;
  nameText_.clear();
}

std::optional<PanelMessage> MacroPanelModel::Confirm() {
  if (selected_ < 0) return std::nullopt;
  CommitLoopCount();
  const std::wstring name = names_[selected_];
  const SlotEncoding encoding = ConfirmMacro(settings_.ini(), path(), name, sequence_, settings_.config);
  // The list becomes the file's, which lacks the names New added but nobody
  // confirmed: the selection follows the confirmed macro to its place there
  // (none when it could not be written) instead of keeping a position that
  // may now name another macro or lie past the end of the list.
  names_ = MacroNames(settings_.ini(), path());
  selected_ = MacroPosition(names_, name);
  ShowLoopCount();
  if (encoding.cut()) return PanelMessage{FormatNumber(texts_.macroTooLong, encoding.eventsWritten), kCaptionWarning};
  return std::nullopt;
}

void MacroPanelModel::Select(int index) {
  if (index < 0 || index >= static_cast<int>(names_.size())) return;
  selected_ = index;
  nameText_ = names_[index];
  sequence_ = ReadMacroEntries(settings_.ini(), path(), names_[index]);
  selectedEntry_ = -1;
  if (!sequence_.empty()) ShowLoopCount();
}

void MacroPanelModel::LoopCountTyped(const std::wstring& text) {
  loopText_ = text;
  const LoopCountInput input = CheckLoopCount(text);
  if (!input.corrected && selected_ >= 0 && selected_ < kMacroSlotCount)
    SetSlotLoopCount(settings_.config, selected_, input.value);
}

bool MacroPanelModel::CommitLoopCount() {
  if (selected_ < 0) return false;
  const LoopCountInput input = CheckLoopCount(loopText_);
  if (selected_ < kMacroSlotCount) SetSlotLoopCount(settings_.config, selected_, input.value);
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
