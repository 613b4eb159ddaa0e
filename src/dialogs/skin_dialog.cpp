#include "dialogs/skin_dialog.h"

namespace kovral {
namespace {

DialogKind TextKindOf(layout::DialogKind kind) { return static_cast<DialogKind>(static_cast<int>(kind)); }

}  // namespace

// The dialogs of the basic page's rows and of the macro panel work on the
// window's record, which hides with the window until the mouse is back: an
// OK given to one afterwards would change a record nobody sees. The others
// (the skin chooser, the Profiles and Preferences dialogs) need no mouse and stay.
bool DialogEndsWithTheDevice(layout::DialogKind kind) {
  switch (kind) {
    case layout::DialogKind::Single:
    case layout::DialogKind::Windows:
    case layout::DialogKind::Media:
    case layout::DialogKind::FireKey:
    case layout::DialogKind::Macro:
    case layout::DialogKind::Combo:
    case layout::DialogKind::DelayTime:
      return true;
    default:
      return false;
  }
}

SkinDialogModel::SkinDialogModel(layout::DialogKind kind, DialogEnvironment environment)
    : kind_(kind),
      environment_(std::move(environment)),
      language_(LanguageFromCode(environment_.languageCode)),
      frameTexts_(DialogFrameTextsFor(language_)) {
  hover_.SetTables({layout::DialogFrameElements()});
}

// Without its face the dialog would be an invisible modal window the user
// cannot close: it says so and ends as if cancelled.
void SkinDialogModel::OnFaceMissing() {
  shell().Tell(kDialogImageFailedText, DialogImageFailedTitle(TextKindOf(kind_)));
  End(false);
}

std::optional<int> SkinDialogModel::StartKeyCapture() {
  const std::optional<int> error = shell().StartKeyCapture();
  capturing_ = !error;
  return error;
}

// The keyboard is given back before the dialog goes.
void SkinDialogModel::End(bool ok) {
  if (capturing_) shell().StopKeyCapture();
  capturing_ = false;
  shell().End(ok);
}

void SkinDialogModel::AddHoverTable(std::span<const layout::Element> table) {
  hover_.SetTables({layout::DialogFrameElements(), table});
}

// A click outside the open list and the field that opened it closes the
// list first; the click then does what it does with no list open.
void SkinDialogModel::OnClick(layout::Point p) {
  if (listOpen() && !listRect_.Contains(p) && !listField_.Contains(p)) {
    CloseList();
    OnListDismissed();
  }
  switch (RouteFrameClick(p)) {
    case FrameClick::Ok:
      OnOk();
      return;
    case FrameClick::Cancel:
      OnCancel();
      return;
    case FrameClick::None:
      break;
  }
  OnFieldClick(p);
}

bool SkinDialogModel::OnMouseMove(layout::Point p) {
  bool track = false;
  const std::vector<layout::Rect> rects = hover_.OnMouseMove(p, track).Rects();
  if (!rects.empty()) shell().Repaint(rects);
  return track;
}

void SkinDialogModel::OnMouseHover(layout::Point p) {
  const std::vector<layout::Rect> rects = hover_.OnMouseHover(p).Rects();
  if (!rects.empty()) shell().Repaint(rects);
}

// Three lines of the open list per notch, down for a notch towards the user.
void SkinDialogModel::OnWheel(int delta) {
  if (listOpen()) shell().ScrollList(listId_, delta > 0 ? -3 : 3);
}

void SkinDialogModel::OnListEvent(int id, ui::ListEvent event) {
  if (id != listId_ || !listOpen()) {
    if (event == ui::ListEvent::PointerSelected || event == ui::ListEvent::KeySelected) OnListSelected(id);
    return;
  }
  switch (ui::AnswerListEvent(event)) {
    case ui::ListAnswer::Choose:
      OnListChoice(id, shell().ListSelection(id));
      return;
    case ui::ListAnswer::Follow:
      return;
    case ui::ListAnswer::Dismiss:
      CloseList();
      OnListDismissed();
      return;
  }
}

void SkinDialogModel::OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items,
                               const layout::Rect& field) {
  CloseList();
  if (!shell().OpenList(id, rect, items)) return;
  listId_ = id;
  listRect_ = rect;
  listField_ = field;
}

void SkinDialogModel::CloseList() {
  if (!listOpen()) return;
  listId_ = 0;
  shell().CloseList();
}

Scene SkinDialogModel::BuildScene() const {
  const LitTest lit = [this](const layout::Element& e) { return hover_.IsLit(&e); };
  return BuildDialogScene(layout::DialogFaceOf(kind_).background, frameTexts_, environment_.textColor, lit,
                          [this](Scene& scene) { AddOwnTexts(scene); });
}

}  // namespace kovral
