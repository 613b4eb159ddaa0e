#pragma once
// What the benchmarks compare wall time with: the pauses the protocol
// mandates for the traffic that actually went out, 3 ms after each output
// chunk and 2 ms after each command of an indexed family.
#include <vector>

#include "device/clock.h"
#include "device/protocol.h"
#include "sim/sim_mouse.h"

namespace kovral::bench {

inline Micros MandatedPauses(const std::vector<SimExchange>& exchanges) {
  Micros total{0};
  for (const SimExchange& e : exchanges) {
    if (e.call == SimCall::Write) total += protocol::kChunkPause;
    if (e.call == SimCall::SetFeature && e.hasPayload && protocol::IsIndexedFamily(e.payload[0]))
      total += protocol::kFamilyPause;
  }
  return total;
}

}  // namespace kovral::bench
