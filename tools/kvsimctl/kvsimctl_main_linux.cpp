// kvsimctl: sends one command to a running kovral that was started with
// --simulate, over the user's control socket, so a test can make the
// simulated mouse press its buttons, be unplugged and plugged in again, stop
// answering, or stall.
//
//   kvsimctl notify <code> <value>
//   kvsimctl raw <hex bytes>
//   kvsimctl unplug | plug
//   kvsimctl silent on|off
//   kvsimctl stall <count> <ms> | stall off
//
// Exit code 0 when the program accepted the command, 1 otherwise (the reason
// on stderr).
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/text_encoding.h"
#include "settings/user_folder.h"
#include "simctl/sim_channel.h"
#include "simctl/sim_command.h"

namespace {

// The program handles a command on its interface thread; an Apply in
// progress can hold it for a second or so. Beyond this it is hung.
constexpr int kReplyTimeoutMs = 15000;

int Fail(const std::string& why) {
  std::fprintf(stderr, "kvsimctl: %s\n", why.c_str());
  return 1;
}

// Owns the socket; closed on every way out.
struct Socket {
  int fd = -1;
  ~Socket() {
    if (fd >= 0) close(fd);
  }
};

bool SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// One reply line; false when the program closed or did not answer in time.
bool ReadLine(int fd, std::string& line) {
  char buffer[512];
  while (line.find('\n') == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, kReplyTimeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    line.append(buffer, static_cast<size_t>(n));
    if (line.size() > 64 * 1024) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::wstring> words;
  for (int i = 1; i < argc; ++i) words.push_back(kovral::FromUtf8(argv[i]));
  if (words.empty())
    return Fail("usage: kvsimctl notify <code> <value> | raw <hex bytes> | unplug | plug | silent on|off | "
                "stall <count> <ms> | stall off");
  const std::wstring text = kovral::JoinSimCommand(words);
  // Checked here too, so that a typo is explained before anything is sent.
  const kovral::SimCommandParse parse = kovral::ParseSimCommand(text);
  if (!parse.command) return Fail(kovral::ToUtf8(parse.error));
  const std::string command = kovral::ToUtf8(text);

  const std::string path =
      kovral::SessionSocketPath(kovral::kSimChannelName, [](const char* n) { return std::getenv(n); }, getuid());
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return Fail("the socket path is too long: " + path);
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  Socket socket_;
  socket_.fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_.fd < 0) return Fail(std::string("no socket: ") + std::strerror(errno));
  if (connect(socket_.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    return Fail("nothing listens at " + path + ": the program is not running with --simulate (" +
                std::strerror(errno) + ")");
  if (!SendAll(socket_.fd, command + "\n")) return Fail("the program closed the connection");
  std::string line;
  if (!ReadLine(socket_.fd, line)) return Fail("the program did not answer (hung, or it ended)");
  const kovral::SimReply reply = kovral::DecodeSimReply(line.substr(0, line.find('\n')));
  if (!reply.Done()) {
    switch (reply.code) {
      case kovral::kSimReplyBadCommand:
        return Fail("the program did not understand \"" + command + "\": " + reply.reason);
      case kovral::kSimReplyRefused:
        return Fail("the simulated mouse cannot do \"" + command + "\" now: " + reply.reason);
      default:
        return Fail("the program refused \"" + command + "\": " + reply.reason);
    }
  }
  std::printf("kvsimctl: %s: done\n", command.c_str());
  return 0;
}
