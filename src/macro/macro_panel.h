#pragma once
// The macro panel of the advanced page, apart from its controls: the macro
// list, the selected macro's key-press sequence, the name and loop-count
// boxes, and what New, Delete, Confirm, Select, the loop count, the recorder,
// mouse-event insertion and delay editing do to them, record.ini and the
// record. The page shows what the model holds after each call.
#include <optional>
#include <string>
#include <vector>

#include "lang/main_texts.h"
#include "macro/macro_recorder.h"
#include "macro/macro_store.h"
#include "settings/settings_session.h"

namespace kovral {

// A message for the user: text and caption (empty: the application's name).
struct PanelMessage {
  std::wstring text;
  std::wstring caption;
};

class MacroPanelModel {
 public:
  MacroPanelModel(SettingsSession& settings, const MainTexts& texts);

  // The page's showing: the macros of record.ini, the first one selected.
  void Fill();

  std::optional<PanelMessage> New(const std::wstring& nameText);
  void Delete();
  // Saves the sequence as the selected macro; the message when the mouse
  // cannot hold all of it.
  std::optional<PanelMessage> Confirm();
  void Select(int index);
  // The loop-count box while the user types: a valid number is stored at
  // once; anything else waits for CommitLoopCount.
  void LoopCountTyped(const std::wstring& text);
  // The box lost the focus, or Confirm, OK or Apply comes: empty, 0 or above
  // 65535 becomes 1 (true when the box must show loopText() again).
  bool CommitLoopCount();

  // The recorder's steps; Start answers the message that refuses it.
  std::optional<PanelMessage> CanStartRecording() const;
  void StartRecording();
  void StopRecording();
  void RecordKey(RecordedKey key, const std::wstring& keyName);
  std::optional<RecordedKey> FilterKey(const std::wstring& keyName, bool released, bool wasDown) const {
    return recorder_.Filter(keyName, released, wasDown);
  }

  void InsertMouseEvent(const std::wstring& choice);
  void SelectEntry(int index) { selectedEntry_ = index; }
  // The selected entry is a delay (a double click may edit it).
  bool DelaySelected() const;
  void SetSelectedDelay(int value, const std::wstring& text);

  const std::vector<std::wstring>& names() const { return names_; }
  int selected() const { return selected_; }
  const std::vector<std::wstring>& sequence() const { return sequence_; }
  int selectedEntry() const { return selectedEntry_; }
  const std::wstring& nameText() const { return nameText_; }
  const std::wstring& loopText() const { return loopText_; }

 private:
  void ShowLoopCount();
  const std::wstring& path() const { return settings_.paths().recordIni; }

  SettingsSession& settings_;
  const MainTexts& texts_;
  MacroRecorder recorder_;
  std::vector<std::wstring> names_;
  int selected_ = -1;
  std::vector<std::wstring> sequence_;
  int selectedEntry_ = -1;
  std::wstring nameText_;
  std::wstring loopText_;
};

}  // namespace kovral
