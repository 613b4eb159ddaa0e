#include "app/sim_channel_qt.h"

#include <QLocalSocket>

#include "simctl/sim_channel.h"

namespace kovral {
namespace {

constexpr qsizetype kRequestLimit = 4096;  // a command is a line of at most a few hundred bytes

}  // namespace

SimChannelQt::SimChannelQt(SimMouse& mouse, std::function<void(const std::string&)> ran)
    : mouse_(mouse), ran_(std::move(ran)) {}

SimChannelQt::~SimChannelQt() { server_.close(); }

// One request line per connection, answered with one reply line.
bool SimChannelQt::Listen(const std::string& socketPath) {
  const QString path = QString::fromStdString(socketPath);
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(path)) return false;
  QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
        if (client->bytesAvailable() > kRequestLimit) {
          client->abort();
          return;
        }
        if (!client->canReadLine()) return;
        QByteArray line = client->readLine(kRequestLimit).trimmed();
        const std::string request = line.toStdString();
        const std::string reply = AnswerSimRequest(&mouse_, request);
        client->write(reply.c_str(), static_cast<qint64>(reply.size()));
        client->flush();
        client->disconnectFromServer();
        if (DecodeSimReply(reply).Done() && ran_) ran_(request);
      });
    }
  });
  return true;
}

}  // namespace kovral
