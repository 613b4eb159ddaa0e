#include "app/tray_qt.h"

#include <QAction>
#include <QCursor>

namespace kovral {

void FillTrayMenu(QMenu& menu, const TrayMenu& items) {
  for (const TrayMenuItem& item : items) {
    if (!item.submenu.empty() || item.command == 0) {
      QMenu* submenu = menu.addMenu(QString::fromStdWString(item.text));
      FillTrayMenu(*submenu, item.submenu);
      continue;
    }
    QAction* action = menu.addAction(QString::fromStdWString(item.text));
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    action->setEnabled(item.enabled);
    action->setData(item.command);
  }
}

TrayQt::TrayQt(const QIcon& icon, std::function<void(TrayClick)> clicked) : clicked_(std::move(clicked)) {
  icon_.setIcon(icon);
  QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_, [this](QSystemTrayIcon::ActivationReason reason) {
    if (!clicked_) return;
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) clicked_(TrayClick::Left);
    if (reason == QSystemTrayIcon::Context) clicked_(TrayClick::Right);
  });
}

// False when the desktop has no notification area (yet).
bool TrayQt::Show(const std::wstring& tip) {
  icon_.setToolTip(QString::fromStdWString(tip));
  icon_.show();
  return Available();
}

bool TrayQt::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayQt::ShowMessage(const std::wstring& title, const std::wstring& text, int timeoutMs, bool warning) {
  icon_.showMessage(QString::fromStdWString(title), QString::fromStdWString(text),
                    warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information, timeoutMs);
}

std::optional<uint32_t> TrayQt::PopUp(const TrayMenu& items, QWidget* over) {
  QMenu menu(over);
  FillTrayMenu(menu, items);
  const QAction* chosen = menu.exec(QCursor::pos());
  if (!chosen || !chosen->data().isValid()) return std::nullopt;
  return chosen->data().toUInt();
}

}  // namespace kovral
