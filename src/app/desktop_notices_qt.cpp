#include "app/desktop_notices_qt.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>


namespace kovral {
namespace {

constexpr int kReplyWaitMs = 3000;  // a server that hangs costs the notice this long, then the tray shows it

// The "image-data" hint, (iiibiiay): the icon's pixels, which every server
// shows whether or not an icon of the program's name is installed.
QVariant ImageData(const QImage& image) {
  QDBusArgument argument;
  argument.beginStructure();
  argument << image.width() << image.height() << static_cast<int>(image.bytesPerLine()) << true << 8 << 4
           << QByteArray(reinterpret_cast<const char*>(image.constBits()), static_cast<int>(image.sizeInBytes()));
  argument.endStructure();
  return QVariant::fromValue(argument);
}

}  // namespace

DesktopNoticesQt::DesktopNoticesQt(QDBusConnection bus, QImage icon, std::function<void(const Balloon&)> fallback)
    : bus_(std::move(bus)),
      icon_(icon.convertToFormat(QImage::Format_RGBA8888)),
      fallback_(std::move(fallback)) {}

void DesktopNoticesQt::Show(const Balloon& balloon) {
  if (!bus_.isConnected()) {
    fallback_(balloon);
    return;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                     QStringLiteral("/org/freedesktop/Notifications"),
                                     QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("kovral"));
  // Normal, warnings too: none needs the user at once, and a critical one
  // would stay until clicked away.
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(1)));
  if (!icon_.isNull()) hints.insert(QStringLiteral("image-data"), ImageData(icon_));
  call << QStringLiteral("Kovral") << lastId_ << QStringLiteral("kovral") << QString::fromStdWString(balloon.title)
       << QString::fromStdWString(balloon.text) << QStringList() << hints << static_cast<int>(balloon.timeoutMs);
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kReplyWaitMs), &replies_);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &replies_, [this, balloon, watcher] {
    const QDBusPendingReply<uint32_t> reply = *watcher;
    if (reply.isError())
      fallback_(balloon);
    else
      lastId_ = reply.value();
    watcher->deleteLater();
  });
}

}  // namespace kovral
