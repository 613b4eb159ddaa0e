#pragma once
// What the recorder makes of the keystrokes its hook sees, and how the editor
// inserts mouse events and rewrites delays in a key-press sequence.
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kovral {

enum class RecordedKey { Down, Up };

// RecordState: 0 nothing recorded since Start, 1 a press recorded, 2 stopped.
class MacroRecorder {
 public:
  void Start();
  void Stop() { state_ = 2; }
  int state() const { return state_; }

  // The hook's filter for one keystroke: `released` is bit 31 of its flags,
  // `wasDown` bit 30. A release goes on when its key's press was recorded; a
  // press goes on unless it is an auto-repeat of the key pressed last or of a
  // key that went down before the recording.
  std::optional<RecordedKey> Filter(const std::wstring& keyName, bool released, bool wasDown) const;

  // The entries a passed keystroke adds to the sequence, in order ("50 ms"
  // between events; the first press of a recording gets none before it).
  // Nothing while no macro is selected.
  std::vector<std::wstring> Record(RecordedKey key, const std::wstring& keyName, bool macroSelected);

 private:
  int state_ = 0;
  std::wstring previousKeyName_;  // kept across recordings
  std::set<std::wstring> held_;   // keys whose press was recorded and not yet their release
};

// The nine choices of the "Insert A Mouse Event" list.
const std::vector<std::wstring>& MouseEventChoices9();

// Inserts a mouse-event choice into the sequence after the selected entry
// (-1 for none). Returns the entry to select afterwards, or -1 to leave the
// selection as it is.
int InsertMouseEvent(std::vector<std::wstring>& sequence, int selected, const std::wstring& choice,
                     bool macroSelected);

// A delay entry from the delay dialog: the typed text and " ms"; above the
// dialog's stated maximum of 10000 the entry is "10000 ms".
std::wstring DelayEntryFromDialog(int value, const std::wstring& text);

}  // namespace kovral
