#include <gtest/gtest.h>

#include <sstream>

#include "device/framing.h"
#include "device/hid_trace.h"
#include "device_test_support.h"

namespace kovral {
namespace {

using fake::Bytes;
using fake::Hex;
using fake::LinkHarness;
using fake::Line;
using Lines = std::vector<std::string>;

std::string Set(const std::string& payload) { return Line("SET", payload, 9); }
std::string Get(const std::string& payload) { return Line("GET", payload, 9); }
std::string Write(const std::string& data) { return Line("WRITE", data, 33); }
std::string Read(const std::string& data) { return Line("READ", data, 33); }

Payload P(const std::string& hex) {
  Payload p{};
  const auto b = Bytes(hex);
  std::copy(b.begin(), b.end(), p.begin());
  return p;
}

// The checksum is the complement of the sum of bytes 0..6 and lands in report
// byte 8, after the report ID and payload bytes 0..6; whatever the caller left
// in byte 7 is replaced.
TEST(FramingTest, PayloadFollowsReportIdAndChecksumIsReportByte8) {
  LinkHarness h;
  h.OpenPlain();
  Payload rate = P("01 08 00 00 00 00 00 55");
  Transact(h.link, rate);
  Payload sensor = P("83 00 00 00 00 00 00 00");
  Transact(h.link, sensor);
  Payload effect = P("8d");
  Transact(h.link, effect);
  Payload light = P("87 00");
  Transact(h.link, light);
  Payload challenge = P("00 aa dd 3b 62");
  ExchangeFeature(h.link, challenge, false, true, Micros{5000});
  EXPECT_EQ(h.log.Lines(), (Lines{
                               Set("01 08 00 00 00 00 00 f6"),
                               Set("83 00 00 00 00 00 00 7c"), Get(""),
                               Set("8d 00 00 00 00 00 00 72"), Get(""),
                               Set("87 00 00 00 00 00 00 78"), Get(""),
                               Set("00 aa dd 3b 62 00 00 db"), "PAUSE 5000", Get(""),
                           }));
  // A write leaves the caller's payload alone.
  EXPECT_EQ(rate, P("01 08 00 00 00 00 00 55"));
}

TEST(FramingTest, OnlyCodesWithBit7FetchAnAnswerAndTheAnswerIsReportBytes1To8) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.respond = [](const Payload& request, Payload& answer, auto&) {
    answer = P("80 11 22 33 44 55 66");
    answer[0] = request[0];
  };
  Payload write = P("7f");
  Transact(h.link, write);
  Payload query = P("80");
  const ExchangeResult result = Transact(h.link, query);
  EXPECT_EQ(h.log.Lines(), (Lines{Set("7f 00 00 00 00 00 00 80"), Set("80 00 00 00 00 00 00 7f"),
                                  Get("80 11 22 33 44 55 66 1a")}));
  EXPECT_EQ(query, P("80 11 22 33 44 55 66 1a"));
  EXPECT_TRUE(result.sent);
  EXPECT_TRUE(result.answered);
}

// Scrambling covers report bytes 1..8, the payload with its checksum; the
// report ID and the bytes after the payload stay as they are.
TEST(FramingTest, ScramblingCoversReportBytes1To8) {
  LinkHarness h;
  h.platform.interfaces = {fake::ConfigCollection()};
  h.platform.interfaces[0].caps.featureReportByteLength = 12;
  ASSERT_TRUE(OpenDevice(h.link));
  h.link.scrambled = 1;
  h.link.scrambleKey = ProtocolScrambleKey();
  h.platform.mouse.wireScrambled = true;
  h.platform.mouse.respond = [](const Payload&, Payload& answer, auto&) { answer = P("83 02 11 22 43"); };
  h.log.Clear();

  Payload query = P("83");
  Transact(h.link, query);

  Payload wire = P("83 00 00 00 00 00 00 7c");
  ScramblePayload(wire.data(), h.link.scrambleKey.data());
  const Lines lines = h.log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "SET 00" + Hex(wire.data(), 8) + "000000");
  EXPECT_EQ(query, P("83 02 11 22 43 00 00 04"));
}

