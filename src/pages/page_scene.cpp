#include "pages/page_scene.h"

#include <algorithm>
#include <string>

#include "lang/dpi_labels.h"
#include "ui/skin_files.h"

namespace kovral {
namespace {

using layout::Action;
using layout::Element;
using layout::Rect;

constexpr Rect kWholeWindow{0, 0, layout::kMainWindowSize.width, layout::kMainWindowSize.height};

const wchar_t* TextOf(layout::Text text, int page, const MainTexts& t) {
  using layout::Text;
  switch (text) {
    case Text::PageTitle: return page == 2 ? t.advancedTitle : t.basicTitle;
    case Text::WebLink: return t.webLink;
    case Text::KeySetting: return t.keySetting;
    case Text::ReportRateSetting: return t.reportRateSetting;
    case Text::DpiSetting: return t.dpiSetting;
    case Text::DpiEffect: return t.dpiEffect;
    case Text::ColorLabel: return t.colorLabel;
    case Text::SelectLabel: return t.selectLabel;
    case Text::LightModeLabel: return t.lightModeLabel;
    case Text::LightParameterLabel: return t.lightParameterLabel;
    case Text::LightEffectLabel: return t.lightEffectLabel;
    case Text::MouseSpeed: return t.mouseSpeed;
    case Text::ScrollingSpeed: return t.scrollingSpeed;
    case Text::DoubleClickSpeed: return t.doubleClickSpeed;
    case Text::EnhancePrecision: return t.enhancePrecision;
    case Text::ScrollOneScreen: return t.scrollOneScreen;
    case Text::MacroSetting: return t.macroSetting;
    case Text::SelectMacro: return t.selectMacro;
    case Text::KeyPressSequence: return t.keyPressSequence;
    case Text::RecordOption: return t.recordOption;
    case Text::StartRecording: return t.startRecording;
    case Text::StopRecording: return t.stopRecording;
    case Text::MacroName: return t.macroName;
    case Text::LoopTimes: return t.loopTimes;
    case Text::InsertMouseEvent: return t.insertMouseEvent;
  }
  return L"";
}

// Paints one page in the order its painter draws: later items cover
// earlier ones.
class SceneBuilder {
 public:
  SceneBuilder(int page, const PageView& view, const LitTest& lit) : page_(page), view_(view), lit_(lit) {}

  // The element's image: its over look while it is lit (hoverable elements
  // only), otherwise its normal one.
  void Picture(const Element& e) {
    const bool over = layout::IsHoverable(e) && lit_ && lit_(e);
    scene_.AddImage(over ? e.overImage : e.normalImage, e.rect);
  }
  void Picture(const Element& e, bool on) { scene_.AddImage(on ? e.overImage : e.normalImage, e.rect); }
  void Picture(std::span<const Element> table, Action action) {
    for (const Element& e : table)
      if (e.action == action) Picture(e);
  }
  void Label(const Element& e) {
    scene_.AddText(ElementLabel(e, view_.texts), e.rect, e.labelFormat, view_.textColor);
  }
  void Label(std::span<const Element> table, Action action) {
    for (const Element& e : table)
      if (e.action == action) Label(e);
  }
  void Text(std::wstring text, const Rect& rect, unsigned format) {
    scene_.AddText(std::move(text), rect, format, view_.textColor);
  }
  void Texts(std::span<const layout::TextItem> items, bool (*take)(layout::Text)) {
    for (const layout::TextItem& item : items) {
      if (!take(item.text)) continue;
      if (item.text == layout::Text::PageTitle)
        scene_.AddText(TextOf(item.text, page_, view_.texts), item.rect, item.format, ui::kTitleColor,
                       SceneFont::Title);
      else
        Text(TextOf(item.text, page_, view_.texts), item.rect, item.format);
    }
  }
  void Background(const wchar_t* file) { scene_.AddImage(file, kWholeWindow); }

  Scene Take() { return std::move(scene_); }

