#pragma once
// logind's word that the system has woken (PrepareForSleep(false) on the
// system bus), for the controller's check of the link. A machine without
// logind or without a system bus never tells it, which costs nothing.
#include <QDBusConnection>
#include <QObject>

#include <functional>

namespace kovral {

class SleepWatchQt final : public QObject {
  Q_OBJECT

 public:
  explicit SleepWatchQt(std::function<void()> resumed) : resumed_(std::move(resumed)) {}

  // False when the bus is not there or refuses the match.
  bool Start(QDBusConnection bus);

 private slots:
  void PrepareForSleep(bool sleeping);

 private:
  std::function<void()> resumed_;
};

}  // namespace kovral
