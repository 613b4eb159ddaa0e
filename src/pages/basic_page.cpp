#include "pages/basic_page.h"

#include <algorithm>
#include <array>
#include <span>

#include "assign/assignment_flow.h"
#include "lang/dpi_labels.h"
#include "lang/language.h"
#include "macro/macro_store.h"
#include "pages/page_click.h"
#include "pages/page_first_show.h"
#include "pages/page_scene.h"
#include "pages/page_state.h"
#include "settings/settings_session.h"

namespace kovral {
namespace {

using layout::Action;
using layout::Element;

constexpr int kLightModeListId = layout::kLightModeListId;
constexpr int kLightParameterListId = layout::kLightParameterListId;
constexpr int kLightEffectListId = layout::kLightEffectListId;
constexpr int kLightTextIdFirst = layout::kLightTextIdBase + 1;  // 80, 81, 82
constexpr uint8_t kReportRates[layout::kReportRateSegments] = {8, 4, 2, 1};

int EditedModeOf(const DeviceConfig& c) { return c.editedMode == 1 ? 1 : 0; }

std::vector<std::wstring> Items(std::span<const wchar_t* const> texts) { return {texts.begin(), texts.end()}; }

// The lighting list of a box and the rectangle its window takes. The
// parameter list's height follows the number of values the mode offers.
struct LightList {
  layout::Rect rect;
  std::vector<std::wstring> items;
};

}  // namespace

std::wstring LightParameterText(const DeviceConfig& c) {
  switch (c.lightMode) {
    case 1: return BrightnessText(c.lightBrightness);
    case 2: return RespirationPeriodText(c.respirationPeriod);
    case 3: return NeonPeriodText(c.neonPeriod);
    default: return L"";
  }
}

std::wstring LightEffectTextOf(const DeviceConfig& c, const MainTexts& texts) {
  switch (c.lightMode) {
    case 1: return LightEffectText(texts, c.standardEffect);
    case 2: return LightEffectText(texts, c.respirationEffect);
    case 3: return LightEffectText(texts, c.neonEffect);
    default: return L"";
  }
}

BasicPageModel::BasicPageModel(DeviceConfig& config, UiSettings& ui, const MainTexts& texts,
                               const uint8_t& sensorType)
    : config_(config), ui_(ui), texts_(texts), sensorType_(sensorType) {}

void BasicPageModel::Painted() {
  const bool modeWithValues = config_.lightMode >= 1 && config_.lightMode <= 3;
  light_[0] = {true, LightModeText(texts_, config_.lightMode)};
  light_[1] = {modeWithValues, modeWithValues ? LightParameterText(config_) : L""};
  light_[2] = {modeWithValues, modeWithValues ? LightEffectTextOf(config_, texts_) : L""};
}

int BasicPageModel::LevelCount() const { return static_cast<int>(DpiStepLabels(sensorType_).size()); }

layout::Rect BasicPageModel::StageColumn(int stage) const {
  const layout::Rect top = layout::DpiCellRect(stage, layout::kDpiMaxLevels);
  const layout::Rect bottom = layout::DpiCellRect(stage, 1);
  return {top.left, top.top, top.right, bottom.bottom};
}

void BasicPageModel::CloseKeyList(BasicUpdate& u) {
  if (dpiSubListOpen_) u.close.push_back(kDpiSubListId);
  if (openRow_ != 0) u.close.push_back(kDpiSubListId + openRow_);
  dpiSubListOpen_ = false;
  openRow_ = 0;
}

void BasicPageModel::CloseLightList(BasicUpdate& u) {
  if (openLight_ != 0) u.close.push_back(kLightModeListId + openLight_ - 1);
  openLight_ = 0;
  lightItems_.clear();
}

// A click outside an open list and its box closes the list; a click inside
// a list window never comes here, since the list takes it itself.
BasicUpdate BasicPageModel::CloseListsOutside(layout::Point p) {
  BasicUpdate u;
  if (openRow_ != 0 && !layout::KeyRowRect(openRow_).Contains(p) && !layout::KeyListRect(openRow_).Contains(p))
    CloseKeyList(u);
  if (openLight_ != 0 && !layout::LightBoxRect(openLight_).Contains(p)) CloseLightList(u);
  return u;
}

BasicUpdate BasicPageModel::Click(layout::Point p) {
  using Entry = ClickEntry<BasicPageModel, BasicUpdate>;
  static constexpr std::array<Entry, 9> kClicks = {{
      {Action::ModeA, &BasicPageModel::OnModeTab},
      {Action::ModeB, &BasicPageModel::OnModeTab},
      {Action::KeyDefault, &BasicPageModel::OnKeyDefault},
      {Action::KeyRow, &BasicPageModel::OnKeyRow},
      {Action::ReportRate, &BasicPageModel::OnReportRate},
      {Action::DpiSelect, &BasicPageModel::OnDpiSelect},
      {Action::DpiColor, &BasicPageModel::OnDpiColor},
      {Action::LightBox, &BasicPageModel::OnLightBox},
      {Action::DpiCell, &BasicPageModel::OnDpiCell},
  }};
  BasicUpdate u = CloseListsOutside(p);
  u.handled = DispatchClick<BasicPageModel, BasicUpdate>(*this, kClicks, layout::HitTestBasic(p, sensorType_), u);
  return u;
}

void BasicPageModel::RedrawRows(BasicUpdate& u) const {
  for (int k = 1; k <= layout::kKeyRowCount; ++k) u.redraw.push_back(layout::KeyRowRect(k));
}

void BasicPageModel::OnModeTab(const Element& e, BasicUpdate& u) {
  SelectMode(config_, e.action == Action::ModeB ? 1 : 0);
  u.redraw.push_back(layout::kModeATab);
  u.redraw.push_back(layout::kModeBTab);
  RedrawRows(u);
}

void BasicPageModel::OnKeyDefault(const Element&, BasicUpdate& u) {
  RestoreDefaultAssignment(config_, ui_, texts_);
  RedrawRows(u);
}

void BasicPageModel::OnKeyRow(const Element& e, BasicUpdate& u) {
  const int row = e.index;
  if (openRow_ == row) {  // a second click on the row closes its list
    CloseKeyList(u);
    return;
  }
  CloseKeyList(u);
  if (LeftKeyRuleRefuses(config_, EditedModeOf(config_), row - 1)) {
    u.warning = texts_.leftKeyRequired;
    return;
  }
  u.open = ListRequest{kDpiSubListId + row, layout::KeyListRect(row), Items(texts_.functionList)};
  openRow_ = row;
}

BasicUpdate BasicPageModel::ChooseFunction(int listId, int selection) {
  BasicUpdate u;
  const int row = listId - kDpiSubListId;
  if (row != openRow_ || row < 1) return u;
  const AssignResult result = AssignFunction(config_, ui_, texts_, row - 1, selection);
  // Nothing chosen yet, or "DPI Switch": the list stays open (and counts as
  // open, so the next click on the row closes it instead of making a second).
  if (result == AssignResult::KeepOpen) return u;
  CloseKeyList(u);
  u.redraw.push_back(layout::KeyRowRect(row));
  // A dialog's function changes nothing until its dialog ends with OK.
  if (result == AssignResult::DialogNeeded) {
    u.dialogFunction = selection;
    u.dialogButton = row - 1;
  }
  return u;
}

BasicUpdate BasicPageModel::ListEvent(int listId, ui::ListEvent event, int selection) {
  const bool keyList = listId > kDpiSubListId && listId <= kDpiSubListId + layout::kKeyRowCount;
  const bool lightList = listId >= kLightModeListId && listId <= kLightEffectListId;
  BasicUpdate u;
  switch (ui::AnswerListEvent(event)) {
    case ui::ListAnswer::Follow:
      if (keyList) u = HoverFunction(listId, selection);
      return u;
    case ui::ListAnswer::Dismiss:
      if ((keyList && listId - kDpiSubListId == openRow_) || (listId == kDpiSubListId && dpiSubListOpen_)) CloseKeyList(u);
      if (lightList && listId - kLightModeListId + 1 == openLight_) CloseLightList(u);
      return u;
    case ui::ListAnswer::Choose:
      break;
  }
  if (listId == kDpiSubListId) return ChooseDpi(selection);
  if (lightList) return ChooseLight(listId, selection);
  if (!keyList) return u;
  if (event == ui::ListEvent::EnterPressed && selection == kFunctionDpiSwitch && listId - kDpiSubListId == openRow_) {
    u = HoverFunction(listId, selection);
    u.focusList = kDpiSubListId;
    return u;
  }
  return ChooseFunction(listId, selection);
}

BasicUpdate BasicPageModel::HoverFunction(int listId, int item) {
  BasicUpdate u;
  const int row = listId - kDpiSubListId;
  if (row != openRow_ || row < 1) return u;
  if (item == kFunctionDpiSwitch && !dpiSubListOpen_) {
    u.open = ListRequest{kDpiSubListId, {0, 0, layout::kDpiSubListSize.width, layout::kDpiSubListSize.height},
                         Items(texts_.dpiActions), listId};
    dpiSubListOpen_ = true;
  } else if (item != kFunctionDpiSwitch && dpiSubListOpen_) {
    u.close.push_back(kDpiSubListId);
    dpiSubListOpen_ = false;
  }
  return u;
}

BasicUpdate BasicPageModel::ChooseDpi(int selection) {
  BasicUpdate u;
  if (!dpiSubListOpen_ || openRow_ == 0 || selection < 0 || selection > 2) return u;
  const int row = openRow_;
  AssignDpi(config_, ui_, texts_, row - 1, selection + 1);
  CloseKeyList(u);
  u.redraw.push_back(layout::KeyRowRect(row));
  return u;
}

void BasicPageModel::OnReportRate(const Element& e, BasicUpdate& u) {
  const uint8_t value = kReportRates[e.index - 1];
  if (config_.reportRate == value) return;
  u.redraw.push_back(layout::ReportRateRect(ReportRateSegment(config_.reportRate)));
  u.redraw.push_back(e.rect);
  config_.reportRate = value;
}

void BasicPageModel::OnDpiCell(const Element& e, BasicUpdate& u) {
  config_.dpiLevel[e.index - 1] = static_cast<uint8_t>(e.step - 1);
  u.redraw.push_back(StageColumn(e.index));
}

// The last stage in use cannot be switched off: the DPI button would have
// nothing to switch to.
void BasicPageModel::OnDpiSelect(const Element& e, BasicUpdate& u) {
  const int s = e.index - 1;
  if (config_.dpiEnabled[s] == 0) {
    config_.dpiEnabled[s] = 1;
  } else {
    bool otherOn = false;
    for (int other = 0; other < kDpiStageCount; ++other) otherOn = otherOn || (other != s && config_.dpiEnabled[other] == 1);
    if (!otherOn) return;
    config_.dpiEnabled[s] = 0;
  }
  u.redraw.push_back(e.rect);
  u.redraw.push_back(StageColumn(e.index));
}

void BasicPageModel::OnDpiColor(const Element& e, BasicUpdate& u) {
  if (config_.dpiEnabled[e.index - 1] != 1) return;
  u.chooseColorStage = e.index;
  const uint8_t* rgb = config_.dpiColor + 3 * (e.index - 1);
  u.chooseColorInitial = {rgb[0], rgb[1], rgb[2]};
}

BasicUpdate BasicPageModel::SetDpiColor(int stage, ui::Rgb color) {
  BasicUpdate u;
  if (stage < 1 || stage > kDpiStageCount) return u;
  uint8_t* rgb = config_.dpiColor + 3 * (stage - 1);
  rgb[0] = color.red;
  rgb[1] = color.green;
  rgb[2] = color.blue;
  u.refresh.push_back(kDpiSwatchIdFirst + stage - 1);
  return u;
}

void BasicPageModel::SetLightText(int box, std::wstring text, BasicUpdate& u) {
  LightControl& control = light_[box - 1];
  if (!control.exists) return;  // not made at the last full paint (mode 0)
  control.text = std::move(text);
  u.refresh.push_back(kLightTextIdFirst + box - 1);
}

void BasicPageModel::OnLightBox(const Element& e, BasicUpdate& u) {
  const int box = e.index;
  if (openLight_ == box) {
    CloseLightList(u);
    return;
  }
  if (box == 3 && effectMarked_) {
    effectMarked_ = false;
    return;
  }
  std::vector<std::wstring> items;
  layout::Rect rect;
  const uint8_t mode = config_.lightMode;
  if (box == 1) {
    items = {texts_.lightModeNames[1], texts_.lightModeNames[2], texts_.lightModeNames[3]};
    rect = layout::kLightModeList;
  } else if (box == 2) {
    const int height = mode == 1 ? 173 : mode == 2 ? 93 : 203;
    items = mode == 1 ? Items(BrightnessTexts()) : mode == 2 ? Items(RespirationPeriodTexts()) : Items(NeonPeriodTexts());
    rect = layout::LightParameterListRect(height);
  } else {
    rect = layout::kLightEffectList;
    if (mode == 2) items = {texts_.lightEffectNames[1], texts_.lightEffectNames[2]};
    if (mode == 3) items = {texts_.lightEffectNames[2], texts_.lightEffectNames[3]};
    if (mode == 1) SetLightText(3, texts_.lightEffectNames[1], u);
    if (items.empty()) {
      effectMarked_ = true;
      return;
    }
  }
  lightItems_ = items;
  u.open = ListRequest{kLightModeListId + box - 1, rect, std::move(items)};
  openLight_ = box;
}

BasicUpdate BasicPageModel::ChooseLight(int listId, int selection) {
  BasicUpdate u;
  const int box = listId - kLightModeListId + 1;
  if (box != openLight_ || selection < 0 || selection >= static_cast<int>(lightItems_.size())) return u;
  const std::wstring chosen = lightItems_[selection];
  if (box == 1) {
    config_.lightMode = static_cast<uint8_t>(selection + 1);
    SetLightText(1, chosen, u);
    // The other modes keep their values, so switching back shows them again.
    SetLightText(2, LightParameterText(config_), u);
    SetLightText(3, config_.lightMode == 1 ? std::wstring(texts_.lightEffectNames[1]) : LightEffectTextOf(config_, texts_), u);
  } else if (box == 2) {
    SetLightText(2, chosen, u);
    if (config_.lightMode == 1) config_.lightBrightness = static_cast<uint8_t>(selection);
    if (config_.lightMode == 2) config_.respirationPeriod = static_cast<uint8_t>(selection);
    if (config_.lightMode == 3) config_.neonPeriod = static_cast<uint8_t>(selection);
  } else {
    SetLightText(3, chosen, u);
    if (config_.lightMode == 1) config_.standardEffect = 1;
    if (config_.lightMode == 2) config_.respirationEffect = static_cast<uint8_t>(selection + 1);
    if (config_.lightMode == 3) config_.neonEffect = static_cast<uint8_t>(selection + 2);
  }
  CloseLightList(u);
  return u;
}

BasicPage::BasicPage(const PageContext& context)
    : context_(context),
      model_(context.settings.config, context.settings.ui, context.texts, context.image.activeSensorType) {}

int BasicPage::Id() const { return kBasicPage; }

std::span<const layout::Element> BasicPage::Elements() const { return layout::BasicElements(); }

Scene BasicPage::BuildScene(const PageView& view, const LitTest& lit) const { return BuildBasicScene(view, lit); }

// The first showing in a run reads the sensor, whose type chooses the DPI
// table the scene draws.
void BasicPage::Prepare() {
  FirstShowingOfBasicPage(context_.link, context_.image, context_.settings, context_.texts, context_.pages);
}

// The swatches show the stage colours of the record; the lighting texts exist
// as the model made them at this paint.
void BasicPage::CreateChildren() {
  model_.Painted();
  for (int s = 1; s <= layout::kDpiStages; ++s) context_.shell.MakeText(kDpiSwatchIdFirst + s - 1, layout::DpiColorRect(s), L"");
  for (int d = 1; d <= layout::kLightBoxes; ++d) {
    const LightControl& light = model_.Light(d);
    if (light.exists) context_.shell.MakeText(layout::kLightTextIdBase + d, layout::LightTextRect(d), light.text);
  }
}

PageClickResult BasicPage::Click(layout::Point p) {
  const BasicUpdate update = model_.Click(p);
  Execute(update);
  return {update.handled, {}};
}

// Only the lists the page opened speak to it; a list already closed may still
// report the end of its own click.
void BasicPage::ListEvent(int listId, ui::ListEvent event, int selection) {
  if (open_.count(listId) == 0) return;
  Execute(model_.ListEvent(listId, event, selection));
}

void BasicPage::HotItem(int listId, int item) {
  if (listId > kDpiSubListId && listId <= kDpiSubListId + layout::kKeyRowCount) Execute(model_.HoverFunction(listId, item));
}

// The order matters to the user: a list goes before the warning about it, a
// new list comes after it, a dialog runs only once the list that chose it has
// finished with its click, and the colour dialog comes last.
void BasicPage::Execute(const BasicUpdate& u) {
  PageShell& shell = context_.shell;
  for (int id : u.close) {
    if (open_.erase(id) != 0) shell.CloseList(id);
  }
  if (u.warning) shell.ShowMessage(*u.warning, kCaptionWarning);
  if (u.open) OpenList(*u.open);
  if (u.focusList != 0 && open_.count(u.focusList) != 0) shell.Focus(u.focusList);
  for (int id : u.refresh) {
    if (id >= kDpiSwatchIdFirst && id < kDpiSwatchIdFirst + layout::kDpiStages) {
      shell.RefreshSwatch(id);
    } else {
      const int box = id - layout::kLightTextIdBase;
      if (box >= 1 && box <= layout::kLightBoxes && model_.Light(box).exists) shell.SetText(id, model_.Light(box).text);
    }
  }
  if (!u.redraw.empty()) shell.Repaint(u.redraw);
  if (u.dialogFunction >= 0) shell.ContinueLater(u.dialogFunction, u.dialogButton);
  if (u.chooseColorStage != 0) {
    if (const std::optional<ui::Rgb> color = shell.ChooseColor(u.chooseColorInitial))
      Execute(model_.SetDpiColor(u.chooseColorStage, *color));
  }
}

// The wheel goes to the window with the focus: a list longer than its box
// scrolls with it. The DPI sub-list takes it only from Enter on its entry.
void BasicPage::OpenList(const ListRequest& request) {
  layout::Rect rect = request.rect;
  if (request.besideList != 0) {
    // Beside the entry that opened it ("DPI Switch"), at its right edge and top.
    const std::optional<layout::Rect> entry =
        open_.count(request.besideList) != 0 ? context_.shell.ListEntryRect(request.besideList, kFunctionDpiSwitch)
                                             : std::nullopt;
    if (!entry) return;
    rect = {entry->right, entry->top, entry->right + rect.Width(), entry->top + rect.Height()};
  }
  if (context_.shell.OpenList(request.id, rect, request.items, request.id != kDpiSubListId)) open_.insert(request.id);
}

void BasicPage::Continue(int what, int detail) {
  if (detail < 0 || detail >= layout::kKeyRowCount) return;
  if (RunAssignmentDialog(what, detail)) {
    const layout::Rect row = layout::KeyRowRect(detail + 1);
    context_.shell.Repaint(std::span<const layout::Rect>(&row, 1));
  }
}

// The dialog's results become codes here, through the flow's lookups. A
// choice dialog ended with OK before anything was chosen changes nothing,
// like Cancel: it would store its first entry under a text that names none.
bool BasicPage::RunAssignmentDialog(int function, int button) {
  DeviceConfig& config = context_.settings.config;
  UiSettings& ui = context_.settings.ui;
  const MainTexts& texts = context_.texts;
  AssignmentDialogs& dialogs = context_.shell.Dialogs();
  switch (function) {
    case kFunctionWindows: {
      const std::optional<ChoiceResult> r = dialogs.RunWindowsDialog();
      if (r) StoreWindowsChoice(config, ui, button, r->position, r->text);
      return r.has_value();
    }
    case kFunctionWindows + 1: {
      const std::optional<ChoiceResult> r = dialogs.RunMediaDialog();
      if (r) StoreMediaChoice(config, ui, texts, button, r->position, r->text);
      return r.has_value();
    }
    case kFunctionWindows + 2: {
      const std::optional<FireKeyResult> r = dialogs.RunFireKeyDialog();
      if (r) StoreFireKey(config, ui, texts, button, r->position, r->text, r->speed, r->times);
      return r.has_value();
    }
    case kFunctionWindows + 3: {
      const std::optional<std::wstring> r = dialogs.RunSingleKeyDialog();
      if (r) StoreSingleKey(config, ui, texts, button, *r);
      return r.has_value();
    }
    case kFunctionWindows + 4: {
      const std::optional<ComboKeyResult> r = dialogs.RunComboDialog();
      if (r) StoreComboKey(config, ui, texts, button, r->modifierName, r->firstKeyName, r->secondKeyName);
      return r.has_value();
    }
    case kFunctionMacro: {
      const std::wstring& recordIni = context_.settings.macroFile();
      std::vector<std::wstring> names;
      if (context_.settings.files().Exists(recordIni)) names = MacroNames(context_.settings.ini(), recordIni);
      const std::optional<MacroKeyResult> r = dialogs.RunMacroDialog(std::move(names));
      if (r) StoreMacroKey(config, ui, texts, button, r->position, r->name, r->repeatMode);
      return r.has_value();
    }
    default:
      return false;
  }
}

}  // namespace kovral
