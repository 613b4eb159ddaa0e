#pragma once
// The notification-area icon of the Qt shell and its menu, with the items
// and the order of the Win32 tray: Profiles ▸, Export profile…, Import
// profile…, Preferences…, Start with Windows (checked while on), Exit. What
// each item does and when it is greyed is the caller's, asked each time the
// menu opens.
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cstdint>
#include <functional>
#include <vector>

#include "lang/main_texts.h"
#include "profiles/profile_menu.h"

namespace kovral {

struct TrayMenuState {
  std::vector<ProfilesMenuEntry> profiles;  // empty: no Profiles submenu
  bool exportEnabled = true;
  bool importEnabled = true;
  bool preferencesEnabled = true;
  bool startsAtLogin = false;
};

class TrayQt {
 public:
  struct Handlers {
    std::function<TrayMenuState()> state;
    // A menu item by its command id (app/tray_rules.h, profiles/profile_menu.h).
    std::function<void(uint32_t command)> chosen;
    // A left click (or a double click) on the icon.
    std::function<void()> activated;
  };
  TrayQt(const QIcon& icon, const MainTexts& texts, Handlers handlers);

  void SetTexts(const MainTexts& texts);
  void Show() { icon_.show(); }
  bool visible() const { return icon_.isVisible(); }
  void ShowMessage(const std::wstring& title, const std::wstring& text, int timeoutMs);
  // Builds the menu as things are now; the icon does it each time the menu opens.
  void Rebuild();
  const QMenu& menu() const { return menu_; }

 private:

  QSystemTrayIcon icon_;
  QMenu menu_;
  QMenu profiles_;
  const MainTexts* texts_;
  Handlers handlers_;
};

}  // namespace kovral
