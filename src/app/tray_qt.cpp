#include "app/tray_qt.h"

#include <QAction>

#include "app/tray_rules.h"

namespace kovral {
namespace {

QString Text(const wchar_t* text) { return QString::fromWCharArray(text ? text : L""); }

}  // namespace

TrayQt::TrayQt(const QIcon& icon, const MainTexts& texts, Handlers handlers)
    : texts_(&texts), handlers_(std::move(handlers)) {
  icon_.setIcon(icon);
  icon_.setToolTip(Text(texts.trayTip));
  icon_.setContextMenu(&menu_);
  // Built as it opens, so greyed items and the tick say how things are now.
  QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] { Rebuild(); });
  QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_, [this](QSystemTrayIcon::ActivationReason reason) {
    if ((reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) && handlers_.activated)
      handlers_.activated();
  });
  Rebuild();
}

void TrayQt::SetTexts(const MainTexts& texts) {
  texts_ = &texts;
  icon_.setToolTip(Text(texts.trayTip));
}

void TrayQt::ShowMessage(const std::wstring& title, const std::wstring& text, int timeoutMs) {
  icon_.showMessage(QString::fromStdWString(title), QString::fromStdWString(text), QSystemTrayIcon::Information,
                    timeoutMs);
}

void TrayQt::Rebuild() {
  menu_.clear();
  profiles_.clear();
  const TrayMenuState state = handlers_.state ? handlers_.state() : TrayMenuState{};
  auto add = [this](QMenu& to, const QString& text, uint32_t command, bool enabled, bool checkable, bool checked) {
    QAction* action = to.addAction(text);
    action->setEnabled(enabled);
    action->setCheckable(checkable);
    action->setChecked(checked);
    QObject::connect(action, &QAction::triggered, &menu_, [this, command] {
      if (handlers_.chosen) handlers_.chosen(command);
    });
  };
  if (!state.profiles.empty()) {
    profiles_.setTitle(Text(texts_->trayProfiles));
    menu_.addMenu(&profiles_);
    for (const ProfilesMenuEntry& entry : state.profiles)
      add(profiles_, QString::fromStdWString(entry.text), entry.command, entry.enabled, entry.checked, entry.checked);
  }
  add(menu_, Text(texts_->trayExportProfile), kTrayMenuExportProfileCommand, state.exportEnabled, false, false);
  add(menu_, Text(texts_->trayImportProfile), kTrayMenuImportProfileCommand, state.importEnabled, false, false);
  add(menu_, Text(texts_->trayPreferences), kTrayMenuPreferencesCommand, state.preferencesEnabled, false, false);
  add(menu_, Text(texts_->trayStartWithWindows), kTrayMenuStartWithWindowsCommand, true, true, state.startsAtLogin);
  add(menu_, Text(texts_->trayExit), kTrayMenuExitCommand, true, false, false);
}

}  // namespace kovral
