#pragma once
// Where everything sits on the main window and on the dialogs, in client
// pixels. Each rectangle is written once, here; painting, hover and hit-
// testing read these tables in their order, and the skin's pictures are
// made to fit them.
#include <span>

#include "ui/skin_files.h"
#include "ui/text_style.h"

namespace kovral::layout {

struct Point {
  int x = 0;
  int y = 0;
};

struct Size {
  int width = 0;
  int height = 0;
  friend constexpr bool operator==(const Size&, const Size&) = default;
};

// Left and top edges belong to the rectangle, right and bottom do not
// (PtInRect): two rectangles that share an edge coordinate do not overlap.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr Size GetSize() const { return {Width(), Height()}; }
  constexpr bool Contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// What a click on an element does; the page code maps it to its operation.
enum class Action : unsigned char {
  None,
  // Both pages.
  Ok, Apply, Skins, Minimise, Close, BasicTab, AdvancedTab, Cancel, WebLink,
  // Basic page.
  ModeA, ModeB, KeyDefault, KeyRow, ReportRate, DpiSelect, DpiColor, LightBox, DpiCell,
  // Advanced page.
  PrecisionBox, OneScreenBox, PointerDefault, StartRecording, StopRecording,
  MacroNew, MacroDelete, MacroConfirm, MouseEventBox, PointerCell,
  // Dialogs.
  DialogOk, DialogCancel, DialogClose, RepeatMode,
  // The Profiles dialog.
  ProfileSave, ProfileRename, ProfileAddProgram, ProfileRemoveProgram, ProfileDelete,
  // The Preferences dialog.
  NoticeStyle, OsdPosition, StartWithWindows, SwitchAutomatically, ProfileNotices, ShowSampleNotice,
};

// The text drawn on an element; the window picks it from the language tables.
enum class Label : unsigned char {
  None, Ok, Apply, Cancel, WebLink, KeyDefault, ModeA, ModeB, PointerDefault,
  MacroNew, MacroDelete, MacroConfirm,
  KeyRow,  // the row number in the first 20 pixels, then the row's button text
};

// Elements that light up under the pointer. When one lights, the others of
// its group that are lit go back to normal; Alone has no such siblings.
enum class HoverGroup : unsigned char {
  None,  // no hover look
  Alone,
  OkApplyCancel,
  PageTabs,
  MacroButtons,
  KeyRows,
  DialogButtons,
};

struct Element {
  Rect rect;
  Action action = Action::None;
  int index = 0;  // 1-based among elements of the same action (row, segment, stage, box, slider row)
  int step = 0;   // slider cells: the level or position the cell sets
  // Drawn at the rectangle's top-left corner. The over image is the hover
  // look of hoverable elements and the "on" look of two-state ones (mode
  // tabs, check boxes, slider cells).
  const wchar_t* normalImage = nullptr;
  const wchar_t* overImage = nullptr;
  Label label = Label::None;
  unsigned labelFormat = ui::kTextCentre;
  HoverGroup hover = HoverGroup::None;
};

constexpr bool IsHoverable(const Element& e) { return e.hover != HoverGroup::None; }

// The first element of the table, in table order, whose rectangle holds p;
// nullptr when none does.
const Element* HitTest(std::span<const Element> table, Point p);

// The same over the elements accept() lets take part.
template <class Accept>
const Element* HitTest(std::span<const Element> table, Point p, Accept accept) {
  for (const Element& e : table) {
    if (e.rect.Contains(p) && accept(e)) return &e;
  }
  return nullptr;
}

// The element of the table with that action and index (and step), or nullptr.
const Element* FindElement(std::span<const Element> table, Action action, int index = 0, int step = 0);

// Texts drawn at fixed places (headings, labels, scale numbers).
enum class Text : unsigned char {
  PageTitle,  // "Basic Settings" or "Advanced Settings", title font, white
  WebLink,
  KeySetting, ReportRateSetting, DpiSetting, DpiEffect, ColorLabel, SelectLabel,
  LightModeLabel, LightParameterLabel, LightEffectLabel,
  MouseSpeed, ScrollingSpeed, DoubleClickSpeed, EnhancePrecision, ScrollOneScreen,
  MacroSetting, SelectMacro, KeyPressSequence, RecordOption, StartRecording, StopRecording,
  MacroName, LoopTimes, InsertMouseEvent,
};

struct TextItem {
  Rect rect;
  Text text;
  unsigned format;
};

// ---------------------------------------------------------------------------
// Main window

// The size of "/main.png" and of the two page backgrounds.
inline constexpr Size kMainWindowSize{880, 650};

inline constexpr Rect kSkinsButton{701, 5, 719, 23};
inline constexpr Rect kMinimiseButton{825, 5, 843, 23};
inline constexpr Rect kCloseButton{850, 5, 868, 23};
inline constexpr Rect kBasicTab{52, 88, 92, 128};
inline constexpr Rect kAdvancedTab{96, 88, 136, 128};
// OK and Apply share the column x = 617, Apply and Cancel x = 721.
inline constexpr Rect kOkButton{513, 609, 618, 630};
inline constexpr Rect kApplyButton{617, 609, 722, 630};
inline constexpr Rect kCancelButton{721, 609, 826, 630};
inline constexpr Rect kWebLink{273, 617, 449, 637};
inline constexpr Rect kPageTitle{160, 99, 352, 135};

// OK, Apply, Skins, Minimise, Close, Basic tab, Advanced tab, Cancel, Web
// link: the order in which a click is tested.
std::span<const Element> CommonElements();

// Basic page -----------------------------------------------------------------

inline constexpr int kKeyRowCount = 6;
inline constexpr int kReportRateSegments = 4;
inline constexpr int kDpiStages = 4;
inline constexpr int kDpiMaxLevels = 12;
inline constexpr int kLightBoxes = 3;

inline constexpr Rect kModeATab{253, 518, 358, 539};
inline constexpr Rect kModeBTab{357, 518, 462, 539};
inline constexpr Rect kKeyDefaultButton{307, 549, 412, 570};

// Row k = 1..6 (rows 7 and 8 exist in the record only).
constexpr Rect KeyRowRect(int k) {
  const int top = 199 + 23 * (k - 1);
  return {252, top, 463, top + 21};
}
// The row's number, then its button text.
constexpr Rect KeyRowNumberRect(int k) {
  const Rect row = KeyRowRect(k);
  return {row.left, row.top, row.left + 20, row.bottom};
}
// It stops short of the arrow at the row's right end.
inline constexpr int kKeyRowArrowWidth = 18;
constexpr Rect KeyRowTextRect(int k) {
  const Rect row = KeyRowRect(k);
  return {row.left + 20, row.top, row.right - kKeyRowArrowWidth, row.bottom};
}
// The drop-down list of row k (list box 40 + k), just under the row.
constexpr Rect KeyListRect(int k) {
  const Rect row = KeyRowRect(k);
  return {row.left, row.bottom + 1, row.right, row.bottom + 1 + 270};
}
inline constexpr int kKeyListIdBase = 40;  // list of row k: 40 + k; 40 itself is the DPI sub-list
inline constexpr Size kDpiSubListSize{60, 60};

// Segment r = 1..4: 125, 250, 500, 1000 Hz.
constexpr Rect ReportRateRect(int r) {
  const int left = 542 + 72 * (r - 1);
  return {left, 204, left + 70, 215};
}
// The segment's value, centred at the top under it.
constexpr Rect ReportRateLabelRect(int r) {
  const Rect s = ReportRateRect(r);
  return {s.left, s.bottom + 10, s.right, s.bottom + 30};
}

// DPI stage s = 1..4: a 16-pixel column of level cells, its colour pane and
// its select box.
constexpr int DpiColumnLeft(int s) { return 554 + 27 * (s - 1); }
// Level L = 1 (bottom) .. 12 (top).
constexpr Rect DpiCellRect(int s, int level) {
  const int left = DpiColumnLeft(s);
  const int top = 500 - 18 * (level - 1);
  return {left, top, left + 16, top + 16};
}
// Also the place of the colour static (id 70 + s).
constexpr Rect DpiColorRect(int s) { return {DpiColumnLeft(s), 523, DpiColumnLeft(s) + 16, 539}; }
constexpr Rect DpiSelectRect(int s) { return {DpiColumnLeft(s), 541, DpiColumnLeft(s) + 16, 557}; }
inline constexpr int kDpiColorIdBase = 70;  // colour static of stage s: 70 + s
// The stage number under its select box.
constexpr Rect DpiStageNumberRect(int s) {
  const Rect box = DpiSelectRect(s);
  return {box.left, 562, box.right, 587};
}
// The level's DPI text, right-aligned against the columns; the twelve-level
// table leaves more room to its left.
constexpr Rect DpiLevelLabelRect(int level, bool twelveLevels) {
  const Rect cell = DpiCellRect(1, level);
  return {twelveLevels ? 514 : 494, cell.top, 544, cell.bottom};
}

// Lighting box d = 1..3: Mode, Parameter, Effect.
constexpr Rect LightBoxRect(int d) {
  const int top = 330 + 30 * (d - 1);
  return {767, top, 851, top + 14};
}
// The static showing the box's value (id 79 + d); it stops short of the
// box's arrow.
constexpr Rect LightTextRect(int d) {
  const Rect box = LightBoxRect(d);
  return {box.left, box.top, 835, box.bottom};
}
inline constexpr int kLightTextIdBase = 79;  // static of box d: 79 + d (80, 81, 82)
constexpr Rect LightLabelRect(int d) {
  const Rect box = LightBoxRect(d);
  return {697, box.top, 757, box.bottom};
}
inline constexpr Rect kLightModeList{766, 347, 851, 407};  // list 60
// List 61; its height depends on how many values the mode offers.
constexpr Rect LightParameterListRect(int height) { return {767, 377, 851, 374 + height}; }
inline constexpr Rect kLightEffectList{766, 407, 851, 447};  // list 62
inline constexpr int kLightModeListId = 60;
inline constexpr int kLightParameterListId = 61;
inline constexpr int kLightEffectListId = 62;

// Mode A, Mode B, key Default, rows 1..6, report-rate segments 1..4, DPI
// select boxes 1..4, colour panes 1..4, lighting boxes 1..3, then the DPI
// cells stage by stage from level 1 up: the basic page's click order.
std::span<const Element> BasicElements();

// The DPI levels 9 to 12 answer clicks only with sensor type 0, whose table
// has twelve levels.
bool DpiCellClickable(const Element& cell, int activeSensorType);

// The first basic-page element under p, leaving out the DPI cells the
// sensor type does not offer.
const Element* HitTestBasic(Point p, int activeSensorType);

// Texts of the basic page that are not part of an element (headings,
// "Color", "Select", the lighting labels). The scale numbers come from
// ReportRateLabelRect, DpiStageNumberRect and DpiLevelLabelRect.
std::span<const TextItem> BasicTexts();

// Advanced page --------------------------------------------------------------

inline constexpr int kPointerRows = 3;   // Mouse Speed, Scrolling Speed, Double-Click Speed
inline constexpr int kPointerCells = 11;

inline constexpr Rect kPrecisionBox{51, 255, 67, 271};
inline constexpr Rect kOneScreenBox{51, 405, 67, 421};
inline constexpr Rect kPointerDefaultButton{194, 573, 299, 594};
inline constexpr Rect kStartRecordingButton{735, 229, 764, 258};
inline constexpr Rect kStopRecordingButton{735, 265, 764, 294};
inline constexpr Rect kMacroNewButton{513, 528, 618, 549};
inline constexpr Rect kMacroDeleteButton{617, 528, 722, 549};
inline constexpr Rect kMacroConfirmButton{721, 528, 826, 549};
// The "Insert A Mouse Event" box; static 119 shows the last choice in it,
// short of the box's arrow.
inline constexpr Rect kMouseEventBox{735, 402, 854, 416};
inline constexpr Rect kMouseEventText{735, 402, 839, 416};
inline constexpr Rect kMouseEventList{734, 419, 854, 569};
inline constexpr Rect kMacroNameEdit{735, 322, 799, 336};
inline constexpr Rect kLoopCountEdit{735, 362, 799, 376};
inline constexpr Rect kMacroList{462, 220, 590, 509};
inline constexpr Rect kSequenceList{592, 220, 723, 509};
inline constexpr int kMouseEventTextId = 119;
inline constexpr int kLoopCountEditId = 149;
inline constexpr int kMacroNameEditId = 150;
inline constexpr int kMacroListId = 151;
inline constexpr int kSequenceListId = 152;
inline constexpr int kMouseEventListId = 154;

// Slider row 1..3, cell i = 1..11.
constexpr int PointerRowTop(int row) { return 200 + 150 * (row - 1); }
constexpr Rect PointerCellRect(int row, int i) {
  const int left = 52 + 24 * (i - 1);
  return {left, PointerRowTop(row), left + 24, PointerRowTop(row) + 11};
}
constexpr Rect PointerCellNumberRect(int row, int i) {
  const Rect cell = PointerCellRect(row, i);
  return {cell.left, cell.bottom + 10, cell.right, cell.bottom + 30};
}

// The two check boxes, Default, start and stop recording, New, Delete,
// Confirm, the mouse-event box, then the slider cells row by row: the
// advanced page's click order.
std::span<const Element> AdvancedElements();

std::span<const TextItem> AdvancedTexts();

// ---------------------------------------------------------------------------
// Dialogs

// Every dialog's background has this size; its window takes the size of the
// image it actually loads.
inline constexpr Size kDialogSize{380, 312};

inline constexpr Rect kDialogOk{166, 253, 271, 274};
inline constexpr Rect kDialogCancel{270, 253, 375, 274};
inline constexpr Rect kDialogClose{352, 6, 370, 24};

// OK, Cancel, close cross.
std::span<const Element> DialogFrameElements();

enum class DialogKind : unsigned char {
  Single, Windows, Media, FireKey, Macro, Combo, DelayTime, Skins, Profiles, Preferences
};

struct DialogFace {
  DialogKind kind;
  int templateId;
  const wchar_t* background;
  Size size;
};

std::span<const DialogFace> DialogFaces();
const DialogFace& DialogFaceOf(DialogKind kind);

namespace combo {
inline constexpr Rect kModifierField{50, 70, 132, 84};  // opens the modifier list
inline constexpr Rect kModifierText{50, 70, 117, 84};   // static 512
inline constexpr Rect kModifierList{50, 86, 132, 226};  // list 515
inline constexpr Rect kFirstKeyEdit{50, 120, 131, 134};   // edit 516
inline constexpr Rect kSecondKeyEdit{50, 170, 131, 184};  // edit 517
}  // namespace combo

namespace single {
inline constexpr Rect kPrompt{45, 108, 181, 124};
inline constexpr Rect kKeyName{74, 129, 150, 143};  // static 502
}  // namespace single

namespace fire {
inline constexpr Rect kKeyField{50, 70, 132, 84};   // opens the key list
inline constexpr Rect kKeyText{50, 70, 116, 84};    // static 572
inline constexpr Rect kKeyList{50, 86, 132, 256};   // list 573
inline constexpr Rect kSpeedEdit{50, 120, 131, 134};  // edit 574
inline constexpr Rect kTimesEdit{50, 170, 131, 184};  // edit 575
// Labels left of the edits; the explanation lines below the times edit.
constexpr Rect LabelFor(const Rect& edit) { return {edit.left - 40, edit.top, edit.left - 5, edit.bottom}; }
inline constexpr Rect kSpeedLabel = LabelFor(kSpeedEdit);
inline constexpr Rect kTimesLabel = LabelFor(kTimesEdit);
// Lines of the font's height (14 at most) from just under the times edit to
// the line above OK; the times rule takes two, wrapped, in every language.
inline constexpr int kExplanationPitch = 14;
constexpr Rect ExplanationLine(int line, int lines = 1) {  // 0 heading, 1 speed rule, 2 times rule
  const int top = kTimesEdit.bottom + 2 + kExplanationPitch * line;
  return {kTimesEdit.left - 30, top, kDialogSize.width - 12, top + kExplanationPitch * lines};
}
inline constexpr Rect kTimesRule = ExplanationLine(2, 2);
}  // namespace fire

namespace delay {
inline constexpr Rect kDelayEdit{74, 129, 150, 143};  // edit 600
inline constexpr Rect kPrompt{kDelayEdit.left - 60, kDelayEdit.top - 40, kDelayEdit.right + 60, kDelayEdit.top - 20};
inline constexpr Rect kRangeHint{kDelayEdit.left - 60, kDelayEdit.top - 20, kDelayEdit.right + 60, kDelayEdit.top};
}  // namespace delay

// The media and Windows dialogs share their field; only the list's length
// differs. The field reaches from the left margin to the picture panel, wide
// enough for the longest entry ("Browser-My Favorites").
namespace choice {
inline constexpr Rect kChosenText{24, 129, 170, 143};  // static 552 / 532
inline constexpr Rect kField{24, 129, 186, 143};
inline constexpr Rect kMediaList{24, 145, 186, 265};    // list 553
inline constexpr Rect kWindowsList{24, 145, 186, 305};  // list 533
}  // namespace choice

namespace macro {
inline constexpr Rect kNameText{43, 129, 134, 143};  // static 592
inline constexpr Rect kField{43, 129, 151, 143};
inline constexpr Rect kList{43, 145, 151, 285};      // list 593
inline constexpr Rect kPrompt{kField.left - 30, kField.top - 16, kField.right + 30, kField.top};
// Repeat mode m = 1..3: its tick box and its text.
constexpr Rect ModeBoxRect(int m) { return {220, 78 + 50 * (m - 1), 236, 94 + 50 * (m - 1)}; }
constexpr Rect ModeTextRect(int m) { return {237, 70 + 50 * (m - 1), 390, 102 + 50 * (m - 1)}; }
// The three tick boxes ("/Pane.png" off, "/PaneMakingTick.png" on).
std::span<const Element> ModeBoxElements();
}  // namespace macro

namespace skins {
inline constexpr Rect kNameText{43, 129, 135, 144};  // static 560
inline constexpr Rect kSwatch{42, 94, 151, 110};     // static 561
inline constexpr Rect kField{42, 129, 151, 144};
inline constexpr Rect kList{42, 146, 151, 266};      // list 562
inline constexpr Rect kHint{kSwatch.left - 30, kSwatch.top - 30, kSwatch.right + 30, kSwatch.top};
}  // namespace skins

namespace profiles {
inline constexpr Rect kList{14, 40, 366, 118};        // list 590: profiles, their programs, which is active
inline constexpr Rect kNameEdit{60, 124, 366, 140};   // edit 591: the name Save and Rename take
inline constexpr Rect kNameLabel{14, 124, 56, 140};
// Three rows of buttons, two to a row, each the size of its picture.
constexpr Rect ButtonRect(int index) {  // 0 .. 4
  const int left = index % 2 == 0 ? 14 : 196;
  const int top = 146 + 24 * (index / 2);
  return {left, top, left + 170, top + 21};
}
inline constexpr Rect kStatus{196, 194, 366, 244};    // what the last action did, or a broken profile's reason
// The buttons, in ButtonRect order.
std::span<const Element> ButtonElements();
// The entries of the list "Add program…" opens, under the button.
inline constexpr Rect kProgramList{14, 70, 200, 230};  // list 592
}  // namespace profiles

namespace preferences {
// Left: the language drop-down, then the three notice styles.
inline constexpr Rect kLanguageLabel{14, 42, 186, 58};
inline constexpr Rect kLanguageText{16, 60, 168, 76};   // static 620
inline constexpr Rect kLanguageField{14, 60, 186, 76};
inline constexpr Rect kLanguageList{14, 78, 186, 148};  // list 621
inline constexpr Rect kNoticesLabel{14, 86, 186, 102};
constexpr Rect StyleBoxRect(int style) {  // 1 on-screen, 2 balloons, 3 off
  const int top = 106 + 22 * (style - 1);
  return {14, top, 30, top + 16};
}
constexpr Rect StyleTextRect(int style) {
  const Rect box = StyleBoxRect(style);
  return {box.right + 6, box.top - 2, 190, box.bottom + 2};
}
// Right: a small screen with a box at each place the on-screen display can
// take, the chosen place's name under it, and the sample button.
inline constexpr Rect kPositionLabel{196, 42, 366, 58};
inline constexpr Rect kScreen{196, 60, 366, 140};
constexpr Rect PositionBoxRect(int position) {  // 1..6 in OsdPosition order
  constexpr int kLeft[] = {204, 273, 342, 204, 342, 273};
  constexpr int kTop[] = {68, 68, 68, 116, 116, 92};
  return {kLeft[position - 1], kTop[position - 1], kLeft[position - 1] + 16, kTop[position - 1] + 16};
}
inline constexpr Rect kPositionName{196, 141, 366, 157};
inline constexpr Rect kShowMe{196, 159, 366, 180};  // the size of the Profiles dialog's buttons
// Across the width below: the switches the tray menu has too.
constexpr Rect SwitchBoxRect(int row) {  // 1 start with Windows, 2 switch automatically, 3 profile notices
  const int top = 184 + 20 * (row - 1);
  return {14, top, 30, top + 16};
}
constexpr Rect SwitchTextRect(int row) {
  const Rect box = SwitchBoxRect(row);
  return {box.right + 6, box.top - 2, 366, box.bottom + 2};
}
// The tick boxes (index: the style, position or row), then the sample button.
std::span<const Element> Elements();
}  // namespace preferences

}  // namespace kovral::layout
