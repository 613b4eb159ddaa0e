#include "pages/advanced_page_win.h"

#include <cstdio>

#include "dialogs/assign_dialogs_win.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "pages/page_pointer.h"
#include "pages/page_state.h"
#include "settings/settings_session.h"
#include "ui/window_dpi_win.h"
#include "ui/window_win.h"
#include "view/layout_win.h"

namespace kovral {
namespace {

constexpr WPARAM kContinueDelayEdit = 1;

std::wstring TextOf(HWND control) {
  wchar_t buffer[256] = {};
  GetWindowTextW(control, buffer, 256);
  return buffer;
}

void FillList(HWND list, const std::vector<std::wstring>& items, int selected) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

CAdvancedPage::CAdvancedPage(const PageContext& context)
    : CPage(context), model_(context.settings.config, context.pointer), panel_(context.settings, context.texts) {}

int CAdvancedPage::Id() const { return kAdvancedPage; }

std::span<const layout::Element> CAdvancedPage::Elements() const { return layout::AdvancedElements(); }

Scene CAdvancedPage::BuildScene(const PageView& view, const LitTest& lit) const {
  return BuildAdvancedScene(view, lit);
}

// The sliders show the system's settings as they are when the page is first
// shown in a run; afterwards they show the record.
void CAdvancedPage::Prepare() { context_.pointer.ReadOnce(context_.settings.config); }

HWND CAdvancedPage::Make(const wchar_t* className, int id, const layout::Rect& rect, DWORD style, bool adopt) {
  HWND control = ui::CreateChildAt(context_.window, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                                   layout::ToRECT(rect), id, context_.normalFont);
  return adopt ? Adopt(control) : control;
}

void CAdvancedPage::CreateChildren() {
  eventText_ = Make(L"STATIC", layout::kMouseEventTextId, layout::kMouseEventText, SS_CENTER | SS_CENTERIMAGE);
  nameEdit_ = Make(L"EDIT", layout::kMacroNameEditId, layout::kMacroNameEdit, ES_CENTER | ES_AUTOHSCROLL);
  SendMessageW(nameEdit_, EM_LIMITTEXT, kMacroNameLimit, 0);
  loopEdit_ = Make(L"EDIT", layout::kLoopCountEditId, layout::kLoopCountEdit, ES_CENTER | ES_NUMBER);
  SendMessageW(loopEdit_, EM_LIMITTEXT, 5, 0);
  macroList_ = Make(L"LISTBOX", layout::kMacroListId, layout::kMacroList, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL);
  // Loading a macro drops the sequence shown: a key in the list only moves
  // the highlight, Enter loads, Esc puts the highlight back.
  ui::WatchListKeys(macroList_);
  sequenceList_ =
      Make(L"LISTBOX", layout::kSequenceListId, layout::kSequenceList, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL);
  panel_.Fill();
  Sync();
}

void CAdvancedPage::SetText(HWND control, const std::wstring& text) {
  syncing_ = true;
  SetWindowTextW(control, text.c_str());
  syncing_ = false;
}

void CAdvancedPage::Sync() {
  FillList(macroList_, panel_.names(), panel_.selected());
  SetText(nameEdit_, panel_.nameText());
  SetText(loopEdit_, panel_.loopText());
  SyncSequence();
}

void CAdvancedPage::SyncSequence() { FillList(sequenceList_, panel_.sequence(), panel_.selectedEntry()); }

void CAdvancedPage::Tell(const std::optional<PanelMessage>& message) {
  if (message) context_.messages.Show(message->text, message->caption);
}

PageClickResult CAdvancedPage::OnClick(layout::Point p) {
  const AdvancedUpdate update = model_.Click(p);
  if (update.closeMouseEventList) CloseMouseEventList(false);
  if (update.openMouseEventList) {
    eventList_.reset(Make(L"LISTBOX", layout::kMouseEventListId, layout::kMouseEventList,
                          WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, /*adopt=*/false));
    FillList(eventList_.get(), MouseEventChoices9(), -1);
    ui::WatchListKeys(eventList_.get());
    SetWindowPos(eventList_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  if (update.macroAction != layout::Action::None) RunMacroButton(update.macroAction);
  return {update.handled, update.redraw};
}

void CAdvancedPage::CloseMouseEventList(bool fromItsOwnNotification) {
  if (!eventList_) return;
  HWND list = eventList_.release();
  if (!fromItsOwnNotification) {
    DestroyWindow(list);
    return;
  }
  ui::DestroyChildLater(list);
}

void CAdvancedPage::RunMacroButton(layout::Action action) {
  using layout::Action;
  switch (action) {
    case Action::MacroNew:
      Tell(panel_.New(TextOf(nameEdit_)));
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

void CAdvancedPage::StartRecording() {
  if (const auto refusal = panel_.CanStartRecording()) {
    Tell(refusal);
    return;
  }
  // As for Stop, no hook sees the keys that close the box; the key that
  // closes it is still down, or its release still queued, when the hook
  // comes, and the recorder takes no release or repeat of a key pressed
  // before it.
  hook_.Remove();
  context_.messages.Show(context_.texts.startRecording, L"");
  panel_.StartRecording();
  SyncSequence();
  if (!hook_.Install(*this)) {
    wchar_t text[128];
    std::swprintf(text, 128, kMsgRecorderHookFailed, static_cast<int>(GetLastError()));
    context_.messages.Show(text, L"");
    return;
  }
  SetWindowTextW(context_.window, context_.texts.recordingHint);
}

// The hook goes before the box is shown: the key that dismisses the box
// (Enter, Space) would otherwise be recorded, often as a press without its
// release, which leaves a key held when the mouse plays the macro.
void CAdvancedPage::StopRecording() {
  if (!hook_.installed()) {
    context_.messages.Show(context_.texts.stopRecording, L"");
    context_.messages.Show(context_.texts.notRecording, kCaptionWarning);
    return;
  }
  hook_.Remove();
  panel_.StopRecording();
  context_.messages.Show(context_.texts.stopRecording, L"");
}

void CAdvancedPage::OnHookedKey(WPARAM virtualKey, LPARAM keyData) {
  std::wstring name = KeyNameOfHookedKey(keyData);
  if (name.empty()) {
    wchar_t fallback[32];
    std::swprintf(fallback, 32, L"virtual-key code :%x", static_cast<unsigned>(virtualKey));
    name = fallback;
  }
  const bool released = (keyData & (1u << 31)) != 0;
  const bool wasDown = (keyData & (1u << 30)) != 0;
  if (const auto key = panel_.FilterKey(name, released, wasDown)) {
    panel_.RecordKey(*key, name);
    SyncSequence();
  }
}

bool CAdvancedPage::OnCommand(int id, int code) {
  if (id == layout::kLoopCountEditId) {
    if (code == EN_CHANGE && !syncing_) panel_.LoopCountTyped(TextOf(loopEdit_));
    if (code == EN_KILLFOCUS && panel_.CommitLoopCount()) SetText(loopEdit_, panel_.loopText());
    return true;
  }
  if (id == layout::kMacroNameEditId) return true;
  if (id == layout::kMacroListId) {
    // A double click follows the click that loaded the macro already.
    const std::optional<ui::ListEvent> event = ui::ListEventOf(macroList_, code);
    if (!event || *event == ui::ListEvent::DoubleClicked) return true;
    switch (ui::AnswerListEvent(*event)) {
      case ui::ListAnswer::Choose:
        panel_.Select(static_cast<int>(SendMessageW(macroList_, LB_GETCURSEL, 0, 0)));
        Sync();
        break;
      case ui::ListAnswer::Follow:
        break;
      case ui::ListAnswer::Dismiss:
        SendMessageW(macroList_, LB_SETCURSEL, static_cast<WPARAM>(panel_.selected()), 0);
        SetFocus(context_.window);  // the next Esc hides the window, as everywhere else
        break;
    }
    return true;
  }
  if (id == layout::kSequenceListId) {
    if (code == LBN_SELCHANGE) panel_.SelectEntry(static_cast<int>(SendMessageW(sequenceList_, LB_GETCURSEL, 0, 0)));
    // The dialog runs once the list has finished with its double click.
    if (code == LBN_DBLCLK && panel_.DelaySelected())
      PostMessageW(context_.window, WM_PAGE_CONTINUE, kContinueDelayEdit, 0);
    return true;
  }
  if (id == layout::kMouseEventListId && eventList_) {
    const std::optional<ui::ListEvent> event = ui::ListEventOf(eventList_.get(), code);
    if (!event) return true;
    const ui::ListAnswer answer = ui::AnswerListEvent(*event);
    if (answer == ui::ListAnswer::Follow) return true;
    const int choice =
        answer == ui::ListAnswer::Choose ? static_cast<int>(SendMessageW(eventList_.get(), LB_GETCURSEL, 0, 0)) : -1;
    model_.MouseEventListClosed();
    if (choice >= 0 && choice < static_cast<int>(MouseEventChoices9().size())) {
      panel_.InsertMouseEvent(MouseEventChoices9()[choice]);
      SetWindowTextW(eventText_, MouseEventChoices9()[choice].c_str());
      SyncSequence();
    }
    CloseMouseEventList(true);
    return true;
  }
  return false;
}

void CAdvancedPage::OnContinue(WPARAM what, LPARAM) {
  if (what != kContinueDelayEdit || !panel_.DelaySelected()) return;
  CDelayTimeDialog dialog(context_.dialogs);
  if (dialog.RunModal() != IDOK) return;
  panel_.SetSelectedDelay(dialog.delayValue, dialog.delayText);
  SyncSequence();
}

void CAdvancedPage::CommitEdits() {
  if (loopEdit_ && panel_.CommitLoopCount()) SetText(loopEdit_, panel_.loopText());
}

bool CAdvancedPage::HotTracks(int controlId) const { return HotTracksList(kAdvancedPage, controlId); }

// Insertions follow the entry last pointed at.
void CAdvancedPage::OnHotItem(int controlId, int item) {
  if (controlId == layout::kSequenceListId) panel_.SelectEntry(item);
}

}  // namespace kovral
