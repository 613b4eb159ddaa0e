#include "app/single_instance_qt.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

namespace kovral {
namespace {

constexpr char kShowRequest[] = "show\n";
// The running copy may still be starting (its socket not yet listening).
constexpr int kAskForMs = 5000;

bool AskToShow(const QString& path) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < kAskForMs) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(500)) {
      socket.write(kShowRequest);
      const bool sent = socket.waitForBytesWritten(1000);
      socket.disconnectFromServer();
      return sent;
    }
    QThread::msleep(100);
  }
  return false;
}

}  // namespace

SingleInstanceQt::~SingleInstanceQt() {
  server_.close();
  if (lockFd_ >= 0) close(lockFd_);
}

// The lock decides, not the socket: a socket file left by a copy that was
// killed would otherwise look like a running copy, and two starts at once
// could both remove it and listen. The kernel drops the lock with the process.
bool SingleInstanceQt::Claim(const std::string& socketPath, std::function<void()> show) {
  const QString path = QString::fromStdString(socketPath);
  // A lock file that cannot be opened (another user's in a shared /tmp, a
  // link) says nothing about this session: the program then runs alone.
  lockFd_ = open((socketPath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFd_ < 0) return true;
  if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    close(lockFd_);
    lockFd_ = -1;
    AskToShow(path);
    return false;
  }
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  server_.listen(path);  // without it the program still runs, only alone
  QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this, show] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      QObject::connect(client, &QLocalSocket::readyRead, client, [client, show] {
        if (client->readAll().contains("show") && show) show();
        client->disconnectFromServer();
      });
    }
  });
  return true;
}

}  // namespace kovral
