#pragma once
// The desktop's notifications (org.freedesktop.Notifications on the session
// bus): where the program's balloons go on Linux, since a notification
// server shows them on every desktop, Wayland's included, where a tray
// icon's own balloon may have no place. Without a server the balloon is the
// tray icon's.
#include <QDBusConnection>
#include <QImage>
#include <QObject>

#include <cstdint>
#include <functional>

#include "lang/notices.h"

namespace kovral {

class DesktopNoticesQt {
 public:
  DesktopNoticesQt(QDBusConnection bus, QImage icon, std::function<void(const Balloon&)> fallback);

  // Asks the server to show `balloon`, replacing the one shown before, as a
  // tray icon shows one balloon at a time; the fallback shows it when no
  // server is there or it refuses.
  void Show(const Balloon& balloon);
  // The server's id of the last notice it showed, which the next replaces; 0 before any.
  uint32_t shownId() const { return lastId_; }

 private:
  QDBusConnection bus_;
  QImage icon_;  // RGBA, 8 bits a channel
  std::function<void(const Balloon&)> fallback_;
  uint32_t lastId_ = 0;
  QObject replies_;  // owns the calls under way: a reply after the end reaches no one
};

}  // namespace kovral