// A failed get-feature leaves zeros, also in scrambled mode: the zero image is
// not unscrambled into values the mouse never sent, and whatever the driver
// left in the buffer is not kept.
TEST(FramingTest, FailedAnswerIsAllZeroEvenWhenScrambled) {
  for (int scrambled : {0, 1}) {
    LinkHarness h;
    h.OpenPlain();
    h.link.scrambled = scrambled;
    h.link.scrambleKey = ProtocolScrambleKey();
    h.platform.mouse.getFails = true;
    Payload query = P("8d 01 02 03 04 05 06 07");
    const ExchangeResult result = Transact(h.link, query);
    EXPECT_EQ(query, Payload{}) << "scrambled " << scrambled;
    EXPECT_TRUE(result.sent);
    EXPECT_FALSE(result.answered);
  }
}

// An all-zero payload is never an answer (its checksum would be 0xFF); a
// mouse with nothing prepared returns one. It stays zero, unscrambled or not.
TEST(FramingTest, AnAllZeroAnswerIsNoAnswer) {
  for (int scrambled : {0, 1}) {
    LinkHarness h;
    h.OpenPlain();
    h.link.scrambled = scrambled;
    h.link.scrambleKey = ProtocolScrambleKey();
    Payload query = P("83");
    const ExchangeResult result = Transact(h.link, query);
    EXPECT_EQ(query, Payload{}) << "scrambled " << scrambled;
    EXPECT_FALSE(result.answered);
    EXPECT_EQ(h.log.Lines().back(), Get(""));
  }
}

TEST(FramingTest, WithoutADeviceNothingIsSentAndQueriesAnswerZero) {
  LinkHarness h;
  Payload query = P("93 01 00 00 00 00 00 00");
  DataArea data;
  data.fill(0x5A);
  const ExchangeResult result = TransactData(h.link, query, data);
  EXPECT_FALSE(result.sent);
  EXPECT_EQ(query, Payload{});
  EXPECT_TRUE(h.log.Lines().empty());
}

// ceil(count / 32) chunks of exactly 32 bytes each, 3 ms after every one, and
// never more than the 128-byte area holds.
TEST(FramingTest, WriteDataPhaseSendsWholeChunksAndPausesAfterEach) {
  const std::pair<int, int> cases[] = {{0, 0}, {8, 1}, {24, 1}, {32, 1}, {33, 2}, {64, 2}, {128, 4}, {255, 4}};
  for (auto [count, chunks] : cases) {
    LinkHarness h;
    h.OpenPlain();
    DataArea data;
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
    Payload write = P("13 01");
    write[2] = static_cast<uint8_t>(count);
    TransactData(h.link, write, data);
    const Lines lines = h.log.Lines();
    ASSERT_EQ(lines.size(), 1u + 2u * chunks) << "count " << count;
    for (int k = 0; k < chunks; ++k) {
      EXPECT_EQ(lines[1 + 2 * k], "WRITE 00" + Hex(data.data() + 32 * k, 32)) << "count " << count;
      EXPECT_EQ(lines[2 + 2 * k], "PAUSE 3000");
    }
  }
}

