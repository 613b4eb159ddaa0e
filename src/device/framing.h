#pragma once
// Framing of every exchange with the mouse: the 8-byte command payload in a
// feature report (checksum, optional scrambling) and the 32-byte chunks of a
// data phase. Transact and TransactData are the only way commands reach the mouse.
#include <array>
#include <cstdint>

#include "device/clock.h"
#include "device/protocol.h"
#include "device/scramble.h"

namespace kovral {

struct DeviceLink;

// The caller-owned area of a data phase.
using DataArea = std::array<uint8_t, protocol::kDataAreaSize>;

// What happened to one exchange. Command sequences do not act on it (a failed
// exchange leaves zeros that are stored as the answer); it lets a caller avoid
// writing back values it never received.
struct ExchangeResult {
  bool sent = false;      // the set-feature request succeeded
  bool answered = false;  // a query's get-feature request succeeded; false for writes
};

// One command. For a query (bit 7 of byte 0) the payload is replaced by the
// answer, or by zeros when no answer came. Byte 7 is always replaced by the
// checksum on the wire; a write leaves the caller's payload unchanged.
ExchangeResult Transact(DeviceLink& link, Payload& payload);

// One command with a data phase. A write sends ceil(byte 2 / 32) chunks of
// `data`; a query reads ceil(answer byte 2 / 32) chunks into `data`. At most
// four chunks move either way.
ExchangeResult TransactData(DeviceLink& link, Payload& payload, DataArea& data);

// One feature exchange with scrambling and fetching chosen by the caller and a
// pause between the request and the answer; the handshake uses it for its two
// attempts (its code 0x00 has no query bit but is answered).
ExchangeResult ExchangeFeature(DeviceLink& link, Payload& payload, bool scramble, bool fetchAnswer,
                               Micros pauseBeforeAnswer);

// Brackets the exchanges of one command sequence (Apply, the sensor refresh,
// the handshake; a feature exchange made on its own is one too). Each
// exchange is timed with the link's clock. Once one has timed out or taken
// longer than kDataPhaseTimeout, the sequence's remaining exchanges, feature
// reports included, fail at once without reaching the driver: a mouse that
// stopped answering or stalls costs one wait per sequence, not one per
// exchange (feature reports have no time-out, and Apply makes about seventy).
// The protocol's pauses still run. A new sequence tries again. Nests.
class ExchangeSequence {
 public:
  explicit ExchangeSequence(DeviceLink& link);
  ~ExchangeSequence();
  ExchangeSequence(const ExchangeSequence&) = delete;
  ExchangeSequence& operator=(const ExchangeSequence&) = delete;

  // Whether the sequence (the outermost one, when nested) has been cut short
  // so far.
  bool Stalled() const;

 private:
  DeviceLink& link_;
};

}  // namespace kovral
