#pragma once
// Payload checksum and scrambling, shared by the link and the mouse simulator.
#include <array>
#include <cstdint>

namespace kovral {

using Payload = std::array<uint8_t, 8>;
using ScrambleKey = std::array<uint8_t, 8>;

// Bitwise complement of the 8-bit sum of bytes 0..6: all eight add up to 0xFF.
uint8_t PayloadChecksum(const uint8_t* payload);

// Exact inverses of each other; only key bytes 1..6 take part.
void ScramblePayload(uint8_t* p, const uint8_t* key);
void UnscramblePayload(uint8_t* p, const uint8_t* key);

// Variants over an explicit additive table, for tests and for builds that
// carry other protocol constants.
void ScramblePayloadWith(uint8_t* p, const uint8_t* key, const uint8_t* additiveTable);
void UnscramblePayloadWith(uint8_t* p, const uint8_t* key, const uint8_t* additiveTable);

// The key the handshake sets: byte 0 and 7 zero, bytes 1..6 the protocol's
// six key characters, assembled at run time.
ScrambleKey ProtocolScrambleKey();
// The protocol's additive table as held in the program (nibbles not yet exchanged).
const std::array<uint8_t, 8>& ProtocolAdditiveTable();

}  // namespace kovral
