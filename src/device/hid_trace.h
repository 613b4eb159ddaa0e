#pragma once
// A line-per-call record of the HID traffic, for the command-line tool's
// --trace option and the program's diagnostics.
#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "device/clock.h"
#include "device/hid.h"
#include "device/scramble.h"

namespace kovral {

// Layout (fields separated by one space, lines ended by '\n'):
//   # key <8 key bytes> table <8 additive-table bytes>
//   <us> SET_FEATURE <report>|<payload before scrambling>[ failed]
//   <us> GET_FEATURE <report>|<payload after unscrambling>[ failed]
//   <us> WRITE <report>[ failed| timeout]
//   <us> READ <report>[ failed| timeout]
// <us> is the decimal time in microseconds since the trace began, taken when
// the call returned. <report> is every byte of the report as passed to or
// received from the call (report ID first, the length the call was given), in
// lowercase hex without separators; so are the key, table and payload bytes.
// A trailing field appears only for a call that did not succeed.
//   # <us> <note>
// marks what the program did in answer (such as showing a notice), on the
// same clock; readers of the calls skip it as a comment.
class HidTrace {
 public:
  // Writes the header line; `key` is the key the link scrambles with and
  // `additiveTable` the table as the program holds it (nibbles not exchanged).
  HidTrace(std::ostream& out, Clock& clock, const ScrambleKey& key, const std::array<uint8_t, 8>& additiveTable);
  // The same with the protocol's key and table.
  HidTrace(std::ostream& out, Clock& clock);

  void SetFeature(const uint8_t* report, size_t length, const uint8_t* plainPayload, bool ok);
  void GetFeature(const uint8_t* report, size_t length, const uint8_t* plainPayload, bool ok);
  void Write(const uint8_t* report, size_t length, HidIoStatus status);
  void Read(const uint8_t* report, size_t length, HidIoStatus status);
  void Note(std::string_view note);

 private:
  void Line(const char* call, const uint8_t* report, size_t length, const uint8_t* payload, const char* failure);

  std::ostream& out_;
  Clock& clock_;
  Micros origin_;
};

}  // namespace kovral
