#include "view/layout.h"

#include <array>

namespace kovral::layout {
namespace {

using ui::kTextCentre;
using ui::kTextLeft;
using ui::kTextRight;

constexpr Element Button(const Rect& rect, Action action, Label label, HoverGroup hover) {
  return {rect, action, 0, 0, skin::kButtonNormal, skin::kButtonOver, label, kTextCentre, hover};
}

constexpr Element Picture(const Rect& rect, Action action, const wchar_t* normal, const wchar_t* over,
                          HoverGroup hover) {
  return {rect, action, 0, 0, normal, over, Label::None, kTextCentre, hover};
}

constexpr std::array<Element, 9> kCommon = {{
    Button(kOkButton, Action::Ok, Label::Ok, HoverGroup::OkApplyCancel),
    Button(kApplyButton, Action::Apply, Label::Apply, HoverGroup::OkApplyCancel),
    Picture(kSkinsButton, Action::Skins, skin::kSkinsNormal, skin::kSkinsOver, HoverGroup::Alone),
    Picture(kMinimiseButton, Action::Minimise, skin::kMinimiseNormal, skin::kMinimiseOver, HoverGroup::Alone),
    Picture(kCloseButton, Action::Close, skin::kCloseNormal, skin::kCloseOver, HoverGroup::Alone),
    Picture(kBasicTab, Action::BasicTab, skin::kBasicTabNormal, skin::kBasicTabOver, HoverGroup::PageTabs),
    Picture(kAdvancedTab, Action::AdvancedTab, skin::kAdvancedTabNormal, skin::kAdvancedTabOver,
            HoverGroup::PageTabs),
    Button(kCancelButton, Action::Cancel, Label::Cancel, HoverGroup::OkApplyCancel),
    {kWebLink, Action::WebLink, 0, 0, nullptr, nullptr, Label::WebLink, kTextCentre, HoverGroup::None},
}};

constexpr int kBasicCount = 3 + kKeyRowCount + kReportRateSegments + 2 * kDpiStages + kLightBoxes +
                            kDpiStages * kDpiMaxLevels;

constexpr std::array<Element, kBasicCount> MakeBasic() {
  std::array<Element, kBasicCount> t{};
  int n = 0;
  // The mode tabs show the active mode with the over image; they have no hover look.
  t[n++] = Button(kModeATab, Action::ModeA, Label::ModeA, HoverGroup::None);
  t[n++] = Button(kModeBTab, Action::ModeB, Label::ModeB, HoverGroup::None);
  t[n++] = Button(kKeyDefaultButton, Action::KeyDefault, Label::KeyDefault, HoverGroup::Alone);
  for (int k = 1; k <= kKeyRowCount; ++k) {
    t[n++] = {KeyRowRect(k), Action::KeyRow, k, 0, skin::kDropdownNormal, skin::kDropdownOver,
              Label::KeyRow, kTextLeft, HoverGroup::KeyRows};
  }
  for (int r = 1; r <= kReportRateSegments; ++r) {
    t[n++] = {ReportRateRect(r), Action::ReportRate, r, 0, skin::kReportRateDark, skin::kReportRateLight};
  }
  for (int s = 1; s <= kDpiStages; ++s) {
    t[n++] = {DpiSelectRect(s), Action::DpiSelect, s, 0, skin::kPane, skin::kPaneTick};
  }
  // The colour panes are static controls painted in the stage's colour.
  for (int s = 1; s <= kDpiStages; ++s) t[n++] = {DpiColorRect(s), Action::DpiColor, s};
  // The lighting boxes are part of the page background.
  for (int d = 1; d <= kLightBoxes; ++d) t[n++] = {LightBoxRect(d), Action::LightBox, d};
  for (int s = 1; s <= kDpiStages; ++s) {
    for (int level = 1; level <= kDpiMaxLevels; ++level) {
      t[n++] = {DpiCellRect(s, level), Action::DpiCell, s, level, skin::kDpiDark, skin::kDpiLight};
    }
  }
  return t;
}
constexpr auto kBasic = MakeBasic();

constexpr std::array<TextItem, 10> kBasicTextItems = {{
    {{259, 160, 364, 181}, Text::KeySetting, kTextCentre},
    {{504, 161, 609, 182}, Text::ReportRateSetting, kTextCentre},
    {{504, 275, 609, 296}, Text::DpiSetting, kTextCentre},
    {{704, 275, 809, 296}, Text::DpiEffect, kTextCentre},
    {{494, 523, 544, 539}, Text::ColorLabel, kTextRight},
    {{494, 541, 544, 557}, Text::SelectLabel, kTextRight},
    {LightLabelRect(1), Text::LightModeLabel, kTextRight},
    {LightLabelRect(2), Text::LightParameterLabel, kTextRight},
    {LightLabelRect(3), Text::LightEffectLabel, kTextRight},
    {kPageTitle, Text::PageTitle, kTextLeft},
}};

constexpr int kAdvancedCount = 9 + kPointerRows * kPointerCells;

constexpr std::array<Element, kAdvancedCount> MakeAdvanced() {
  std::array<Element, kAdvancedCount> t{};
  int n = 0;
  t[n++] = {kPrecisionBox, Action::PrecisionBox, 0, 0, skin::kPane, skin::kPaneTick};
  t[n++] = {kOneScreenBox, Action::OneScreenBox, 0, 0, skin::kPane, skin::kPaneTick};
  t[n++] = Button(kPointerDefaultButton, Action::PointerDefault, Label::PointerDefault, HoverGroup::Alone);
  // The record buttons are pictures of the page background; their texts sit beside them.
  t[n++] = {kStartRecordingButton, Action::StartRecording};
  t[n++] = {kStopRecordingButton, Action::StopRecording};
  t[n++] = Button(kMacroNewButton, Action::MacroNew, Label::MacroNew, HoverGroup::MacroButtons);
  t[n++] = Button(kMacroDeleteButton, Action::MacroDelete, Label::MacroDelete, HoverGroup::MacroButtons);
  t[n++] = Button(kMacroConfirmButton, Action::MacroConfirm, Label::MacroConfirm, HoverGroup::MacroButtons);
  t[n++] = {kMouseEventBox, Action::MouseEventBox};
  for (int row = 1; row <= kPointerRows; ++row) {
    for (int i = 1; i <= kPointerCells; ++i) {
      t[n++] = {PointerCellRect(row, i), Action::PointerCell, row, i, skin::kSliderDark, skin::kSliderLight};
    }
  }
  return t;
}
constexpr auto kAdvanced = MakeAdvanced();

constexpr std::array<TextItem, 15> kAdvancedTextItems = {{
    {{77, kPrecisionBox.top, 408, kPrecisionBox.bottom}, Text::EnhancePrecision, kTextLeft},
    {{77, kOneScreenBox.top, 408, kOneScreenBox.bottom}, Text::ScrollOneScreen, kTextLeft},
    {{457, 196, 592, 220}, Text::SelectMacro, kTextCentre},
    {{591, 196, 726, 220}, Text::KeyPressSequence, kTextCentre},
    {{725, 196, 875, 220}, Text::RecordOption, kTextCentre},
    {{774, kStartRecordingButton.top, 874, kStartRecordingButton.bottom}, Text::StartRecording, kTextLeft},
    {{774, kStopRecordingButton.top, 874, kStopRecordingButton.bottom}, Text::StopRecording, kTextLeft},
    {{735, 302, 874, 322}, Text::MacroName, kTextLeft},
    {{735, 342, 874, 362}, Text::LoopTimes, kTextLeft},
    {{735, 382, 874, 402}, Text::InsertMouseEvent, kTextLeft},
    {{49, 156, 170, 185}, Text::MouseSpeed, kTextCentre},
    {{49, 306, 170, 335}, Text::ScrollingSpeed, kTextCentre},
    {{49, 456, 170, 485}, Text::DoubleClickSpeed, kTextCentre},
    {{496, 156, 616, 185}, Text::MacroSetting, kTextCentre},
    {kPageTitle, Text::PageTitle, kTextLeft},
}};

constexpr std::array<Element, 3> kDialogFrame = {{
    Button(kDialogOk, Action::DialogOk, Label::Ok, HoverGroup::DialogButtons),
    Button(kDialogCancel, Action::DialogCancel, Label::Cancel, HoverGroup::DialogButtons),
    Picture(kDialogClose, Action::DialogClose, skin::kCloseNormal, skin::kCloseOver, HoverGroup::Alone),
}};

constexpr Element ProfileButton(int index, Action action) {
  return {profiles::ButtonRect(index), action, 0, 0, skin::kProfilesButtonNormal, skin::kProfilesButtonOver,
          Label::None, kTextCentre, HoverGroup::DialogButtons};
}

constexpr std::array<Element, 5> kProfileButtons = {{
    ProfileButton(0, Action::ProfileSave),
    ProfileButton(1, Action::ProfileRename),
    ProfileButton(2, Action::ProfileAddProgram),
    ProfileButton(3, Action::ProfileRemoveProgram),
    ProfileButton(4, Action::ProfileDelete),
}};

constexpr Element TickBox(const Rect& rect, Action action, int index) {
  return {rect, action, index, 0, skin::kPane, skin::kPaneTick};
}

constexpr std::array<Element, 13> kPreferences = {{
    TickBox(preferences::StyleBoxRect(1), Action::NoticeStyle, 1),
    TickBox(preferences::StyleBoxRect(2), Action::NoticeStyle, 2),
    TickBox(preferences::StyleBoxRect(3), Action::NoticeStyle, 3),
    TickBox(preferences::PositionBoxRect(1), Action::OsdPosition, 1),
    TickBox(preferences::PositionBoxRect(2), Action::OsdPosition, 2),
    TickBox(preferences::PositionBoxRect(3), Action::OsdPosition, 3),
    TickBox(preferences::PositionBoxRect(4), Action::OsdPosition, 4),
    TickBox(preferences::PositionBoxRect(5), Action::OsdPosition, 5),
    TickBox(preferences::PositionBoxRect(6), Action::OsdPosition, 6),
    TickBox(preferences::SwitchBoxRect(1), Action::StartWithWindows, 1),
    TickBox(preferences::SwitchBoxRect(2), Action::SwitchAutomatically, 2),
    TickBox(preferences::SwitchBoxRect(3), Action::ProfileNotices, 3),
    {preferences::kShowMe, Action::ShowSampleNotice, 0, 0, skin::kProfilesButtonNormal, skin::kProfilesButtonOver,
     Label::None, kTextCentre, HoverGroup::DialogButtons},
}};

constexpr std::array<DialogFace, 10> kDialogFaces = {{
    {DialogKind::Single, 701, skin::kSingleKeyDialog, kDialogSize},
    {DialogKind::Windows, 702, skin::kWindowsKeyDialog, kDialogSize},
    {DialogKind::Media, 703, skin::kMediaKeyDialog, kDialogSize},
    {DialogKind::FireKey, 704, skin::kFireKeyDialog, kDialogSize},
    // The repeat modes' texts run to x = 390.
    {DialogKind::Macro, 705, skin::kMacroKeyDialog, {kDialogSize.width + 20, kDialogSize.height}},
    {DialogKind::Combo, 706, skin::kComboKeyDialog, kDialogSize},
    {DialogKind::DelayTime, 707, skin::kDelayTimeDialog, kDialogSize},
    {DialogKind::Skins, 708, skin::kSkinsDialog, kDialogSize},
    {DialogKind::Profiles, 709, skin::kProfilesDialog, kDialogSize},
    {DialogKind::Preferences, 711, skin::kPreferencesDialog, kDialogSize},
}};

constexpr std::array<Element, 3> kMacroModeBoxes = {{
    {macro::ModeBoxRect(1), Action::RepeatMode, 1, 0, skin::kPane, skin::kPaneTick},
    {macro::ModeBoxRect(2), Action::RepeatMode, 2, 0, skin::kPane, skin::kPaneTick},
    {macro::ModeBoxRect(3), Action::RepeatMode, 3, 0, skin::kPane, skin::kPaneTick},
}};

}  // namespace

const Element* HitTest(std::span<const Element> table, Point p) {
  return HitTest(table, p, [](const Element&) { return true; });
}

const Element* FindElement(std::span<const Element> table, Action action, int index, int step) {
  for (const Element& e : table) {
    if (e.action == action && e.index == index && e.step == step) return &e;
  }
  return nullptr;
}

std::span<const Element> CommonElements() { return kCommon; }
std::span<const Element> BasicElements() { return kBasic; }
std::span<const TextItem> BasicTexts() { return kBasicTextItems; }
std::span<const Element> AdvancedElements() { return kAdvanced; }
std::span<const TextItem> AdvancedTexts() { return kAdvancedTextItems; }
std::span<const Element> DialogFrameElements() { return kDialogFrame; }
std::span<const DialogFace> DialogFaces() { return kDialogFaces; }
std::span<const Element> profiles::ButtonElements() { return kProfileButtons; }
std::span<const Element> macro::ModeBoxElements() { return kMacroModeBoxes; }
std::span<const Element> preferences::Elements() { return kPreferences; }

const DialogFace& DialogFaceOf(DialogKind kind) {
  for (const DialogFace& face : kDialogFaces) {
    if (face.kind == kind) return face;
  }
  return kDialogFaces[0];  // every kind is in the table (checked by the tests)
}

bool DpiCellClickable(const Element& cell, int activeSensorType) {
  if (cell.action != Action::DpiCell) return true;
  return cell.step <= 8 || activeSensorType == 0;
}

const Element* HitTestBasic(Point p, int activeSensorType) {
  return HitTest(kBasic, p, [activeSensorType](const Element& e) { return DpiCellClickable(e, activeSensorType); });
}

}  // namespace kovral::layout
