#pragma once
// Commands of the simulated-mouse control channel. A test (through
// kvsimctl.exe) sends one command as UTF-16 text in WM_COPYDATA to the main
// window; the program accepts them only when it runs with --simulate.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovral {

// COPYDATASTRUCT::dwData of a control command: 'KVSM'.
constexpr uint32_t kSimControlMagic = 0x4B56534D;
// A notification report is read into a 40-byte buffer; longer raw reports
// could never reach the program.
constexpr size_t kSimRawReportMax = 40;

// What the main window answers to a control message (besides TRUE, done, and
// FALSE, not running with --simulate).
constexpr int kSimReplyBadCommand = 2;
constexpr int kSimReplyRefused = 3;  // the simulated mouse cannot do it now (e.g. unplugged)

enum class SimCommandKind { Notify, Raw, Unplug, Plug, Silent, Stall, Reenumerate };

struct SimCommand {
  SimCommandKind kind = SimCommandKind::Notify;
  uint8_t code = 0;              // Notify
  uint8_t value = 0;             // Notify
  std::vector<uint8_t> report;   // Raw: the whole input report, ID first
  bool on = false;               // Silent
  uint32_t count = 0;            // Stall: calls to hold up (0: stop stalling)
  uint32_t milliseconds = 0;     // Stall: how long each one is held up
};

struct SimCommandParse {
  std::optional<SimCommand> command;  // empty on error
  std::wstring error;
};

// Grammar (words separated by blanks):
//   notify <code> <value>   numbers 0..255, decimal or 0x-prefixed hex
//   raw <hex bytes>         "06 07 00 02" or "06070002", 1..40 bytes
//   unplug | plug
//   reenumerate             the handles die, no plug event (as across a sleep)
//   silent on|off
//   stall <count> <ms>      the next count (1..100000) calls on the configuration
//                           collection each take ms (1..600000) longer
//   stall off               no more stalls
SimCommandParse ParseSimCommand(std::wstring_view text);

// The command line of kvsimctl joined into one command text.
std::wstring JoinSimCommand(const std::vector<std::wstring>& words);

}  // namespace kovral
