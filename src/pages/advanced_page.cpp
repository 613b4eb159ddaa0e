#include "pages/advanced_page.h"

#include <array>
#include <cstdio>

#include "lang/language.h"
#include "lang/messages.h"
#include "macro/macro_recorder.h"
#include "pages/page_click.h"
#include "pages/page_scene.h"
#include "pages/page_state.h"

namespace kovral {

using layout::Action;
using layout::Element;

namespace {

// What the page continues after a double click in the sequence list.
constexpr int kContinueDelayEdit = 1;

constexpr int kLoopCountLimit = 5;  // digits: 65535 at most

}  // namespace

layout::Rect PointerRowRect(int row) {
  const layout::Rect first = layout::PointerCellRect(row, 1);
  const layout::Rect last = layout::PointerCellRect(row, layout::kPointerCells);
  return {first.left, first.top, last.right, last.bottom};
}

AdvancedUpdate AdvancedPageModel::Click(layout::Point p) {
  using Entry = ClickEntry<AdvancedPageModel, AdvancedUpdate>;
  static constexpr std::array<Entry, 10> kClicks = {{
      {Action::PrecisionBox, &AdvancedPageModel::OnPrecisionBox},
      {Action::OneScreenBox, &AdvancedPageModel::OnOneScreenBox},
      {Action::PointerDefault, &AdvancedPageModel::OnPointerDefault},
      {Action::StartRecording, &AdvancedPageModel::OnMacroButton},
      {Action::StopRecording, &AdvancedPageModel::OnMacroButton},
      {Action::MacroNew, &AdvancedPageModel::OnMacroButton},
      {Action::MacroDelete, &AdvancedPageModel::OnMacroButton},
      {Action::MacroConfirm, &AdvancedPageModel::OnMacroButton},
      {Action::MouseEventBox, &AdvancedPageModel::OnMouseEventBox},
      {Action::PointerCell, &AdvancedPageModel::OnPointerCell},
  }};
  AdvancedUpdate u;
  // A click outside the open mouse-event list and its box closes the list.
  if (mouseEventListOpen_ && !layout::kMouseEventBox.Contains(p) && !layout::kMouseEventList.Contains(p)) {
    mouseEventListOpen_ = false;
    u.closeMouseEventList = true;
  }
  u.handled = DispatchClick<AdvancedPageModel, AdvancedUpdate>(
      *this, kClicks, layout::HitTest(layout::AdvancedElements(), p), u);
  return u;
}

void AdvancedPageModel::OnMacroButton(const Element& e, AdvancedUpdate& u) { u.macroAction = e.action; }

void AdvancedPageModel::OnMouseEventBox(const Element&, AdvancedUpdate& u) {
  mouseEventListOpen_ = !mouseEventListOpen_;
  (mouseEventListOpen_ ? u.openMouseEventList : u.closeMouseEventList) = true;
}

// The boxes and sliders change only the record; the system follows at OK
// or Apply, and only for what changed.
void AdvancedPageModel::OnPrecisionBox(const Element& e, AdvancedUpdate& u) {
  config_.enhancePrecision = config_.enhancePrecision == 1 ? 0 : 1;
  u.redraw.push_back(e.rect);
}

void AdvancedPageModel::OnOneScreenBox(const Element& e, AdvancedUpdate& u) {
  if (!pointer_.NoHomeReason(PointerSettingsApi::Setting::Wheel).empty()) return;
  config_.scrollOneScreen = config_.scrollOneScreen == 1 ? 0 : 1;
  u.redraw.push_back(e.rect);
}

// Setting a scroll step leaves "Scroll One Screen" as it is.
// A setting the desktop does not keep cannot be changed.
void AdvancedPageModel::OnPointerCell(const Element& e, AdvancedUpdate& u) {
  if (e.index == 2 && !pointer_.NoHomeReason(PointerSettingsApi::Setting::Wheel).empty()) return;
  uint8_t* steps[layout::kPointerRows] = {&config_.pointerSpeed, &config_.scrollLines, &config_.doubleClickSpeed};
  *steps[e.index - 1] = static_cast<uint8_t>(e.step);
  u.redraw.push_back(PointerRowRect(e.index));
}

// Default sets the system at once, then shows the record's default steps.
void AdvancedPageModel::OnPointerDefault(const Element&, AdvancedUpdate& u) {
  pointer_.RestoreDefaults(config_);
  u.redraw.push_back(layout::kPrecisionBox);
  u.redraw.push_back(layout::kOneScreenBox);
  for (int row = 1; row <= layout::kPointerRows; ++row) u.redraw.push_back(PointerRowRect(row));
}

AdvancedPage::AdvancedPage(const PageContext& context)
    : context_(context), model_(context.settings.config, context.pointer), panel_(context.settings, context.texts) {}

int AdvancedPage::Id() const { return kAdvancedPage; }

std::span<const layout::Element> AdvancedPage::Elements() const { return layout::AdvancedElements(); }

Scene AdvancedPage::BuildScene(const PageView& view, const LitTest& lit) const {
  return BuildAdvancedScene(view, lit);
}

// The sliders show the system's settings as they are when the page is first
// shown in a run; afterwards they show the record.
void AdvancedPage::Prepare() { context_.pointer.ReadOnce(context_.settings.config); }

// Loading a macro drops the sequence shown: a key in the macro list only
// moves the highlight, Enter loads, Esc puts the highlight back.
void AdvancedPage::CreateChildren() {
  PageShell& shell = context_.shell;
  shell.MakeText(layout::kMouseEventTextId, layout::kMouseEventText, L"");
  shell.MakeEdit(layout::kMacroNameEditId, layout::kMacroNameEdit, static_cast<int>(kMacroNameLimit), false);
  shell.MakeEdit(layout::kLoopCountEditId, layout::kLoopCountEdit, kLoopCountLimit, true);
  shell.MakeList(layout::kMacroListId, layout::kMacroList, true);
  shell.MakeList(layout::kSequenceListId, layout::kSequenceList, false);
  // Over the row and its step numbers, which mean nothing then; in the
  // interface's language (the system's reason is for logs and tests).
  const layout::Rect row = PointerRowRect(2);
  if (!context_.pointer.NoHomeReason(PointerSettingsApi::Setting::Wheel).empty())
    shell.MakeText(kNoWheelTextId, {row.left, row.top, row.right, row.bottom + 24}, context_.texts.noWheelSetting);
  made_ = true;
  panel_.Fill();
  Sync();
}

// A recording ends with its page; the window's title must not keep asking
// for a key that stops nothing any more.
void AdvancedPage::Leave() {
  if (recording_) EndCapture();
}

void AdvancedPage::EndCapture() {
  context_.shell.StopKeyCapture();
  if (recording_) context_.shell.SetTitle(L"");
  recording_ = false;
}

void AdvancedPage::Sync() {
  context_.shell.SetListItems(layout::kMacroListId, panel_.names(), panel_.selected());
  context_.shell.SetText(layout::kMacroNameEditId, panel_.nameText());
  context_.shell.SetText(layout::kLoopCountEditId, panel_.loopText());
  SyncSequence();
}

void AdvancedPage::SyncSequence() {
  context_.shell.SetListItems(layout::kSequenceListId, panel_.sequence(), panel_.selectedEntry());
}

void AdvancedPage::Tell(const std::optional<PanelMessage>& message) {
  if (message) context_.shell.ShowMessage(message->text, message->caption);
}

PageClickResult AdvancedPage::Click(layout::Point p) {
  const AdvancedUpdate update = model_.Click(p);
  if (update.closeMouseEventList) context_.shell.CloseList(layout::kMouseEventListId);
  if (update.openMouseEventList)
    context_.shell.OpenList(layout::kMouseEventListId, layout::kMouseEventList, MouseEventChoices9(), false);
  if (update.macroAction != Action::None) RunMacroButton(update.macroAction);
  return {update.handled, update.redraw};
}

void AdvancedPage::RunMacroButton(Action action) {
  switch (action) {
    case Action::MacroNew:
      Tell(panel_.New(context_.shell.Text(layout::kMacroNameEditId)));
      break;
    case Action::MacroDelete:
      Tell(panel_.Delete());
      break;
    case Action::MacroConfirm:
      Tell(panel_.Confirm());
      break;
    case Action::StartRecording:
      StartRecording();
      return;
    case Action::StopRecording:
      StopRecording();
      return;
    default:
      return;
  }
  Sync();
}

// As for Stop, no capture sees the keys that close the box; the key that
// closes it is still down, or its release still queued, when the capture
// comes, and the recorder takes no release or repeat of a key pressed
// before it.
void AdvancedPage::StartRecording() {
  if (const auto refusal = panel_.CanStartRecording()) {
    Tell(refusal);
    return;
  }
  EndCapture();
  context_.shell.ShowMessage(context_.texts.startRecording, L"");
  panel_.StartRecording();
  SyncSequence();
  if (const std::optional<int> error = context_.shell.StartKeyCapture()) {
    wchar_t text[128];
    std::swprintf(text, 128, kMsgRecorderHookFailed, *error);
    context_.shell.ShowMessage(text, L"");
    return;
  }
  recording_ = true;
  context_.shell.SetTitle(context_.texts.recordingHint);
}

// The capture goes before the box is shown: the key that dismisses the box
// (Enter, Space) would otherwise be recorded, often as a press without its
// release, which leaves a key held when the mouse plays the macro.
void AdvancedPage::StopRecording() {
  if (!recording_) {
    context_.shell.ShowMessage(context_.texts.stopRecording, L"");
    context_.shell.ShowMessage(context_.texts.notRecording, kCaptionWarning);
    return;
  }
  EndCapture();
  panel_.StopRecording();
  context_.shell.ShowMessage(context_.texts.stopRecording, L"");
}

void AdvancedPage::Key(const std::wstring& name, bool released, bool wasDown) {
  if (!recording_) return;
  if (const auto key = panel_.FilterKey(name, released, wasDown)) {
    panel_.RecordKey(*key, name);
    SyncSequence();
  }
}

void AdvancedPage::EditChanged(int editId) {
  if (editId == layout::kLoopCountEditId) panel_.LoopCountTyped(context_.shell.Text(editId));
}

void AdvancedPage::EditLeft(int editId) {
  if (editId == layout::kLoopCountEditId) CommitEdits();
}

void AdvancedPage::CommitEdits() {
  if (made_ && panel_.CommitLoopCount()) context_.shell.SetText(layout::kLoopCountEditId, panel_.loopText());
}

void AdvancedPage::ListEvent(int listId, ui::ListEvent event, int selection) {
  if (listId == layout::kMacroListId) {
    MacroListEvent(event, selection);
  } else if (listId == layout::kSequenceListId) {
    // The dialog runs once the list has finished with its double click.
    if (event == ui::ListEvent::DoubleClicked) {
      if (panel_.DelaySelected()) context_.shell.ContinueLater(kContinueDelayEdit, 0);
    } else if (event == ui::ListEvent::PointerSelected || event == ui::ListEvent::KeySelected) {
      panel_.SelectEntry(selection);
    }
  } else if (listId == layout::kMouseEventListId) {
    MouseEventListEvent(event, selection);
  }
}

// A double click follows the click that loaded the macro already.
void AdvancedPage::MacroListEvent(ui::ListEvent event, int selection) {
  if (event == ui::ListEvent::DoubleClicked) return;
  switch (ui::AnswerListEvent(event)) {
    case ui::ListAnswer::Choose:
      panel_.Select(selection);
      Sync();
      break;
    case ui::ListAnswer::Follow:
      break;
    case ui::ListAnswer::Dismiss:
      context_.shell.SetListSelection(layout::kMacroListId, panel_.selected());
      context_.shell.Focus(0);  // the next Esc hides the window, as everywhere else
      break;
  }
}

void AdvancedPage::MouseEventListEvent(ui::ListEvent event, int selection) {
  if (!model_.mouseEventListOpen()) return;
  const ui::ListAnswer answer = ui::AnswerListEvent(event);
  if (answer == ui::ListAnswer::Follow) return;
  const int choice = answer == ui::ListAnswer::Choose ? selection : -1;
  model_.MouseEventListClosed();
  const std::vector<std::wstring>& choices = MouseEventChoices9();
  if (choice >= 0 && choice < static_cast<int>(choices.size())) {
    panel_.InsertMouseEvent(choices[choice]);
    context_.shell.SetText(layout::kMouseEventTextId, choices[choice]);
    SyncSequence();
  }
  context_.shell.CloseList(layout::kMouseEventListId);
}

void AdvancedPage::Continue(int what, int) {
  if (what != kContinueDelayEdit || !panel_.DelaySelected()) return;
  const std::optional<DelayTimeResult> delay = context_.shell.Dialogs().RunDelayDialog();
  if (!delay) return;
  panel_.SetSelectedDelay(delay->delayValue, delay->delayText);
  SyncSequence();
}

// Insertions follow the entry last pointed at.
void AdvancedPage::HotItem(int listId, int item) {
  if (listId == layout::kSequenceListId) panel_.SelectEntry(item);
}

}  // namespace kovral
