#pragma once
// The advanced page's rules for the system's pointer settings, apart from
// drawing: the two check boxes, the three sliders and Default. Each answer
// says which rectangles of the page's scene to paint again.
#include <vector>

#include "macro/macro_panel.h"
#include "pages/page.h"
#include "view/layout.h"
#include "pages/page_pointer.h"
#include "settings/device_config.h"

namespace kovral {

struct AdvancedUpdate {
  bool handled = false;  // a click an element took (otherwise the window drags)
  std::vector<layout::Rect> redraw;
  // The macro panel's buttons (Start and Stop recording, New, Delete,
  // Confirm), carried out by the page; Action::None for none.
  layout::Action macroAction = layout::Action::None;
  bool openMouseEventList = false;
  bool closeMouseEventList = false;
};

class AdvancedPageModel {
 public:
  AdvancedPageModel(DeviceConfig& config, SystemPointerSettings& pointer) : config_(config), pointer_(pointer) {}

  AdvancedUpdate Click(layout::Point p);
  // A choice closed the mouse-event list.
  void MouseEventListClosed() { mouseEventListOpen_ = false; }
  bool mouseEventListOpen() const { return mouseEventListOpen_; }

 private:
  void OnMacroButton(const layout::Element& e, AdvancedUpdate& u);
  void OnMouseEventBox(const layout::Element& e, AdvancedUpdate& u);
  void OnPrecisionBox(const layout::Element& e, AdvancedUpdate& u);
  void OnOneScreenBox(const layout::Element& e, AdvancedUpdate& u);
  void OnPointerDefault(const layout::Element& e, AdvancedUpdate& u);
  void OnPointerCell(const layout::Element& e, AdvancedUpdate& u);

  DeviceConfig& config_;
  SystemPointerSettings& pointer_;
  bool mouseEventListOpen_ = false;
};

// The page itself: the pointer settings' model and the macro panel with its
// recorder, whose controls it keeps showing what the models hold.
class AdvancedPage final : public Page {
 public:
  explicit AdvancedPage(const PageContext& context);

  int Id() const override;
  std::span<const layout::Element> Elements() const override;
  Scene BuildScene(const PageView& view, const LitTest& lit) const override;
  void Prepare() override;
  void CreateChildren() override;
  void Leave() override;
  PageClickResult Click(layout::Point p) override;
  void ListEvent(int listId, ui::ListEvent event, int selection) override;
  void EditChanged(int editId) override;
  void EditLeft(int editId) override;
  void HotItem(int listId, int item) override;
  void Continue(int what, int detail) override;
  void Key(const std::wstring& name, bool released, bool wasDown) override;
  bool Recording() const override { return recording_; }
  void CommitEdits() override;

  const MacroPanelModel& panel() const { return panel_; }

 private:
  void RunMacroButton(layout::Action action);
  void StartRecording();
  void StopRecording();
  void EndCapture();
  void Tell(const std::optional<PanelMessage>& message);
  void Sync();
  void SyncSequence();
  void MouseEventListEvent(ui::ListEvent event, int selection);
  void MacroListEvent(ui::ListEvent event, int selection);

  PageContext context_;
  AdvancedPageModel model_;
  MacroPanelModel panel_;
  bool made_ = false;  // the controls exist
  bool recording_ = false;
};

// The text that stands over the scrolling row where the desktop keeps no
// wheel setting, saying why.
inline constexpr int kNoWheelTextId = 120;

// The cells of slider row 1..3 (Mouse Speed, Scrolling Speed, Double-Click Speed).
layout::Rect PointerRowRect(int row);

}  // namespace kovral
