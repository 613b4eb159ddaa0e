#include "macro/macro_recorder.h"

#include "macro/macro_store.h"

namespace kovral {
namespace {

constexpr wchar_t kDelay[] = L"50 ms";

std::wstring Replace(const std::wstring& text, const std::wstring& from, const std::wstring& to) {
  const size_t at = text.find(from);
  if (at == std::wstring::npos) return text;
  return text.substr(0, at) + to + text.substr(at + from.size());
}

}  // namespace

void MacroRecorder::Start() {
  state_ = 0;
  held_.clear();
}

// A key that was down when the recording began, like the Enter that closed
// the "Start Recording" box, would otherwise give the macro a release (or a
// repeat) without its press: played, the mouse would release a key nobody
// pressed, or hold one down for ever.
std::optional<RecordedKey> MacroRecorder::Filter(const std::wstring& keyName, bool released, bool wasDown) const {
  const bool held = held_.contains(keyName);
  if (released) return held ? std::optional(RecordedKey::Up) : std::nullopt;
  if (wasDown && !held) return std::nullopt;
  if (keyName != previousKeyName_ || !wasDown) return RecordedKey::Down;
  return std::nullopt;
}

std::vector<std::wstring> MacroRecorder::Record(RecordedKey key, const std::wstring& keyName, bool macroSelected) {
  if (!macroSelected) return {};
  if (key == RecordedKey::Up) {
    held_.erase(keyName);
    return {kDelay, UpEntry(keyName)};
  }
  held_.insert(keyName);
  if (state_ == 0) {
    state_ = 1;
    return {DownEntry(keyName)};
  }
  previousKeyName_ = keyName;
  return {kDelay, DownEntry(keyName)};
}

const std::vector<std::wstring>& MouseEventChoices9() {
  static const std::vector<std::wstring> kChoices = {
      L"L-Button Click", L"R-Button Click", L"M-Button Click", L"L-Button   Dn", L"L-Button   Up",
      L"R-Button   Dn",  L"R-Button   Up",  L"M-Button   Dn",  L"M-Button   Up"};
  return kChoices;
}

int InsertMouseEvent(std::vector<std::wstring>& sequence, int selected, const std::wstring& choice,
                     bool macroSelected) {
  const bool click = choice.find(L"Click") != std::wstring::npos;
  const std::wstring down = Replace(choice, L" Click", L"   Dn");
  const std::wstring up = Replace(choice, L" Click", L"   Up");
  const std::vector<std::wstring> event = click ? std::vector<std::wstring>{down, kDelay, up, kDelay}
                                                : std::vector<std::wstring>{choice, kDelay};
  if (selected < 0 || selected >= static_cast<int>(sequence.size())) {
    if (sequence.empty() && macroSelected) sequence = event;
    return -1;
  }
  const auto at = sequence.begin() + selected + 1;
  if (IsDelayEntry(sequence[selected])) {
    sequence.insert(at, event.begin(), event.end());
    return selected + 1;
  }
  // After a key entry the delay comes first, so entries keep alternating.
  std::vector<std::wstring> shifted = click ? std::vector<std::wstring>{kDelay, down, kDelay, up}
                                            : std::vector<std::wstring>{kDelay, choice};
  sequence.insert(at, shifted.begin(), shifted.end());
  return selected + 2;
}

std::wstring DelayEntryFromDialog(int value, const std::wstring& text) {
  if (value > 10000) return L"10000 ms";
  return text + L" ms";
}

}  // namespace kovral
