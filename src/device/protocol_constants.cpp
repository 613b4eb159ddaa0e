#include "device/protocol_constants.h"

#include "device/scramble.h"

namespace kovral {
namespace {

// The six key characters and the additive table are shared with the mouse's
// firmware. These built-in values belong to this program's own simulated
// mouse; a build for the real mouse passes the firmware's values through the
// KOVRAL_SCRAMBLE_KEY and KOVRAL_ADDITIVE_TABLE build options, and only then
// does a real mouse accept the handshake.
#ifdef KOVRAL_SCRAMBLE_KEY
constexpr char kKeyCharacters[] = KOVRAL_SCRAMBLE_KEY;
#else
constexpr char kKeyCharacters[] = "Kv7pQ2";
#endif
static_assert(sizeof(kKeyCharacters) == 7, "the scramble key has exactly six characters");

constexpr bool AllPrintableAscii(const char* s) {
  for (; *s; ++s) {
    if (*s < 0x20 || *s > 0x7E) return false;
  }
  return true;
}
static_assert(AllPrintableAscii(kKeyCharacters), "the scramble key characters are printable ASCII");

#ifdef KOVRAL_ADDITIVE_TABLE
constexpr uint8_t kAdditiveTableBytes[] = {KOVRAL_ADDITIVE_TABLE};
#else
constexpr uint8_t kAdditiveTableBytes[] = {0x3A, 0x5C, 0x91, 0x0E, 0xB7, 0x64, 0x2D, 0xF8};
#endif
static_assert(sizeof(kAdditiveTableBytes) == 8, "the additive table has exactly eight bytes");

}  // namespace

// The key is put together when the handshake asks for it rather than stored
// as one 8-byte constant: bytes 0 and 7 never take part in scrambling and are
// always zero.
ScrambleKey ProtocolScrambleKey() {
  ScrambleKey key{};
  for (size_t i = 0; i < 6; ++i) key[i + 1] = static_cast<uint8_t>(kKeyCharacters[i]);
  return key;
}

const std::array<uint8_t, 8>& ProtocolAdditiveTable() {
  static const std::array<uint8_t, 8> table = {kAdditiveTableBytes[0], kAdditiveTableBytes[1], kAdditiveTableBytes[2],
                                               kAdditiveTableBytes[3], kAdditiveTableBytes[4], kAdditiveTableBytes[5],
                                               kAdditiveTableBytes[6], kAdditiveTableBytes[7]};
  return table;
}

}  // namespace kovral
