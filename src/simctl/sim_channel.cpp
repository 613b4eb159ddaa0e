#include "simctl/sim_channel.h"

#include <charconv>

#include "settings/text_encoding.h"
#include "simctl/sim_command.h"
#include "simctl/sim_control.h"

namespace kovral {

// The reason travels back so that kvsimctl can say why, which a window
// message's single number could not.
std::string AnswerSimRequest(SimMouse* mouse, std::string_view request) {
  if (!mouse) return EncodeSimReply({0, "the program was not started with --simulate"});
  bool valid = true;
  const std::wstring text = FromUtf8(request, &valid);
  if (!valid) return EncodeSimReply({kSimReplyBadCommand, "the command is not UTF-8 text"});
  const SimCommandParse parse = ParseSimCommand(text);
  if (!parse.command) return EncodeSimReply({kSimReplyBadCommand, ToUtf8(parse.error)});
  std::wstring why;
  if (!ExecuteSimCommand(*mouse, *parse.command, why)) return EncodeSimReply({kSimReplyRefused, ToUtf8(why)});
  return EncodeSimReply({1, ""});
}

// A reason never carries a line break: the reply is one line.
std::string EncodeSimReply(const SimReply& reply) {
  std::string line = std::to_string(reply.code);
  if (!reply.reason.empty()) {
    line += ' ';
    for (char c : reply.reason) line += (c == '\n' || c == '\r') ? ' ' : c;
  }
  return line + '\n';
}

SimReply DecodeSimReply(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  SimReply reply;
  const char* end = line.data() + line.size();
  const auto [next, error] = std::from_chars(line.data(), end, reply.code);
  if (error != std::errc() || (next != end && *next != ' ')) return {0, std::string(line)};
  if (next != end) reply.reason.assign(next + 1, end);
  return reply;
}

}  // namespace kovral
