#pragma once
// What a window system provides to the pages of the main window: the child
// controls a page asks for (by control id, at unit rectangles), painting the
// page's scene, the modal dialogs and the keyboard while a macro records.
// The pages decide; a shell makes windows and hands their events back.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dialogs/assign_dialogs.h"
#include "ui/text_style.h"
#include "view/layout.h"

namespace kovral {

// Runs one modal dialog each and gives its answer (dialogs/assign_dialogs.h)
// after OK, nothing after Cancel. The choice dialogs answer nothing when OK
// came before anything was chosen.
class AssignmentDialogs {
 public:
  virtual ~AssignmentDialogs() = default;
  virtual std::optional<ChoiceResult> RunWindowsDialog() = 0;
  virtual std::optional<ChoiceResult> RunMediaDialog() = 0;
  virtual std::optional<FireKeyResult> RunFireKeyDialog() = 0;
  virtual std::optional<std::wstring> RunSingleKeyDialog() = 0;  // the key's name
  virtual std::optional<ComboKeyResult> RunComboDialog() = 0;
  // `macroNames`: record.ini's macros in file order (their slots).
  virtual std::optional<MacroKeyResult> RunMacroDialog(std::vector<std::wstring> macroNames) = 0;
  virtual std::optional<DelayTimeResult> RunDelayDialog() = 0;
};

class PageShell {
 public:
  virtual ~PageShell() = default;

  // A drop-down list over the page, on top of its siblings; keys only move
  // its highlight, Enter and Esc are reported as list events. `focus`: it
  // takes the keyboard (and so the wheel). False when it could not be made.
  virtual bool OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items, bool focus) = 0;
  // Closes a drop-down list; the keyboard goes back to the window if the list
  // had it. Safe inside the list's own event.
  virtual void CloseList(int id) = 0;
  // Entry `entry` of an open list, in the window's units; nothing when the
  // list is not open.
  virtual std::optional<layout::Rect> ListEntryRect(int id, int entry) = 0;
  // A list that stays with the page; `keys` as for OpenList's lists.
  virtual void MakeList(int id, const layout::Rect& rect, bool keys) = 0;
  virtual void SetListItems(int id, const std::vector<std::wstring>& items, int selected) = 0;
  virtual void SetListSelection(int id, int selected) = 0;

  // A centred text; an empty one is a colour swatch.
  virtual void MakeText(int id, const layout::Rect& rect, const std::wstring& text) = 0;
  // A centred edit box of at most `limit` characters; `digits` takes digits only.
  virtual void MakeEdit(int id, const layout::Rect& rect, int limit, bool digits) = 0;
  // The text of a text or an edit box. Setting it raises no EditChanged.
  virtual void SetText(int id, const std::wstring& text) = 0;
  virtual std::wstring Text(int id) = 0;
  // Paints a swatch again (its colour is read from the record).
  virtual void RefreshSwatch(int id) = 0;
  // The keyboard to a control; 0: to the window itself.
  virtual void Focus(int id) = 0;
  // The window's title; an empty text puts its own title back.
  virtual void SetTitle(const std::wstring& text) = 0;
  // Every control made for the shown page goes, and key capture ends.
  virtual void DestroyControls() = 0;

  // Paints the shown page whole, or these rectangles of it again.
  virtual void Paint() = 0;
  virtual void Repaint(std::span<const layout::Rect> rects) = 0;
  // One hover notice when the pointer rests (the hover looks).
  virtual void RequestHover() = 0;

  // Calls the host's Continue(what, detail) once the event being handled is
  // over: a modal dialog must not run inside a list's own notification.
  virtual void ContinueLater(int what, int detail) = 0;
  virtual std::optional<ui::Rgb> ChooseColor(ui::Rgb initial) = 0;
  // An empty caption means the application's name.
  virtual void ShowMessage(const std::wstring& text, const std::wstring& caption) = 0;
  // Every keystroke of the program goes to the host's Key until
  // StopKeyCapture; nothing, or the system's error code when it refused.
  virtual std::optional<int> StartKeyCapture() = 0;
  virtual void StopKeyCapture() = 0;
  virtual AssignmentDialogs& Dialogs() = 0;
};

}  // namespace kovral