// The number of input chunks comes from the answer, not the request; reads
// have no pause; at most four chunks are read whatever the answer says.
TEST(FramingTest, QueryDataPhaseReadsTheAnsweredCountUpToFourChunks) {
  const std::pair<int, int> cases[] = {{0, 0}, {24, 1}, {33, 2}, {128, 4}, {200, 4}};
  for (auto [count, chunks] : cases) {
    LinkHarness h;
    h.OpenPlain();
    h.platform.mouse.respond = [count = count](const Payload& request, Payload& answer, auto& input) {
      answer = request;
      answer[2] = static_cast<uint8_t>(count);
      for (int k = 0; k < 7; ++k) input.push_back(std::vector<uint8_t>(32, static_cast<uint8_t>(0x10 + k)));
    };
    Payload query = P("90 00 00");
    DataArea data{};
    TransactData(h.link, query, data);
    EXPECT_EQ(query[2], count);
    const Lines lines = h.log.Lines();
    ASSERT_EQ(lines.size(), 3u + chunks) << "count " << count;
    EXPECT_EQ(lines[0], "DISCARD");
    for (int k = 0; k < chunks; ++k) EXPECT_EQ(lines[3 + k].substr(0, 8), "READ 00" + std::string(1, '1'));
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(data[32 * k], k < chunks ? 0x10 + k : 0) << "count " << count << " chunk " << k;
  }
}

// Input reports left from an exchange that was cut short are dropped before
// the next query, so they never shift into its answer.
TEST(FramingTest, StaleInputIsDiscardedBeforeAQuery) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.input.push_back(Bytes("00 de ad"));
  h.platform.mouse.respond = [](const Payload& request, Payload& answer, auto& input) {
    answer = request;
    answer[2] = 24;
    input.push_back(std::vector<uint8_t>(24, 0x77));
  };
  Payload query = P("90 01");
  DataArea data{};
  TransactData(h.link, query, data);
  EXPECT_EQ(data[0], 0x77);
  const Lines lines = h.log.Lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "DISCARD");
  EXPECT_EQ(lines[1], Set("90 01 00 00 00 00 00 6e"));
}

// One timed-out report leaves zeros; the rest of the sequence, feature
// reports included, is not attempted, and the next sequence tries again.
TEST(FramingTest, AfterATimeOutTheSequenceSkipsTheRemainingDataReports) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.respond = [](const Payload& request, Payload& answer, auto& input) {
    answer = request;
    answer[2] = 128;
    input.push_back(std::vector<uint8_t>(32, 0x44));  // one chunk of four
  };
  DataArea data;
  data.fill(0x99);
  {
    ExchangeSequence sequence(h.link);
    Payload query = P("93 02");
    TransactData(h.link, query, data);
    Payload write = P("13 03 80");
    TransactData(h.link, write, data);
  }
  EXPECT_EQ(data[0], 0x44);
  for (size_t i = 32; i < data.size(); ++i) ASSERT_EQ(data[i], 0) << i;
  EXPECT_EQ(h.log.Lines(), (Lines{"DISCARD", Set("93 02 00 00 00 00 00 6a"), Get("93 02 80 00 00 00 00 ea"),
                                  Read(std::string(64, '4')), "READ-TIMEOUT",
                                  "PAUSE 3000", "PAUSE 3000", "PAUSE 3000", "PAUSE 3000"}));
  EXPECT_EQ(h.clock.Now(), std::chrono::duration_cast<Micros>(protocol::kDataPhaseTimeout) + Micros{12000});

  h.log.Clear();
  Payload write = P("13 03 20");
  TransactData(h.link, write, data);
  EXPECT_EQ(h.log.Lines(), (Lines{Set("13 03 20 00 00 00 00 c9"), Write(std::string(64, '4')), "PAUSE 3000"}));
}

std::string TraceLine(long micros, const char* call, const std::string& report, const std::string& payload = "",
                      const std::string& failure = "") {
  const auto r = Bytes(report);
  std::string line = std::to_string(micros) + " " + call + " " + Hex(r.data(), r.size());
  if (!payload.empty()) {
    const auto p = Bytes(payload);
    line += "|" + Hex(p.data(), p.size());
  }
  if (!failure.empty()) line += " " + failure;
  return line + "\n";
}

