#pragma once
// The main window's pages in the Qt shell: the controls the portable pages
// ask for (page_shell_qt.cpp), the painting of the shown page's scene, the
// key capture of a macro recording and the dialogs. What a page does is
// PageHost's; this only makes widgets and hands their events back.
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "base/message_sink.h"
#include "pages/page_host.h"
#include "pages/page_shell.h"
#include "ui/color_chooser.h"
#include "view/controls_qt.h"
#include "view/main_window_qt.h"

namespace kovral {

// How the pages look; the shell sets it once the settings and skin are read.
struct PageLookQt {
  std::wstring skinFolder;
  ui::Rgb textColor;
  const MainTexts* texts = nullptr;
  std::wstring languageCode;
};

struct PageHostQtServices {
  MainWindowQt& window;
  SettingsSession& settings;
  DeviceLink& link;
  DeviceImage& image;
  SystemPointerSettings& pointer;
  MessageSink& messages;
  ColorChooser& colors;
  AssignmentDialogs& dialogs;
};

class PageHostQt final : private PageShell {
 public:
  explicit PageHostQt(const PageHostQtServices& services);
  ~PageHostQt() override;

  void SetLook(PageLookQt look);
  PageState& state() { return host_.state(); }
  void Show(int page) { host_.Show(page); }
  void Rebuild() { host_.Rebuild(); }
  void CommitEdits() { host_.CommitEdits(); }
  bool Recording() const { return host_.Recording(); }
  bool PageClick(layout::Point p) { return host_.Click(p); }
  void MouseMove(layout::Point p);
  // The pointer left the window: nothing is hovered.
  void MouseLeft() { host_.MouseMove(layout::Point{-1, -1}); }
  // Whether a drop-down list of the page is open.
  bool ListOpen() const;
  // Whether key capture for a macro recording runs.
  bool Capturing() const { return capturing_; }
  // A key of the keyboard while capturing: `code` is the Linux input event
  // code. False when nothing captures.
  bool CapturedKey(int code, bool released, bool autoRepeat);
  // Draws the page again in full (after a change of scale).
  void Redraw() { Paint(); }
  // Whether the widget is one of the page's lists (keys go to it).
  bool IsPageList(const QWidget* widget) const;

 private:
  enum class ControlKind { Text, Swatch, Edit, List };
  struct Control {
    QPointer<QWidget> widget;
    ControlKind kind = ControlKind::Text;
    layout::Rect rect;
  };

  // PageShell
  bool OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items, bool focus) override;
  void CloseList(int id) override;
  std::optional<layout::Rect> ListEntryRect(int id, int entry) override;
  void MakeList(int id, const layout::Rect& rect, bool keys) override;
  void SetListItems(int id, const std::vector<std::wstring>& items, int selected) override;
  void SetListSelection(int id, int selected) override;
  void MakeText(int id, const layout::Rect& rect, const std::wstring& text) override;
  void MakeEdit(int id, const layout::Rect& rect, int limit, bool digits) override;
  void SetText(int id, const std::wstring& text) override;
  std::wstring Text(int id) override;
  void RefreshSwatch(int id) override;
  void Focus(int id) override;
  void SetTitle(const std::wstring& text) override;
  void DestroyControls() override;
  void Paint() override;
  void Repaint(std::span<const layout::Rect> rects) override;
  void RequestHover() override;
  void ContinueLater(int what, int detail) override;
  std::optional<ui::Rgb> ChooseColor(ui::Rgb initial) override;
  void ShowMessage(const std::wstring& text, const std::wstring& caption) override;
  std::optional<int> StartKeyCapture() override;
  void StopKeyCapture() override;
  AssignmentDialogs& Dialogs() override { return services_.dialogs; }

  QWidget* ControlWidget(int id) const;
  QWidget* MakeControl(ControlType type, int id, const layout::Rect& rect, ControlKind kind,
                       const std::wstring& text);
  void Connect(int id, QWidget* control, ControlKind kind);
  void ListEvent(int id, ui::ListEvent event);
  ControlLook ControlLookNow() const;
  // The height of a list row, in units: the line of the window's font.
  int LineHeight() const;
  Scene PageScene(bool withHover) const;

  PageHostQtServices services_;
  PageLookQt look_;
  std::map<int, Control> controls_;
  int notifying_ = 0;     // inside a list's own notifications
  bool syncing_ = false;  // texts set here raise no edit notifications
  bool capturing_ = false;
  std::wstring ownTitle_;
  bool titleChanged_ = false;
  bool hoverPending_ = false;
  layout::Point lastPointer_{-1, -1};
  PageHost host_;
};

}  // namespace kovral
