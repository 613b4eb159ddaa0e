#include <gtest/gtest.h>

#include <random>

#include "device/scramble.h"

namespace kovral {
namespace {

using Bytes = std::array<uint8_t, 8>;

TEST(PayloadChecksum, ComplementsTheSumOfTheFirstSevenBytes) {
  const Bytes challenge = {0x00, 0xAA, 0xDD, 0x3B, 0x62, 0x00, 0x00, 0x00};
  EXPECT_EQ(PayloadChecksum(challenge.data()), 0xDB);
  const Bytes sensorQuery = {0x83, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(PayloadChecksum(sensorQuery.data()), 0x7C);
  const Bytes effectQuery = {0x8D, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(PayloadChecksum(effectQuery.data()), 0x72);
  const Bytes paramsQuery = {0x87, 0x00, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(PayloadChecksum(paramsQuery.data()), 0x78);
}

TEST(PayloadChecksum, IgnoresByteSevenAndWrapsAround) {
  // Whatever a caller left in byte 7 does not count.
  const Bytes withJunk = {0x83, 0, 0, 0, 0, 0, 0, 0x55};
  EXPECT_EQ(PayloadChecksum(withJunk.data()), 0x7C);
  // 7 * 0xFF = 0x6F9: only the low byte counts, 0xF9, complemented 0x06.
  const Bytes full = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  EXPECT_EQ(PayloadChecksum(full.data()), 0x06);
  // All eight bytes then add up to 0xFF.
  const Bytes macroWrite = {0x13, 0x0C, 0x80, 0, 0, 0, 0, 0};
  const uint8_t sum = static_cast<uint8_t>(0x13 + 0x0C + 0x80 + PayloadChecksum(macroWrite.data()));
  EXPECT_EQ(sum, 0xFF);
}

TEST(ScramblePayload, MatchesHandWorkedVectorWithLetterKey) {
  // Key "abcdef", table 12 34 56 78 9A BC DE F0 (addends 21 43 65 87 A9 CB ED 0F).
  // Payload: the handshake challenge 00 AA DD 3B 62 00 00 DB.
  //   exchange pairs      00 62 DB 00 AA 00 3B DD
  //   xor 61..66 on 1..6  00 03 B9 63 CE 65 5D DD
  //   rotate left 3       00 1D CB 1E 73 2A EE E8
  //   add addends         21 60 30 A5 1C F5 DB F7
  const Bytes key = {0x00, 'a', 'b', 'c', 'd', 'e', 'f', 0x00};
  const Bytes table = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
  Bytes p = {0x00, 0xAA, 0xDD, 0x3B, 0x62, 0x00, 0x00, 0xDB};
  ScramblePayloadWith(p.data(), key.data(), table.data());
  EXPECT_EQ(p, (Bytes{0x21, 0x60, 0x30, 0xA5, 0x1C, 0xF5, 0xDB, 0xF7}));
  UnscramblePayloadWith(p.data(), key.data(), table.data());
  EXPECT_EQ(p, (Bytes{0x00, 0xAA, 0xDD, 0x3B, 0x62, 0x00, 0x00, 0xDB}));
}

TEST(ScramblePayload, MatchesHandWorkedVectorWithSymbolKey) {
  // Key "Zy09#~" with junk in bytes 0 and 7, table 0F F0 80 01 FF 00 7E C3
  // (addends F0 0F 08 10 FF 00 E7 3C). Payload E5 10 80 7F 01 F3 9C 4B.
  //   exchange pairs      F3 01 4B 9C 10 E5 7F 80
  //   xor 5A 79 30 39 23 7E  F3 5B 32 AC 29 C6 01 80
  //   rotate left 3       9A D9 95 61 4E 30 0C 07   (top bits of F3 land in byte 7)
  //   add addends         8A E8 9D 71 4D 30 F3 43
  const Bytes key = {0xFF, 'Z', 'y', '0', '9', '#', '~', 0xA5};
  const Bytes table = {0x0F, 0xF0, 0x80, 0x01, 0xFF, 0x00, 0x7E, 0xC3};
  Bytes p = {0xE5, 0x10, 0x80, 0x7F, 0x01, 0xF3, 0x9C, 0x4B};
  ScramblePayloadWith(p.data(), key.data(), table.data());
  EXPECT_EQ(p, (Bytes{0x8A, 0xE8, 0x9D, 0x71, 0x4D, 0x30, 0xF3, 0x43}));
  UnscramblePayloadWith(p.data(), key.data(), table.data());
  EXPECT_EQ(p, (Bytes{0xE5, 0x10, 0x80, 0x7F, 0x01, 0xF3, 0x9C, 0x4B}));
}

TEST(ScramblePayload, ShiftsStayWithinBytes) {
  const Bytes zero{};
  // Byte 0 FF moves to byte 5 and is rotated: its low five bits stay in byte
  // 5 (F8), its top three drop into byte 4 (07); nothing leaks elsewhere.
  Bytes p = {0xFF, 0, 0, 0, 0, 0, 0, 0};
  ScramblePayloadWith(p.data(), zero.data(), zero.data());
  EXPECT_EQ(p, (Bytes{0, 0, 0, 0, 0x07, 0xF8, 0, 0}));
  // Byte 5 80 moves to byte 0; its top bit wraps round into byte 7.
  p = {0, 0, 0, 0, 0, 0x80, 0, 0};
  ScramblePayloadWith(p.data(), zero.data(), zero.data());
  EXPECT_EQ(p, (Bytes{0, 0, 0, 0, 0, 0, 0, 0x04}));
  // Addition wraps at 256: FF + addend of 0x01 (0x10) = 0x0F.
  p = {0, 0, 0, 0, 0, 0, 0, 0};
  const Bytes table = {0x01, 0, 0, 0, 0, 0, 0, 0xFF};
  ScramblePayloadWith(p.data(), zero.data(), table.data());
  EXPECT_EQ(p, (Bytes{0x10, 0, 0, 0, 0, 0, 0, 0xFF}));
  p = {0, 0, 0, 0, 0, 0x1F, 0, 0};  // byte 0 after exchange: 1F, rotated F8; plus 0x10
  ScramblePayloadWith(p.data(), zero.data(), table.data());
  EXPECT_EQ(p, (Bytes{0x08, 0, 0, 0, 0, 0, 0, 0xFF}));
}

TEST(ScramblePayload, UnscrambleInvertsForAnyPayloadKeyAndTable) {
  std::mt19937 rng(1234);
  auto random = [&rng] {
    Bytes b;
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    return b;
  };
  for (int round = 0; round < 2000; ++round) {
    const Bytes original = random();
    const Bytes key = random();
    const Bytes table = random();
    Bytes p = original;
    ScramblePayloadWith(p.data(), key.data(), table.data());
    UnscramblePayloadWith(p.data(), key.data(), table.data());
    ASSERT_EQ(p, original) << "round " << round;
    ScramblePayload(p.data(), key.data());
    UnscramblePayload(p.data(), key.data());
    ASSERT_EQ(p, original) << "round " << round;
  }
}

TEST(ScramblePayload, KeyBytesZeroAndSevenHaveNoInfluence) {
  std::mt19937 rng(99);
  for (int round = 0; round < 500; ++round) {
    Bytes payload, key, table;
    for (auto& x : payload) x = static_cast<uint8_t>(rng());
    for (auto& x : key) x = static_cast<uint8_t>(rng());
    for (auto& x : table) x = static_cast<uint8_t>(rng());
    Bytes other = key;
    other[0] = static_cast<uint8_t>(key[0] ^ 0xFF);
    other[7] = static_cast<uint8_t>(key[7] + 0x5A);
    Bytes a = payload, b = payload;
    ScramblePayloadWith(a.data(), key.data(), table.data());
    ScramblePayloadWith(b.data(), other.data(), table.data());
    ASSERT_EQ(a, b);
    UnscramblePayloadWith(a.data(), key.data(), table.data());
    UnscramblePayloadWith(b.data(), other.data(), table.data());
    ASSERT_EQ(a, b);
  }
}

TEST(ProtocolConstants, KeyIsSixPrintableCharactersBetweenZeros) {
  const ScrambleKey key = ProtocolScrambleKey();
  EXPECT_EQ(key[0], 0);
  EXPECT_EQ(key[7], 0);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_GE(key[i], 0x20) << i;
    EXPECT_LE(key[i], 0x7E) << i;
  }
}

TEST(ProtocolConstants, ScramblePayloadUsesTheProtocolTable) {
  const ScrambleKey key = ProtocolScrambleKey();
  Bytes a = {0x00, 0xAA, 0xDD, 0x3B, 0x62, 0x00, 0x00, 0xDB};
  Bytes b = a;
  ScramblePayload(a.data(), key.data());
  ScramblePayloadWith(b.data(), key.data(), ProtocolAdditiveTable().data());
  EXPECT_EQ(a, b);
#if !defined(KOVRAL_SCRAMBLE_KEY) && !defined(KOVRAL_ADDITIVE_TABLE)
  // Built-in constants: key "Kv7pQ2", table 3A 5C 91 0E B7 64 2D F8
  // (addends A3 C5 19 E0 7B 46 D2 8F). The challenge:
  //   exchange pairs      00 62 DB 00 AA 00 3B DD
  //   xor 4B 76 37 70 51 32  00 29 AD 37 DA 51 09 DD
  //   rotate left 3       01 4D 69 BE D2 88 4E E8
  //   add addends         A4 12 82 9E 4D CE 20 77
  EXPECT_EQ(key, (ScrambleKey{0x00, 'K', 'v', '7', 'p', 'Q', '2', 0x00}));
  EXPECT_EQ(a, (Bytes{0xA4, 0x12, 0x82, 0x9E, 0x4D, 0xCE, 0x20, 0x77}));
#endif
}

}  // namespace
}  // namespace kovral
