#pragma once
// The notification-area icon of the Qt shell. Its menu is the portable one
// (app/tray_menu.h), built by the controller each time it opens and shown
// at the pointer until an item is chosen or it is dismissed.
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/tray_menu.h"
#include "app/tray_rules.h"

namespace kovral {

// The menu's actions for `items`, each action's data its command.
void FillTrayMenu(QMenu& menu, const TrayMenu& items);

class TrayQt {
 public:
  // A click on the icon: left (or double) shows the window, right the menu.
  explicit TrayQt(const QIcon& icon, std::function<void(TrayClick)> clicked);

  bool Show(const std::wstring& tip);
  // Whether the desktop shows icons like this one (an XEmbed tray or a
  // StatusNotifierItem host).
  static bool Available();
  void Hide() { icon_.hide(); }
  bool visible() const { return icon_.isVisible(); }
  void ShowMessage(const std::wstring& title, const std::wstring& text, int timeoutMs, bool warning);
  // Shows the menu at the pointer, over `over` when it shows (a Wayland
  // compositor places a pop-up only beside a window of its program); the
  // command chosen, nothing when dismissed.
  std::optional<uint32_t> PopUp(const TrayMenu& items, QWidget* over = nullptr);

 private:
  QSystemTrayIcon icon_;
  std::function<void(TrayClick)> clicked_;
};

}  // namespace kovral
