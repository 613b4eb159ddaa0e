#include "device/framing.h"

#include <algorithm>
#include <cstring>

#include "device/device_link.h"
#include "device/hid_trace.h"

namespace kovral {
namespace {

using namespace protocol;

// Lengths are checked when the device is opened; clamping again here keeps a
// link whose lengths were set some other way from overrunning the buffers.
size_t Bounded(uint16_t length, size_t buffer) { return std::min<size_t>(length, buffer); }

// Chunks a data phase moves for `count` bytes: ceil(count / 32), never more
// than the data area holds.
size_t ChunkCount(uint8_t count) {
  return std::min<size_t>((count + kChunkSize - 1) / kChunkSize, kMaxChunks);
}

// Whether the next exchange may reach the driver: not once an exchange of the
// current sequence has stalled.
bool MayExchange(const DeviceLink& link) { return link.featureHandle && !link.sequenceStalled; }

// Ends the timing of one exchange that began at `start`. Taking longer than
// the bound cuts the rest of the sequence short, as a time-out does.
void EndExchange(DeviceLink& link, Micros start, bool timedOut = false) {
  if (timedOut || link.clock.Now() - start > kDataPhaseTimeout) {
    link.sequenceStalled = true;
    ++link.exchangeFaults;
  }
}

void WriteChunks(DeviceLink& link, uint8_t count, const DataArea& data) {
  const size_t length = Bounded(link.outputReportLength, kDataBufferSize);
  for (size_t k = 0; k < ChunkCount(count); ++k) {
    // Always a whole chunk: the bytes past the count are whatever the area
    // holds, which is why callers clear their areas first.
    uint8_t report[kDataBufferSize] = {};
    std::memcpy(report + kReportPayloadOffset, data.data() + k * kChunkSize, kChunkSize);
    if (MayExchange(link)) {
      const Micros start = link.clock.Now();
      const HidIoStatus status = link.featureHandle->Write(report, length, kDataPhaseTimeout);
      EndExchange(link, start, status == HidIoStatus::TimedOut);
      if (status != HidIoStatus::Ok) ++link.exchangeFaults;
      if (link.trace) link.trace->Write(report, length, status);
    } else {
      ++link.exchangeFaults;
    }
    link.clock.Pause(kChunkPause);
  }
}

void ReadChunks(DeviceLink& link, uint8_t count, DataArea& data) {
  const size_t length = Bounded(link.inputReportLength, kDataBufferSize);
  for (size_t k = 0; k < ChunkCount(count); ++k) {
    // A read that fails, times out or is skipped leaves this chunk zero.
    uint8_t report[kDataBufferSize] = {};
    if (MayExchange(link)) {
      const Micros start = link.clock.Now();
      const HidIoStatus status = link.featureHandle->Read(report, length, kDataPhaseTimeout);
      EndExchange(link, start, status == HidIoStatus::TimedOut);
      if (status != HidIoStatus::Ok) {
        std::memset(report, 0, sizeof report);
        ++link.exchangeFaults;
      }
      if (link.trace) link.trace->Read(report, length, status);
    } else {
      ++link.exchangeFaults;
    }
    std::memcpy(data.data() + k * kChunkSize, report + kReportPayloadOffset, kChunkSize);
  }
}

}  // namespace

ExchangeResult ExchangeFeature(DeviceLink& link, Payload& payload, bool scramble, bool fetchAnswer,
                               Micros pauseBeforeAnswer) {
  // A request that stalled is not followed by its get-feature.
  ExchangeSequence sequence(link);
  ExchangeResult result;
  const size_t length = Bounded(link.featureReportLength, kFeatureBufferSize);

  uint8_t report[kFeatureBufferSize] = {};
  uint8_t* wire = report + kReportPayloadOffset;
  std::memcpy(wire, payload.data(), kPayloadSize);
  wire[kChecksumByte] = PayloadChecksum(wire);
  Payload plain;
  std::memcpy(plain.data(), wire, kPayloadSize);
  if (scramble) ScramblePayload(wire, link.scrambleKey.data());
  if (MayExchange(link)) {
    const Micros start = link.clock.Now();
    result.sent = link.featureHandle->SetFeature(report, length);
    EndExchange(link, start);
    if (link.trace) link.trace->SetFeature(report, length, plain.data(), result.sent);
  }

  if (!result.sent) ++link.exchangeFaults;
  if (!fetchAnswer) return result;

  if (pauseBeforeAnswer.count() > 0) link.clock.Pause(pauseBeforeAnswer);
  std::memset(report, 0, sizeof report);
  const bool asked = MayExchange(link);
  if (asked) {
    const Micros start = link.clock.Now();
    result.answered = link.featureHandle->GetFeature(report, length);
    EndExchange(link, start);
    // A failed request must not leave whatever the driver put in the buffer.
    if (!result.answered) std::memset(report, 0, sizeof report);
  }
  Payload answer{};
  std::memcpy(answer.data(), wire, kPayloadSize);
  // An all-zero payload is what a mouse with no answer prepared returns, and
  // never an answer: its checksum would have to be 0xFF.
  if (answer == Payload{}) result.answered = false;
  if (!result.answered) ++link.exchangeFaults;
  // Only a real answer is unscrambled: the zero image of a failed request
  // would otherwise turn into garbage that callers store as the mouse's values.
  if (scramble && result.answered) UnscramblePayload(answer.data(), link.scrambleKey.data());
  if (asked && link.trace) link.trace->GetFeature(report, length, answer.data(), result.answered);
  payload = answer;
  return result;
}

ExchangeResult Transact(DeviceLink& link, Payload& payload) {
  return ExchangeFeature(link, payload, link.scrambled != 0, (payload[0] & kQueryBit) != 0, Micros{0});
}

ExchangeResult TransactData(DeviceLink& link, Payload& payload, DataArea& data) {
  ExchangeSequence sequence(link);
  const bool query = (payload[0] & kQueryBit) != 0;
  if (!query) {
    const uint8_t count = payload[kCountByte];  // from the caller's plain payload
    const ExchangeResult result = Transact(link, payload);
    WriteChunks(link, count, data);
    return result;
  }
  // Input reports still queued from an earlier exchange that timed out or was
  // cut short would otherwise be taken for this answer's chunks.
  if (MayExchange(link)) link.featureHandle->DiscardQueuedInput();
  const ExchangeResult result = Transact(link, payload);
  ReadChunks(link, payload[kCountByte], data);
  return result;
}

ExchangeSequence::ExchangeSequence(DeviceLink& link) : link_(link) {
  if (link_.sequenceDepth++ == 0) link_.sequenceStalled = false;
}

ExchangeSequence::~ExchangeSequence() {
  if (--link_.sequenceDepth == 0) link_.sequenceStalled = false;
}

bool ExchangeSequence::Stalled() const { return link_.sequenceStalled; }

}  // namespace kovral
