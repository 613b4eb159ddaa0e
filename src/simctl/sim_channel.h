#pragma once
// The control channel's wire form where it is a local socket (Linux): one
// request line of UTF-8 command text, one reply line "<code>[ <reason>]".
// The codes are those of the Windows channel: 1 done, kSimReplyBadCommand,
// kSimReplyRefused, 0 not running with --simulate.
#include <string>
#include <string_view>

namespace kovral {

class SimMouse;

// The socket's name for SessionSocketPath (settings/user_folder.h).
inline constexpr char kSimChannelName[] = "kovral-simctl";

struct SimReply {
  int code = 0;
  std::string reason;  // UTF-8; empty when done
  bool Done() const { return code == 1; }
};

// What the program answers to one request line (without its newline);
// `mouse` is null when it does not run with --simulate.
std::string AnswerSimRequest(SimMouse* mouse, std::string_view request);

std::string EncodeSimReply(const SimReply& reply);
// A reply line that cannot be read gives code 0 with the line as the reason.
SimReply DecodeSimReply(std::string_view line);

}  // namespace kovral