TEST(HidTraceTest, OneLinePerCallWithPayloadsAndFailures) {
  LinkHarness h;
  h.OpenPlain();
  std::ostringstream out;
  const ScrambleKey key = {0, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0};
  const std::array<uint8_t, 8> table = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};
  HidTrace trace(out, h.clock, key, table);
  h.link.trace = &trace;
  h.clock.Advance(Micros{1234});
  h.platform.mouse.respond = [](const Payload& request, Payload& answer, auto& input) {
    answer = request;
    answer[2] = 24;
    input.push_back(std::vector<uint8_t>(24, 0xab));
  };
  Payload query = P("90 01");
  DataArea data{};
  TransactData(h.link, query, data);
  Payload write = P("11 04 08");
  TransactData(h.link, write, data);
  h.platform.mouse.getFails = true;
  Payload failed = P("8d");
  Transact(h.link, failed);
  h.platform.mouse.getFails = false;
  h.platform.mouse.readsTimeOut = true;
  Payload timedOut = P("90 00");
  TransactData(h.link, timedOut, data);

  const std::string ab24 = "ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab ab";
  const std::string zero8 = "00 00 00 00 00 00 00 00";
  const std::string zero32 = zero8 + zero8 + zero8 + zero8;
  EXPECT_EQ(out.str(),
            "# key 0041424344454600 table 0123456789abcdef\n" +
                TraceLine(1234, "SET_FEATURE", "00 90 01 00 00 00 00 00 6e", "90 01 00 00 00 00 00 6e") +
                TraceLine(1234, "GET_FEATURE", "00 90 01 18 00 00 00 00 56", "90 01 18 00 00 00 00 56") +
                TraceLine(1234, "READ", "00 " + ab24 + zero8) +
                TraceLine(1234, "SET_FEATURE", "00 11 04 08 00 00 00 00 e2", "11 04 08 00 00 00 00 e2") +
                TraceLine(1234, "WRITE", "00 " + ab24 + zero8) +
                TraceLine(4234, "SET_FEATURE", "00 8d 00 00 00 00 00 00 72", "8d 00 00 00 00 00 00 72") +
                TraceLine(4234, "GET_FEATURE", "00 00 00 00 00 00 00 00 00", zero8, "failed") +
                TraceLine(4234, "SET_FEATURE", "00 90 00 00 00 00 00 00 6f", "90 00 00 00 00 00 00 6f") +
                TraceLine(4234, "GET_FEATURE", "00 90 00 18 00 00 00 00 57", "90 00 18 00 00 00 00 57") +
                TraceLine(704234, "READ", "00 " + zero32, "", "timeout"));
}

// Scrambled traffic: the report shows the bytes on the wire, the payload the
// plain bytes before scrambling and after unscrambling.
TEST(HidTraceTest, FeatureLinesShowWireBytesAndPlainPayload) {
  LinkHarness h;
  h.OpenPlain();
  h.link.scrambled = 1;
  h.link.scrambleKey = ProtocolScrambleKey();
  h.platform.mouse.wireScrambled = true;
  h.platform.mouse.respond = [](const Payload&, Payload& answer, auto&) { answer = P("83 01 02 03 04"); };
  std::ostringstream out;
  HidTrace trace(out, h.clock);
  h.link.trace = &trace;
  Payload query = P("83");
  Transact(h.link, query);

  Payload sent = P("83 00 00 00 00 00 00 7c");
  ScramblePayload(sent.data(), h.link.scrambleKey.data());
  Payload received = P("83 01 02 03 04 00 00 72");
  ScramblePayload(received.data(), h.link.scrambleKey.data());
  const ScrambleKey k = ProtocolScrambleKey();
  const auto& t = ProtocolAdditiveTable();
  EXPECT_EQ(out.str(), "# key " + Hex(k.data(), 8) + " table " + Hex(t.data(), 8) + "\n" +
                           "0 SET_FEATURE 00" + Hex(sent.data(), 8) + "|830000000000007c\n" +
                           "0 GET_FEATURE 00" + Hex(received.data(), 8) + "|8301020304000072\n");
}

}  // namespace
}  // namespace kovral
