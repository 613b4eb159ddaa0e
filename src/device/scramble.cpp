#include "device/scramble.h"

#include <utility>

namespace kovral {
namespace {

constexpr int kPayloadBytes = 8;

// Table bytes are held with their nibbles in the opposite order to the one
// the firmware adds.
uint8_t Addend(uint8_t t) { return static_cast<uint8_t>(((t << 4) | (t >> 4)) & 0xFF); }

void ExchangePairs(uint8_t* p) {
  std::swap(p[0], p[5]);
  std::swap(p[1], p[4]);
  std::swap(p[2], p[7]);
  std::swap(p[3], p[6]);
}

// Only key bytes 1..6 are used; the payload's first and last bytes keep their
// value through this step.
void XorKey(uint8_t* p, const uint8_t* key) {
  for (int i = 1; i <= 6; ++i) p[i] ^= key[i];
}

// The payload as one 64-bit number, byte 0 the most significant, rotated by
// three bits. Every byte is computed from the values before the step.
void RotateLeft3(uint8_t* p) {
  uint8_t before[kPayloadBytes];
  for (int i = 0; i < kPayloadBytes; ++i) before[i] = p[i];
  for (int i = 0; i < kPayloadBytes; ++i) {
    p[i] = static_cast<uint8_t>(((before[i] << 3) | (before[(i + 1) % kPayloadBytes] >> 5)) & 0xFF);
  }
}

void RotateRight3(uint8_t* p) {
  uint8_t before[kPayloadBytes];
  for (int i = 0; i < kPayloadBytes; ++i) before[i] = p[i];
  for (int i = 0; i < kPayloadBytes; ++i) {
    p[i] = static_cast<uint8_t>(((before[i] >> 3) | (before[(i + kPayloadBytes - 1) % kPayloadBytes] << 5)) & 0xFF);
  }
}

}  // namespace

uint8_t PayloadChecksum(const uint8_t* payload) {
  unsigned sum = 0;
  for (int i = 0; i < 7; ++i) sum += payload[i];
  return static_cast<uint8_t>(~sum & 0xFF);
}

void ScramblePayloadWith(uint8_t* p, const uint8_t* key, const uint8_t* additiveTable) {
  ExchangePairs(p);
  XorKey(p, key);
  RotateLeft3(p);
  for (int i = 0; i < kPayloadBytes; ++i) p[i] = static_cast<uint8_t>(p[i] + Addend(additiveTable[i]));
}

void UnscramblePayloadWith(uint8_t* p, const uint8_t* key, const uint8_t* additiveTable) {
  for (int i = 0; i < kPayloadBytes; ++i) p[i] = static_cast<uint8_t>(p[i] - Addend(additiveTable[i]));
  RotateRight3(p);
  XorKey(p, key);
  ExchangePairs(p);
}

void ScramblePayload(uint8_t* p, const uint8_t* key) { ScramblePayloadWith(p, key, ProtocolAdditiveTable().data()); }

void UnscramblePayload(uint8_t* p, const uint8_t* key) {
  UnscramblePayloadWith(p, key, ProtocolAdditiveTable().data());
}

}  // namespace kovral