 private:
  int page_;
  const PageView& view_;
  const LitTest& lit_;
  Scene scene_;
};

bool IsTitle(layout::Text t) { return t == layout::Text::PageTitle; }
bool IsHeading(layout::Text t) {
  using layout::Text;
  return t == Text::KeySetting || t == Text::ReportRateSetting || t == Text::DpiSetting || t == Text::DpiEffect;
}
bool IsBasicLabel(layout::Text t) { return !IsTitle(t) && !IsHeading(t); }
bool IsAnyButTitle(layout::Text t) { return !IsTitle(t); }

}  // namespace

const wchar_t* ElementLabel(const Element& e, const MainTexts& t) {
  using layout::Label;
  switch (e.label) {
    case Label::Ok: return t.ok;
    case Label::Apply: return t.apply;
    case Label::Cancel: return t.cancel;
    case Label::WebLink: return t.webLink;
    case Label::KeyDefault: return t.keyDefault;
    case Label::ModeA: return t.modeNames[0];
    case Label::ModeB: return t.modeNames[1];
    case Label::PointerDefault: return t.advancedDefault;
    case Label::MacroNew: return t.newMacro;
    case Label::MacroDelete: return t.deleteMacro;
    case Label::MacroConfirm: return t.confirmMacro;
    case Label::KeyRow:  // a row shows its number and its button's text (the page's scene)
    case Label::None: return L"";
  }
  return L"";
}

int EditedMode(const DeviceConfig& config) { return config.editedMode == 1 ? 1 : 0; }

int ReportRateSegment(uint8_t reportRate) {
  switch (reportRate) {
    case 8: return 1;
    case 4: return 2;
    case 2: return 3;
    default: return 4;
  }
}

Scene BuildBasicScene(const PageView& view, const LitTest& lit) {
  const auto common = layout::CommonElements();
  const auto basic = layout::BasicElements();
  const DeviceConfig& c = view.config;
  SceneBuilder b(1, view, lit);

  b.Background(skin::kBasicPage);
  for (Action a : {Action::Minimise, Action::Close, Action::Skins, Action::Ok, Action::Apply, Action::Cancel})
    b.Picture(common, a);
  b.Picture(basic, Action::KeyDefault);
  b.Picture(common, Action::BasicTab);
  b.Picture(common, Action::AdvancedTab);
  b.Picture(basic, Action::KeyRow);

  b.Texts(layout::BasicTexts(), IsTitle);
  b.Texts(layout::BasicTexts(), IsHeading);
  for (Action a : {Action::WebLink, Action::Ok, Action::Apply, Action::Cancel}) b.Label(common, a);
  b.Label(basic, Action::KeyDefault);

  // The rows of the edited mode, then the mode tabs: the edited one lit.
  const int mode = EditedMode(c);
  for (int k = 1; k <= layout::kKeyRowCount; ++k) {
    b.Text(std::to_wstring(k), layout::KeyRowNumberRect(k), ui::kTextLeft);
    // A text too long for the row (a combo of several modifiers) ends with
    // "..." before the arrow rather than running under it.
    b.Text(view.ui.buttonText[mode * kButtonCount + (k - 1)], layout::KeyRowTextRect(k), ui::kTextLeftEllipsis);
  }
  b.Picture(*layout::FindElement(basic, Action::ModeA), mode == 0);
  b.Picture(*layout::FindElement(basic, Action::ModeB), mode == 1);
  b.Label(basic, Action::ModeA);
  b.Label(basic, Action::ModeB);

  for (int r = 1; r <= layout::kReportRateSegments; ++r)
    b.Text(view.texts.reportRateLabels[r - 1], layout::ReportRateLabelRect(r), ui::kTextTopCentre);
  b.Texts(layout::BasicTexts(), IsBasicLabel);
  for (int s = 1; s <= layout::kDpiStages; ++s)
    b.Text(std::to_wstring(s), layout::DpiStageNumberRect(s), ui::kTextTopCentre);

  const std::vector<std::wstring>& levels = DpiStepLabels(view.sensorType);
  const int levelCount = static_cast<int>(levels.size());
  const bool twelve = levelCount == layout::kDpiMaxLevels;
  for (int level = 1; level <= levelCount; ++level)
    b.Text(levels[level - 1], layout::DpiLevelLabelRect(level, twelve), ui::kTextRight);

  const int segment = ReportRateSegment(c.reportRate);
  for (int r = 1; r <= layout::kReportRateSegments; ++r)
    b.Picture(*layout::FindElement(basic, Action::ReportRate, r), r == segment);

  for (int s = 1; s <= layout::kDpiStages; ++s) {
    const bool enabled = c.dpiEnabled[s - 1] == 1;
    b.Picture(*layout::FindElement(basic, Action::DpiSelect, s), enabled);
    // A stored level above the sensor's table lights the whole column, not
    // cells the table does not have.
    const int shown = enabled ? std::min(c.dpiLevel[s - 1] + 1, levelCount) : 0;
    for (int level = 1; level <= levelCount; ++level)
      b.Picture(*layout::FindElement(basic, Action::DpiCell, s, level), level <= shown);
  }
  return b.Take();
}

Scene BuildAdvancedScene(const PageView& view, const LitTest& lit) {
  const auto common = layout::CommonElements();
  const auto advanced = layout::AdvancedElements();
  const DeviceConfig& c = view.config;
  SceneBuilder b(2, view, lit);

  b.Background(skin::kAdvancedPage);
  for (Action a : {Action::Minimise, Action::Close, Action::Skins, Action::BasicTab, Action::AdvancedTab, Action::Ok,
                   Action::Apply, Action::Cancel})
    b.Picture(common, a);
  for (Action a : {Action::PointerDefault, Action::MacroNew, Action::MacroDelete, Action::MacroConfirm})
    b.Picture(advanced, a);

  // Each slider lights the cells up to its step; a scroll step of 0 lights none.
  const int steps[layout::kPointerRows] = {c.pointerSpeed, c.scrollLines, c.doubleClickSpeed};
  for (int row = 1; row <= layout::kPointerRows; ++row) {
    for (int i = 1; i <= layout::kPointerCells; ++i)
      b.Picture(*layout::FindElement(advanced, Action::PointerCell, row, i), i <= steps[row - 1]);
  }
  b.Picture(*layout::FindElement(advanced, Action::PrecisionBox), c.enhancePrecision == 1);
  b.Picture(*layout::FindElement(advanced, Action::OneScreenBox), c.scrollOneScreen == 1);

  b.Label(common, Action::WebLink);
  b.Label(advanced, Action::PointerDefault);
  for (int row = 1; row <= layout::kPointerRows; ++row) {
    for (int i = 1; i <= layout::kPointerCells; ++i)
      b.Text(std::to_wstring(i), layout::PointerCellNumberRect(row, i), ui::kTextTopCentre);
  }
  for (Action a : {Action::MacroNew, Action::MacroDelete, Action::MacroConfirm, Action::Ok, Action::Apply,
                   Action::Cancel})
    b.Label(a == Action::Ok || a == Action::Apply || a == Action::Cancel ? common : advanced, a);
  b.Texts(layout::AdvancedTexts(), IsAnyButTitle);
  b.Texts(layout::AdvancedTexts(), IsTitle);
  return b.Take();
}

Scene BuildPageScene(int page, const PageView& view, const LitTest& lit) {
  if (page == 1) return BuildBasicScene(view, lit);
  if (page == 2) return BuildAdvancedScene(view, lit);
  return {};
}

}  // namespace kovral
