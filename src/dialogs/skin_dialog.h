#pragma once
// The frame every skinned dialog shares, apart from its window: OK, Cancel
// and the close cross lit under the pointer, the pop-up list that a click
// elsewhere closes, the wheel, and what ends the dialog. A dialog's model
// adds its controls, texts, clicks and results.
#include <optional>
#include <span>
#include <vector>

#include "dialogs/dialog_environment.h"
#include "dialogs/dialog_face.h"
#include "dialogs/dialog_shell.h"
#include "lang/dialog_texts.h"
#include "lang/language.h"
#include "ui/list_choice.h"
#include "view/page_hover.h"

namespace kovral {

// The dialogs that work on the window's record end with the mouse.
bool DialogEndsWithTheDevice(layout::DialogKind kind);

class SkinDialogModel {
 public:
  SkinDialogModel(layout::DialogKind kind, DialogEnvironment environment);
  virtual ~SkinDialogModel() = default;
  SkinDialogModel(const SkinDialogModel&) = delete;
  SkinDialogModel& operator=(const SkinDialogModel&) = delete;

  void Attach(DialogShell& shell) { shell_ = &shell; }

  // What the shell hands on.
  void OnFaceMissing();
  virtual void Open() {}  // the face is up: the controls
  void OnClick(layout::Point p);
  bool OnMouseMove(layout::Point p);  // true: ask for a hover notice
  void OnMouseHover(layout::Point p);
  virtual void OnWheel(int delta);
  void OnListEvent(int id, ui::ListEvent event);
  virtual void OnControlEvent(int id, ControlEvent event) {}
  // A key on its way to the dialog: true keeps it from the dialog keys
  // (Enter is OK, Esc Cancel).
  virtual bool SwallowsKey(const DialogKey& key) const { return false; }
  virtual void OnCapturedKey(const DialogKey& key) {}
  virtual void OnOk() { End(true); }
  void OnCancel() { End(false); }

  Scene BuildScene() const;
  virtual ControlColors ColorsFor(int controlId, ControlType type) const { return DialogControlColors(kind_, type); }
  layout::DialogKind kind() const { return kind_; }
  const DialogEnvironment& environment() const { return environment_; }
  UiLanguage language() const { return language_; }
  bool listOpen() const { return listId_ != 0; }

 protected:
  virtual void AddOwnTexts(Scene& scene) const {}
  // A click outside the frame's buttons.
  virtual void OnFieldClick(layout::Point p) {}
  // Choose in the open pop-up list (the model closes it when it takes the entry).
  virtual void OnListChoice(int id, int index) {}
  // The pop-up list closed without a choice.
  virtual void OnListDismissed() {}
  // A selection in a list control that stays.
  virtual void OnListSelected(int id) {}

  DialogShell& shell() const { return *shell_; }
  // Key capture until the dialog ends; nothing when capturing, else the error code.
  std::optional<int> StartKeyCapture();
  void End(bool ok);
  void OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items, const layout::Rect& field);
  void CloseList();
  int openListId() const { return listId_; }
  void AddHoverTable(std::span<const layout::Element> table);
  bool IsLit(const layout::Element& element) const { return hover_.IsLit(&element); }

 private:
  layout::DialogKind kind_;
  DialogEnvironment environment_;
  UiLanguage language_;
  DialogFrameTexts frameTexts_;
  HoverTracker hover_;
  DialogShell* shell_ = nullptr;
  bool capturing_ = false;
  int listId_ = 0;
  layout::Rect listRect_;
  layout::Rect listField_;
};

}  // namespace kovral
