#pragma once
// The basic settings page's rules, apart from drawing: what a click, a choice
// in a list or a hovered list entry does to the record, the row texts and the
// lighting texts, and what the page must then do with its windows. The page
// object executes the answer; the scene shows the record.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lang/main_texts.h"
#include "pages/page.h"
#include "view/layout.h"
#include "settings/device_config.h"
#include "settings/ui_settings.h"
#include "ui/list_choice.h"
#include "ui/text_style.h"

namespace kovral {

// Control ids of the page's windows.
inline constexpr int kDpiSubListId = 40;
inline constexpr int kKeyListIdFirst = 41;  // row k: 40 + k
inline constexpr int kDpiSwatchIdFirst = 71;  // stage s: 70 + s

// A list window to create.
struct ListRequest {
  int id = 0;
  // Where it goes. The DPI sub-list's rectangle has only its size; it is
  // placed beside entry 6 ("DPI Switch") of the key list `besideList`.
  layout::Rect rect;
  std::vector<std::wstring> items;
  int besideList = 0;
};

// What the page does after an event, in this order: destroy the lists in
// `close`, show the warning, create `open`, set the lighting texts and
// repaint the swatches in `refresh`, repaint the scene in `redraw`, ask for
// a stage colour.
struct BasicUpdate {
  bool handled = false;  // a click an element took (otherwise the window drags)
  std::vector<int> close;
  std::optional<std::wstring> warning;  // caption "Warning"
  std::optional<ListRequest> open;
  std::vector<int> refresh;  // statics 71..74 and 80..82
  std::vector<layout::Rect> redraw;
  int chooseColorStage = 0;  // 1..4: open the colour dialog, then SetDpiColor
  ui::Rgb chooseColorInitial;  // the stage's colour now: where the dialog starts
  // A function that collects its details in a dialog (positions 8..13), for
  // button `dialogButton` (0-based) of the edited mode; -1 for none.
  int dialogFunction = -1;
  int dialogButton = -1;
  int focusList = 0;  // a list to give the keyboard focus to, after `open`
};

// A lighting text control (80 mode, 81 parameter, 82 effect).
struct LightControl {
  bool exists = false;
  std::wstring text;
};

class BasicPageModel {
 public:
  // `sensorType` is read at every click: a device arrival can change it.
  BasicPageModel(DeviceConfig& config, UiSettings& ui, const MainTexts& texts, const uint8_t& sensorType);

  // After a full paint: the lighting texts as the record gives them (the
  // parameter and effect controls exist only for modes 1 to 3).
  void Painted();

  BasicUpdate Click(layout::Point p);
  // An event in an open list (key list 41..46, the DPI sub-list 40, lighting
  // list 60..62), `selection` being its highlighted entry or -1. A click,
  // double click or Enter chooses; a key that moves the highlight chooses
  // nothing (in a key list it opens the DPI sub-list on "DPI Switch", as the
  // pointer does, and Enter there moves the keys into it); Esc closes the
  // list, a key list with its sub-list.
  BasicUpdate ListEvent(int listId, ui::ListEvent event, int selection);
  // A selection in key list 41..46 (selection changed or double click); -1 for none.
  BasicUpdate ChooseFunction(int listId, int selection);
  // The pointer over entry `item` of an open key list.
  BasicUpdate HoverFunction(int listId, int item);
  BasicUpdate ChooseDpi(int selection);
  // A selection in lighting list 60..62.
  BasicUpdate ChooseLight(int listId, int selection);
  // The colour dialog's answer for stage 1..4.
  BasicUpdate SetDpiColor(int stage, ui::Rgb color);

  const LightControl& Light(int box) const { return light_[box - 1]; }  // box 1..3
  int openRow() const { return openRow_; }
  bool dpiSubListOpen() const { return dpiSubListOpen_; }
  int openLightList() const { return openLight_; }

 private:
  // The click chain's handlers, by the action of the element hit.
  void OnModeTab(const layout::Element& e, BasicUpdate& u);
  void OnKeyDefault(const layout::Element& e, BasicUpdate& u);
  void OnKeyRow(const layout::Element& e, BasicUpdate& u);        // OpenButtonList
  void OnReportRate(const layout::Element& e, BasicUpdate& u);    // SelectReportRate
  void OnDpiSelect(const layout::Element& e, BasicUpdate& u);     // ToggleDpiStage
  void OnDpiColor(const layout::Element& e, BasicUpdate& u);      // ChooseDpiColor
  void OnLightBox(const layout::Element& e, BasicUpdate& u);      // OpenLightList
  void OnDpiCell(const layout::Element& e, BasicUpdate& u);       // SetDpiLevel

  BasicUpdate CloseListsOutside(layout::Point p);
  void CloseKeyList(BasicUpdate& u);
  void CloseLightList(BasicUpdate& u);
  void RedrawRows(BasicUpdate& u) const;
  void SetLightText(int box, std::wstring text, BasicUpdate& u);
  int LevelCount() const;
  layout::Rect StageColumn(int stage) const;

  DeviceConfig& config_;
  UiSettings& ui_;
  const MainTexts& texts_;
  const uint8_t& sensorType_;
  int openRow_ = 0;  // the key row whose list exists
  bool dpiSubListOpen_ = false;
  int openLight_ = 0;  // the lighting box whose list exists
  // The effect box of Standard opens no list; a click marks it, and the next
  // click on it only takes the mark away.
  bool effectMarked_ = false;
  std::vector<std::wstring> lightItems_;  // the open lighting list's entries
  LightControl light_[3];
};

// The page itself: it carries out the model's answers through the shell,
// in their order, and runs the dialog of a function chosen for a button.
class BasicPage final : public Page {
 public:
  explicit BasicPage(const PageContext& context);

  int Id() const override;
  std::span<const layout::Element> Elements() const override;
  Scene BuildScene(const PageView& view, const LitTest& lit) const override;
  void Prepare() override;
  void CreateChildren() override;
  PageClickResult Click(layout::Point p) override;
  void ListEvent(int listId, ui::ListEvent event, int selection) override;
  void HotItem(int listId, int item) override;
  // `what`: the function whose dialog runs, `detail`: the button (0-based).
  void Continue(int what, int detail) override;

  const BasicPageModel& model() const { return model_; }

 private:
  void Execute(const BasicUpdate& update);
  // Runs the dialog of a function; true when it ended with OK and stored something.
  bool RunAssignmentDialog(int function, int button);
  void OpenList(const ListRequest& request);

  PageContext context_;
  BasicPageModel model_;
  std::set<int> open_;  // the lists the shell has open
};

// The parameter and effect texts the lighting boxes show for a mode; empty
// for a mode without them or a value outside its list.
std::wstring LightParameterText(const DeviceConfig& config);
std::wstring LightEffectTextOf(const DeviceConfig& config, const MainTexts& texts);

}  // namespace kovral
