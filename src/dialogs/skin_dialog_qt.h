#pragma once
// The Qt host of a skinned dialog's model: a frameless modal dialog showing
// the face from the skin at the screen's ratio, painted with the model's
// scene, with the controls, the pop-up list, message boxes and key capture
// the model asks for. Every decision is the model's; a dialog class only
// makes its model and keeps its results.
#include <QDialog>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/dialog_environment.h"
#include "dialogs/dialog_shell.h"
#include "dialogs/skin_dialog.h"
#include "ui/image_cache_qt.h"
#include "base/message_sink.h"

class QListWidget;

namespace kovral {

// What RunModal gives, the values the Win32 dialogs end with.
inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

class CSkinDialog : public QDialog, private DialogShell {
 public:
  explicit CSkinDialog(std::unique_ptr<SkinDialogModel> model);
  ~CSkinDialog() override;

  // kDialogOk or kDialogCancel. Without an owner the default owner is used
  // (normally the main window).
  int RunModal(QWidget* owner = nullptr);
  // The owner of dialogs run without one; nullptr for none.
  static void SetDefaultOwner(QWidget* owner);
  // The device the window configures went away: every running dialog that
  // works on it ends as cancelled, with the dialogs and message boxes shown
  // over it.
  static void CancelDeviceDialogs();
  // Whether a dialog runs over `owner` and is not ending.
  static bool AnyRunningOver(const QWidget* owner);

  // The model's view of the dialog, for tests that drive it as a user would.
  SkinDialogModel& model() { return *model_; }
  // The pop-up list while it is open; nullptr otherwise.
  QListWidget* openList() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Keys of the dialog and of its controls pass the model first.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void accept() override;
  void reject() override;

 private:
  // DialogShell
  void CreateControl(const ControlRequest& request) override;
  void SetText(int id, const std::wstring& text) override;
  std::wstring Text(int id) const override;
  void Enable(int id, bool enable) override;
  void Show(int id, bool show) override;
  void Focus(int id) override;
  bool HasFocus(int id) const override;
  void RedrawControl(int id) override;
  void SetListItems(int id, const std::vector<std::wstring>& items) override;
  void SelectListItem(int id, int index) override;
  int ListSelection(int id) const override;
  void ScrollList(int id, int lines) override;
  bool OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items) override;
  void CloseList() override;
  void Repaint(const std::vector<layout::Rect>& rects) override;
  void End(bool ok) override;
  void Tell(const std::wstring& text, const std::wstring& caption) override;
  bool Ask(const std::wstring& question, const std::wstring& caption) override;
  std::optional<int> StartKeyCapture() override;
  void StopKeyCapture() override { capturing_ = false; }
  void* ChooserOwner() override { return static_cast<QWidget*>(this); }
  int TextWidth(std::wstring_view text) override;
  int LineHeight() const override;
  int Dpi() const override;

  struct Control {
    QWidget* widget;
    ControlKind kind;
    layout::Rect rect;
  };
  // Message boxes over the dialog, owned by it (a cancel closes them).
  class Messages final : public MessageSink {
   public:
    explicit Messages(QWidget& owner);
    void Show(const std::wstring& text, const std::wstring& caption) override;
    bool Ask(const std::wstring& question, const std::wstring& caption);

   private:
    QString Caption(const std::wstring& caption) const;
    QWidget& owner_;
    QString appName_;
  };

  QWidget* ControlOf(int id) const;
  QRect WidgetRect(const layout::Rect& units) const;
  layout::Point UnitPointOf(const QPointF& local) const;
  void Centre(const QWidget* owner);
  void Render();  // the whole scene onto the face
  void Place();   // the controls at the current scale
  void CancelWithOwnedWindows();
  QFont DeviceFont() const;  // the dialog font in device pixels, for painting and measuring
  QFont WidgetFont() const;  // the same in logical pixels, for the controls
  bool LoadFace();
  void StyleControl(QWidget& control, int id, ControlKind kind);
  void WatchList(QListWidget& list, int id, bool popUp);
  void AddRows(QListWidget& list, const std::vector<std::wstring>& items) const;
  // A key of the dialog or one of its controls: true when it is taken.
  bool OnKey(QKeyEvent& event);

  std::unique_ptr<SkinDialogModel> model_;
  Messages messages_;
  ImageCacheQt images_;
  QImage surface_;  // the face at the ratio the dialog is shown at, the scene drawn on it
  std::map<int, Control> controls_;
  QPointer<QListWidget> list_;
  int listId_ = 0;
  QTimer hover_;
  QPointF hoverAt_;
  bool capturing_ = false;
  bool faceLoaded_ = false;
  bool ending_ = false;
  int result_ = kDialogCancel;
  CSkinDialog* outer_ = nullptr;  // the dialog whose loop runs this one's, while it runs
};

// The name of a key event as the key dialogs and the recorder show it: the
// key tables' name of its Linux key code, else Qt's name of the key.
std::wstring KeyNameOfKeyEvent(const QKeyEvent& event);

}  // namespace kovral
