#include "app/sleep_watch_qt.h"

namespace kovral {

// Only logind may own its name on the system bus, so only its signal is heard.
bool SleepWatchQt::Start(QDBusConnection bus) {
  if (!bus.isConnected()) return false;
  return bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                     QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                     SLOT(PrepareForSleep(bool)));
}

void SleepWatchQt::PrepareForSleep(bool sleeping) {
  if (!sleeping) resumed_();
}

}  // namespace kovral
