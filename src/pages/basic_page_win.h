#pragma once
// The basic settings page: key rows, report rate, DPI stages, lighting. Its
// rules are BasicPageModel's; this object makes and destroys the windows the
// model asks for and draws through the page's scene.
#include <map>

#include "pages/basic_page.h"
#include "pages/main_page_win.h"

namespace kovral {

class CBasicPage final : public CPage {
 public:
  explicit CBasicPage(const PageContext& context);

  int Id() const override;
  std::span<const layout::Element> Elements() const override;
  Scene BuildScene(const PageView& view, const LitTest& lit) const override;
  void Prepare() override;
  void CreateChildren() override;
  PageClickResult OnClick(layout::Point p) override;
  bool OnCommand(int controlId, int code) override;
  bool HotTracks(int controlId) const override;
  void OnHotItem(int controlId, int item) override;
  void OnContinue(WPARAM function, LPARAM button) override;

 private:
  void Execute(const BasicUpdate& update);
  // Runs the dialog of a function; true when it ended with OK and stored something.
  bool RunAssignmentDialog(int function, int button);
  void CloseList(int id);
  void OpenList(const ListRequest& request);
  HWND MakeStatic(int id, const layout::Rect& rect, const std::wstring& text);

  BasicPageModel model_;
  std::map<int, OwnedWindow> lists_;  // the open lists by id
  OwnedWindow swatches_[4];           // 71..74
  OwnedWindow lightTexts_[3];         // 80..82
  bool inListNotification_ = false;
};

}  // namespace kovral
