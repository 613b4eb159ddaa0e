#pragma once
// What a window system gives a skinned dialog's model: controls by id at
// rectangles of the dialog's units, the pop-up list, repainting parts of the
// picture, the end of the dialog, message boxes and key capture. The model
// decides; a shell (Win32 today) only makes windows and hands events back.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "view/layout.h"

namespace kovral {

enum class ControlKind { Static, Edit, Button, CheckBox, List };

struct ControlRequest {
  ControlKind kind = ControlKind::Static;
  int id = 0;
  layout::Rect rect;
  std::wstring text;
  bool centred = false;     // text centred across; else from the left
  bool digitsOnly = false;  // an edit that takes digits only
  bool framed = false;      // an edit with a border
  bool tabStop = false;     // Tab stops at it
  int limit = 0;            // most characters an edit takes; 0: no limit of ours
};

// What happened to a control other than a list's selection.
enum class ControlEvent { Changed, FocusLost, Clicked };

// A keystroke as the key tables name it; `released` and `wasDown` as the
// system reports them with the key (key up; the key was down before).
struct DialogKey {
  std::wstring name;
  bool released = false;
  bool wasDown = false;
};

class DialogShell {
 public:
  virtual ~DialogShell() = default;

  virtual void CreateControl(const ControlRequest& request) = 0;
  virtual void SetText(int id, const std::wstring& text) = 0;
  virtual std::wstring Text(int id) const = 0;
  virtual void Enable(int id, bool enable) = 0;
  virtual void Show(int id, bool show) = 0;
  virtual void Focus(int id) = 0;
  virtual bool HasFocus(int id) const = 0;
  // Paints a control again (its colours changed).
  virtual void RedrawControl(int id) = 0;

  // A list control's entries, the highlighted one (-1: none) and scrolling
  // by lines (up when negative). The pop-up list is such a list too.
  virtual void SetListItems(int id, const std::vector<std::wstring>& items) = 0;
  virtual void SelectListItem(int id, int index) = 0;
  virtual int ListSelection(int id) const = 0;
  virtual void ScrollList(int id, int lines) = 0;

  // The pop-up list above the other controls, with the keyboard; false when
  // it could not be made.
  virtual bool OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items) = 0;
  virtual void CloseList() = 0;

  virtual void Repaint(const std::vector<layout::Rect>& rects) = 0;
  virtual void End(bool ok) = 0;

  // An empty caption is the program's name. Ask is Yes/No with No the default.
  virtual void Tell(const std::wstring& text, const std::wstring& caption) = 0;
  virtual bool Ask(const std::wstring& question, const std::wstring& caption) = 0;

  // Every keystroke, also those meant for the dialog, goes to the model's
  // OnCapturedKey until the dialog ends. Nothing when capturing, else the
  // system's error code.
  virtual std::optional<int> StartKeyCapture() = 0;
  virtual void StopKeyCapture() = 0;

  // The window a colour or file chooser belongs to.
  virtual void* ChooserOwner() = 0;
  // Measuring in the dialog's font: a text's width in device pixels, the
  // font's line height in units, and the device pixels per 96 units.
  virtual int TextWidth(std::wstring_view text) = 0;
  virtual int LineHeight() const = 0;
  virtual int Dpi() const = 0;
};

}  // namespace kovral
