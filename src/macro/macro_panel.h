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

// The list shows record.ini's macros in file order, then the names New added
// that were never confirmed; so a listed macro's position among the file's is
// its slot, and every change of the file is followed by the list. A failed
// write of record.ini leaves the file and the list as they were and answers
// the Warning every failed INI write shows.
class MacroPanelModel {
 public:
  MacroPanelModel(SettingsSession& settings, const MainTexts& texts);

  // The page's showing: the macros of record.ini, the first one selected.
  void Fill();

  std::optional<PanelMessage> New(const std::wstring& nameText);
  std::optional<PanelMessage> Delete();
  // Saves the sequence as the selected macro; the message when record.ini
  // refused it, or when the mouse cannot hold all of it.
  std::optional<PanelMessage> Confirm();
  void Select(int index);
  // The loop-count box while the user types: a valid number is stored at
  // once; anything else waits for CommitLoopCount.
  void LoopCountTyped(const std::wstring& text);
  // The box lost the focus, or Confirm, OK or Apply comes: when the user
  // changed the box for the selected macro, empty, 0 or above 65535 becomes 1
  // (true when the box must show loopText() again) and the count is stored,
  // once for each edit.
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
  // The list again from record.ini and the unconfirmed names; the selection
  // follows the macro named `keep` (none for an empty name).
  void Relist(const std::wstring& keep);
  // The slot that holds the selected macro's loop count: its place among
  // record.ini's macros while it has entries there, else -1 (a new or empty
  // macro's slot stays clear, loop count included).
  int CountSlot();
  // The box shows the selected macro's own count, as nobody has edited it.
  void ShowOwnCount();
  void StoreLoopCount(uint16_t count);
  PanelMessage WriteFailed() const;
  const std::wstring& path() const { return settings_.macroFile(); }

  SettingsSession& settings_;
  const MainTexts& texts_;
  MacroRecorder recorder_;
  std::vector<std::wstring> names_;
  std::vector<std::wstring> unconfirmed_;  // added by New, not in record.ini
  int selected_ = -1;
  std::vector<std::wstring> sequence_;
  int selectedEntry_ = -1;
  std::wstring nameText_;
  std::wstring loopText_;
  bool loopEdited_ = false;             // the user changed the box for the selected macro
  std::optional<uint16_t> pendingLoop_;  // typed for a macro without a slot yet; Confirm stores it
};

}  // namespace kovral
