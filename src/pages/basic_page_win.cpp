#include "pages/basic_page_win.h"

#include "assign/assignment_flow.h"
#include "device/device_link.h"
#include "dialogs/assign_dialogs_win.h"
#include "macro/macro_store.h"
#include "lang/language.h"
#include "view/layout_win.h"
#include "pages/page_first_show.h"
#include "pages/page_state.h"
#include "settings/settings_session.h"
#include "ui/window_dpi_win.h"
#include "ui/window_win.h"
#include "ui/color_chooser.h"

namespace kovral {

CBasicPage::CBasicPage(const PageContext& context)
    : CPage(context),
      model_(context.settings.config, context.settings.ui, context.texts, context.image.activeSensorType) {}

int CBasicPage::Id() const { return kBasicPage; }

std::span<const layout::Element> CBasicPage::Elements() const { return layout::BasicElements(); }

Scene CBasicPage::BuildScene(const PageView& view, const LitTest& lit) const { return BuildBasicScene(view, lit); }

// The first showing in a run reads the sensor, whose type chooses the DPI
// table the scene draws.
void CBasicPage::Prepare() {
  FirstShowingOfBasicPage(context_.link, context_.image, context_.settings, context_.texts, context_.pages);
}

// The statics lie over hit areas of the page; without SS_NOTIFY they let the
// clicks through to the window.
HWND CBasicPage::MakeStatic(int id, const layout::Rect& rect, const std::wstring& text) {
  return ui::CreateChildAt(context_.window, L"STATIC", text.c_str(),
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_CENTER | SS_CENTERIMAGE, layout::ToRECT(rect),
                           id, context_.normalFont);
}

void CBasicPage::CreateChildren() {
  model_.Painted();
  for (int s = 1; s <= layout::kDpiStages; ++s)
    swatches_[s - 1].reset(MakeStatic(kDpiSwatchIdFirst + s - 1, layout::DpiColorRect(s), L""));
  for (int d = 1; d <= layout::kLightBoxes; ++d) {
    const LightControl& light = model_.Light(d);
    if (light.exists) lightTexts_[d - 1].reset(MakeStatic(layout::kLightTextIdBase + d, layout::LightTextRect(d), light.text));
  }
}

PageClickResult CBasicPage::OnClick(layout::Point p) {
  const BasicUpdate update = model_.Click(p);
  Execute(update);
  return {update.handled, {}};
}

bool CBasicPage::OnCommand(int id, int code) {
  const auto list = lists_.find(id);
  if (list == lists_.end()) return false;
  const std::optional<ui::ListEvent> event = ui::ListEventOf(list->second.get(), code);
  if (!event) return true;
  const int selection = static_cast<int>(SendMessageW(list->second.get(), LB_GETCURSEL, 0, 0));
  inListNotification_ = true;
  Execute(model_.ListEvent(id, *event, selection));
  inListNotification_ = false;
  return true;
}

bool CBasicPage::HotTracks(int controlId) const { return HotTracksList(kBasicPage, controlId); }

void CBasicPage::OnHotItem(int controlId, int item) {
  if (controlId > kDpiSubListId && controlId <= kDpiSubListId + layout::kKeyRowCount)
    Execute(model_.HoverFunction(controlId, item));
}

void CBasicPage::Execute(const BasicUpdate& u) {
  for (int id : u.close) CloseList(id);
  if (u.warning) context_.messages.Show(*u.warning, kCaptionWarning);
  if (u.open) OpenList(*u.open);
  if (u.focusList != 0) {
    if (const auto list = lists_.find(u.focusList); list != lists_.end()) SetFocus(list->second.get());
  }
  for (int id : u.refresh) {
    if (id >= kDpiSwatchIdFirst && id < kDpiSwatchIdFirst + 4) {
      InvalidateRect(swatches_[id - kDpiSwatchIdFirst].get(), nullptr, TRUE);
    } else {
      const int box = id - layout::kLightTextIdBase;
      if (HWND text = lightTexts_[box - 1].get()) SetWindowTextW(text, model_.Light(box).text.c_str());
    }
  }
  if (!u.redraw.empty()) context_.repaint(u.redraw);
  if (u.dialogFunction >= 0)
    PostMessageW(context_.window, WM_PAGE_CONTINUE, static_cast<WPARAM>(u.dialogFunction),
                 static_cast<LPARAM>(u.dialogButton));
  if (u.chooseColorStage != 0) {
    if (const std::optional<ui::Rgb> color = context_.colors.Choose(context_.window, u.chooseColorInitial))
      Execute(model_.SetDpiColor(u.chooseColorStage, *color));
  }
}

void CBasicPage::OnContinue(WPARAM function, LPARAM button) {
  const int b = static_cast<int>(button);
  if (b < 0 || b >= layout::kKeyRowCount) return;
  if (RunAssignmentDialog(static_cast<int>(function), b)) {
    const layout::Rect row = layout::KeyRowRect(b + 1);
    context_.repaint(std::span<const layout::Rect>(&row, 1));
  }
}

// The dialog's results become codes here, through the flow's lookups. A
// choice dialog ended with OK before anything was chosen changes nothing,
// like Cancel: it would store its first entry under a text that names none.
bool CBasicPage::RunAssignmentDialog(int function, int button) {
  DeviceConfig& config = context_.settings.config;
  UiSettings& ui = context_.settings.ui;
  const MainTexts& texts = context_.texts;
  switch (function) {
    case kFunctionWindows: {
      CWindowsDialog dialog(context_.dialogs);
      if (dialog.RunModal() != IDOK || !dialog.chosen) return false;
      StoreWindowsChoice(config, ui, button, dialog.position, dialog.text);
      return true;
    }
    case kFunctionWindows + 1: {
      CMediaDialog dialog(context_.dialogs);
      if (dialog.RunModal() != IDOK || !dialog.chosen) return false;
      StoreMediaChoice(config, ui, texts, button, dialog.position, dialog.text);
      return true;
    }
    case kFunctionWindows + 2: {
      CFireKeyDialog dialog(context_.dialogs);
      if (dialog.RunModal() != IDOK || !dialog.chosen) return false;
      StoreFireKey(config, ui, texts, button, dialog.position, dialog.text, dialog.speed, dialog.times);
      return true;
    }
    case kFunctionWindows + 3: {
      CSingleDialog dialog(context_.dialogs);
      if (dialog.RunModal() != IDOK) return false;
      StoreSingleKey(config, ui, texts, button, dialog.keyName);
      return true;
    }
    case kFunctionWindows + 4: {
      CComboDialog dialog(context_.dialogs);
      if (dialog.RunModal() != IDOK) return false;
      StoreComboKey(config, ui, texts, button, dialog.modifierName, dialog.firstKeyName, dialog.secondKeyName);
      return true;
    }
    case kFunctionMacro: {
      const std::wstring& recordIni = context_.settings.macroFile();
      std::vector<std::wstring> names;
      if (context_.settings.files().Exists(recordIni)) names = MacroNames(context_.settings.ini(), recordIni);
      CMacroDialog dialog(context_.dialogs, std::move(names));
      if (dialog.RunModal() != IDOK || !dialog.chosen) return false;
      StoreMacroKey(config, ui, texts, button, dialog.position, dialog.name, dialog.repeatMode);
      return true;
    }
    default:
      return false;
  }
}

void CBasicPage::CloseList(int id) {
  const auto it = lists_.find(id);
  if (it == lists_.end()) return;
  // Keys must keep reaching the window (Enter and Escape hide it).
  if (GetFocus() == it->second.get()) SetFocus(context_.window);
  if (inListNotification_) {
    // The list is still inside its own click: hide it now, destroy it later.
    ui::DestroyChildLater(it->second.release());
  }
  lists_.erase(it);
}

void CBasicPage::OpenList(const ListRequest& request) {
  layout::Rect rect = request.rect;
  if (request.besideList != 0) {
    // Beside the entry that opened it, at that entry's right edge and top.
    const auto beside = lists_.find(request.besideList);
    if (beside == lists_.end()) return;
    RECT item{};
    SendMessageW(beside->second.get(), LB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&item));
    POINT corner{item.right, item.top};
    MapWindowPoints(beside->second.get(), context_.window, &corner, 1);
    corner = ui::UnitPoint(corner, ui::WindowDpi(context_.window));
    rect = {corner.x, corner.y, corner.x + rect.Width(), corner.y + rect.Height()};
  }
  HWND list = ui::CreateChildAt(context_.window, L"LISTBOX", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_CLIPSIBLINGS | LBS_NOTIFY |
                                    LBS_NOINTEGRALHEIGHT,
                                layout::ToRECT(rect), request.id, context_.normalFont);
  if (!list) return;
  for (const std::wstring& item : request.items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SetWindowPos(list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // Keys only move the highlight; Enter and Esc are the list's.
  ui::WatchListKeys(list);
  // The wheel goes to the window with the focus: a list longer than its box
  // scrolls with it. The DPI sub-list takes it only from Enter on its entry.
  if (request.id != kDpiSubListId) SetFocus(list);
  lists_[request.id].reset(list);
}

}  // namespace kovral
