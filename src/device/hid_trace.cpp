#include "device/hid_trace.h"

#include <string>

namespace kovral {
namespace {

void AppendHex(std::string& line, const uint8_t* bytes, size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (size_t i = 0; i < count; ++i) {
    line += kDigits[bytes[i] >> 4];
    line += kDigits[bytes[i] & 0x0F];
  }
}

const char* IoFailure(HidIoStatus status) {
  switch (status) {
    case HidIoStatus::Ok: return nullptr;
    case HidIoStatus::Failed: return "failed";
    case HidIoStatus::TimedOut: return "timeout";
  }
  return "failed";
}

}  // namespace

HidTrace::HidTrace(std::ostream& out, Clock& clock, const ScrambleKey& key,
                   const std::array<uint8_t, 8>& additiveTable)
    : out_(out), clock_(clock), origin_(clock.Now()) {
  std::string line = "# key ";
  AppendHex(line, key.data(), key.size());
  line += " table ";
  AppendHex(line, additiveTable.data(), additiveTable.size());
  line += '\n';
  out_ << line;
  out_.flush();
}

HidTrace::HidTrace(std::ostream& out, Clock& clock)
    : HidTrace(out, clock, ProtocolScrambleKey(), ProtocolAdditiveTable()) {}

void HidTrace::SetFeature(const uint8_t* report, size_t length, const uint8_t* plainPayload, bool ok) {
  Line("SET_FEATURE", report, length, plainPayload, ok ? nullptr : "failed");
}

void HidTrace::GetFeature(const uint8_t* report, size_t length, const uint8_t* plainPayload, bool ok) {
  Line("GET_FEATURE", report, length, plainPayload, ok ? nullptr : "failed");
}

void HidTrace::Write(const uint8_t* report, size_t length, HidIoStatus status) {
  Line("WRITE", report, length, nullptr, IoFailure(status));
}

void HidTrace::Read(const uint8_t* report, size_t length, HidIoStatus status) {
  Line("READ", report, length, nullptr, IoFailure(status));
}

void HidTrace::Note(std::string_view note) {
  std::string line = "# " + std::to_string((clock_.Now() - origin_).count());
  line += ' ';
  line += note;
  line += '\n';
  out_ << line;
  out_.flush();
}

// Built as one string and written at once, so a trace stays line-whole even
// when the stream is shared.
void HidTrace::Line(const char* call, const uint8_t* report, size_t length, const uint8_t* payload,
                    const char* failure) {
  std::string line = std::to_string((clock_.Now() - origin_).count());
  line += ' ';
  line += call;
  line += ' ';
  AppendHex(line, report, length);
  if (payload) {
    line += '|';
    AppendHex(line, payload, 8);
  }
  if (failure) {
    line += ' ';
    line += failure;
  }
  line += '\n';
  out_ << line;
  out_.flush();  // the program may end at once (exit from the tray); keep what was traced
}

}  // namespace kovral
