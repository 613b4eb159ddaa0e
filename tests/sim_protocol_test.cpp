// The simulated mouse's firmware: handshake, commands, data phases, pauses
// and injected faults, driven by a host written here to the letter of the
// protocol (so any error the simulator reports is the test's point).
#include <gtest/gtest.h>

#include <initializer_list>

#include "sim/sim_mouse.h"
#include "device/protocol_constants.h"

namespace kovral {
namespace {

using namespace std::chrono_literals;
using Report = std::vector<uint8_t>;

Payload P(std::initializer_list<int> bytes) {
  Payload q{};
  size_t i = 0;
  for (int b : bytes) q[i++] = static_cast<uint8_t>(b);
  q[7] = PayloadChecksum(q.data());
  return q;
}

Report Chunk(uint8_t first, size_t length = 33) {
  Report r(length, 0);
  for (size_t i = 0; i < 32 && 1 + i < length; ++i) r[1 + i] = static_cast<uint8_t>(first + i);
  return r;
}

struct Host {
  explicit Host(SimOptions options = {}) : mouse(clock, std::move(options)) {
    config = platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::ReadWrite, true);
  }

  bool Set(Payload q, bool scramble = true) {
    uint8_t report[9] = {};
    if (scramble) ScramblePayload(q.data(), key.data());
    std::copy(q.begin(), q.end(), report + 1);
    return config->SetFeature(report, sizeof report);
  }
  // The answer as fetched, and unscrambled when asked.
  Report Get(bool unscramble = true) {
    Report report(9, 0);
    config->GetFeature(report.data(), report.size());
    if (unscramble && report != Report(9, 0)) UnscramblePayload(report.data() + 1, key.data());
    return report;
  }
  Report Query(const Payload& q) {
    Set(q);
    return Get();
  }
  HidIoStatus Write(const Report& chunk) {
    const HidIoStatus status = config->Write(chunk.data(), chunk.size(), 100ms);
    clock.Advance(3ms);
    return status;
  }
  Report Read(HidIoStatus* status = nullptr) {
    Report r(33, 0);
    const HidIoStatus s = config->Read(r.data(), r.size(), 100ms);
    if (status) *status = s;
    return r;
  }
  void Handshake() {
    Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}), false);
    clock.Advance(5ms);
    Get(false);
    Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}));
    clock.Advance(5ms);
    Get();
  }

  ManualClock clock;
  SimMouse mouse;
  SimHidPlatform platform{mouse};
  std::unique_ptr<HidDevice> config;
  ScrambleKey key = ProtocolScrambleKey();
};

Report Answer(std::initializer_list<int> payload) {
  Report r(9, 0);
  const Payload q = P(payload);
  std::copy(q.begin(), q.end(), r.begin() + 1);
  return r;
}

// --- Handshake ------------------------------------------------------------

TEST(SimHandshake, ScrambledMouseIgnoresThePlainChallengeAndEchoesTheScrambledOne) {
  Host host;
  host.Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}), false);
  host.clock.Advance(5ms);
  EXPECT_EQ(host.Get(false), Report(9, 0));
  host.Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}));
  host.clock.Advance(5ms);
  EXPECT_EQ(host.Get(), Answer({0x00, 0xAA, 0xDD, 0x3B, 0x62}));
  EXPECT_TRUE(host.mouse.Errors().empty());
  const auto record = host.mouse.Exchanges();
  ASSERT_EQ(record.size(), 4u);
  EXPECT_EQ(record[0].note, "ignored: plain challenge");
  EXPECT_EQ(record[1].time, Micros(5000));
  EXPECT_EQ(record[3].call, SimCall::GetFeature);
  EXPECT_EQ(record[3].payload, P({0x00, 0xAA, 0xDD, 0x3B, 0x62}));
}

TEST(SimHandshake, PlainMouseEchoesThePlainChallengeAndRejectsScrambledPayloads) {
  Host host({.handshake = SimHandshake::PlainEcho});
  host.Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}), false);
  host.clock.Advance(5ms);
  EXPECT_EQ(host.Get(false), Answer({0x00, 0xAA, 0xDD, 0x3B, 0x62}));
  EXPECT_TRUE(host.mouse.Errors().empty());
  host.Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}));  // scrambled: to this mouse a bad checksum
  host.clock.Advance(5ms);
  EXPECT_EQ(host.Get(false), Report(9, 0));
  ASSERT_EQ(host.mouse.Errors().size(), 1u);
  EXPECT_NE(host.mouse.Errors()[0].find("bad checksum"), std::string::npos);
}

TEST(SimHandshake, SilentMouseNeverAnswers) {
  Host host({.handshake = SimHandshake::Silent});
  host.Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}), false);
  host.clock.Advance(5ms);
  EXPECT_EQ(host.Get(false), Report(9, 0));
  host.Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}));
  host.clock.Advance(5ms);
  EXPECT_EQ(host.Get(false), Report(9, 0));
  host.Set(P({0x83}));
  EXPECT_EQ(host.Get(false), Report(9, 0));
  EXPECT_TRUE(host.mouse.Errors().empty());
}

// --- Checksums and framing --------------------------------------------------

TEST(SimFraming, BadChecksumIsAnErrorAndTheCommandIsNotRun) {
  Host host;
  Payload q = P({0x01, 0x08});
  q[7] ^= 0x01;
  uint8_t report[9] = {};
  ScramblePayload(q.data(), host.key.data());
  std::copy(q.begin(), q.end(), report + 1);
  EXPECT_TRUE(host.config->SetFeature(report, 9));  // the stack accepts it; the firmware does not
  EXPECT_EQ(host.mouse.State().reportRate, 1);
  ASSERT_EQ(host.mouse.Errors().size(), 1u);
  EXPECT_EQ(host.mouse.Errors()[0], "bad checksum: payload 01 08 00 00 00 00 00 f7");
}

TEST(SimFraming, ShortReportsAndForeignReportIdsFail) {
  Host host;
  uint8_t report[9] = {};
  EXPECT_FALSE(host.config->SetFeature(report, 8));
  EXPECT_FALSE(host.config->GetFeature(report, 8));
  report[0] = 1;
  EXPECT_FALSE(host.config->SetFeature(report, 9));
  Report chunk = Chunk(0, 32);
  EXPECT_EQ(host.config->Write(chunk.data(), chunk.size(), 10ms), HidIoStatus::Failed);
  EXPECT_EQ(host.mouse.Errors().size(), 4u);
}

TEST(SimFraming, UnknownCommandsAndStrayArgumentsAreRefused) {
  Host host;
  host.Set(P({0x05, 0x01}));
  host.Set(P({0x01, 0x02, 0x01}));  // byte 2 of a report-rate write must be zero
  host.Set(P({0x07, 0x02, 1, 2, 3}));
  host.clock.Advance(2ms);
  EXPECT_EQ(host.mouse.State().reportRate, 1);
  EXPECT_EQ(host.mouse.State().lightParams, SimFirmwareState::Factory(0).lightParams);
  const auto errors = host.mouse.Errors();
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0], "unknown command 0x05");
  EXPECT_EQ(errors[1], "command 0x01 refused: unused argument bytes not zero");
  EXPECT_EQ(errors[2], "command 0x07 refused: index out of range");
}

// --- Queries ------------------------------------------------------------------

TEST(SimQueries, AnswerFromTheFirmwareState) {
  Host host({.sensorType = 2});
  SimFirmwareState s = host.mouse.State();
  s.lightParams = {{{7, 8, 9}, {10, 11, 12}}};
  s.lightEffect = {3, 5, 2};
  host.mouse.SetState(s);

  EXPECT_EQ(host.Query(P({0x83})), Answer({0x83, 2, 0x01, 0x20, 0x05}));
  EXPECT_EQ(host.Query(P({0x8D})), Answer({0x8D, 3, 5, 2}));
  EXPECT_EQ(host.Query(P({0x87, 0})), Answer({0x87, 0, 7, 8, 9}));
  host.clock.Advance(2ms);
  // The second request carries the first answer's bytes 2..6; the firmware
  // looks at the index only.
  EXPECT_EQ(host.Query(P({0x87, 1, 7, 8, 9})), Answer({0x87, 1, 10, 11, 12}));
  host.clock.Advance(2ms);
  EXPECT_TRUE(host.mouse.Errors().empty());
}

TEST(SimQueries, AnswerIsFetchedOnceAndAStrayGetReturnsZeros) {
  Host host;
  EXPECT_EQ(host.Get(false), Report(9, 0));
  host.Set(P({0x83}));
  EXPECT_NE(host.Get(false), Report(9, 0));
  EXPECT_EQ(host.Get(false), Report(9, 0));
  // A write replaces the prepared answer.
  host.Set(P({0x8D}));
  host.Set(P({0x01, 2}));
  EXPECT_EQ(host.Get(false), Report(9, 0));
}

TEST(SimQueries, StageBlockQuerySendsItsDataAsOneChunk) {
  Host host;
  const auto block0 = host.mouse.State().stageBlocks[0];
  EXPECT_EQ(host.Query(P({0x90, 0})), Answer({0x90, 0, 24}));
  Report chunk = host.Read();
  EXPECT_EQ(chunk[0], 0);
  EXPECT_TRUE(std::equal(block0.begin(), block0.end(), chunk.begin() + 1));
  EXPECT_EQ(Report(chunk.begin() + 25, chunk.end()), Report(8, 0));
  HidIoStatus status;
  host.Read(&status);
  EXPECT_EQ(status, HidIoStatus::TimedOut);  // one chunk only
  host.clock.Advance(2ms);
  EXPECT_TRUE(host.mouse.Errors().empty());
}

TEST(SimQueries, MacroQuerySendsFourChunks) {
  Host host;
  SimFirmwareState s = host.mouse.State();
  for (size_t i = 0; i < 128; ++i) s.macroSlots[11][i] = static_cast<uint8_t>(0x80 + i);
  host.mouse.SetState(s);
  EXPECT_EQ(host.Query(P({0x93, 12})), Answer({0x93, 12, 128}));
  for (int k = 0; k < 4; ++k) EXPECT_EQ(host.Read(), Chunk(static_cast<uint8_t>(0x80 + 32 * k))) << k;
  host.clock.Advance(2ms);
  host.Set(P({0x93, 13}));
  EXPECT_EQ(host.Get(false), Report(9, 0));
  ASSERT_EQ(host.mouse.Errors().size(), 1u);
  EXPECT_EQ(host.mouse.Errors()[0], "command 0x93 refused: slot number out of range");
}

// --- Writes and data phases -------------------------------------------------

TEST(SimWrites, SingleReportCommandsChangeTheState) {
  Host host;
  host.Set(P({0x01, 8}));
  host.Set(P({0x03, 0, 0x01, 0x20, 0x45}));
  host.Set(P({0x0D, 2, 3, 3}));
  host.Set(P({0x07, 1, 2, 125, 3}));
  host.clock.Advance(2ms);
  const SimFirmwareState s = host.mouse.State();
  EXPECT_EQ(s.reportRate, 8);
  EXPECT_EQ(s.sensorSettings, (std::array<uint8_t, 4>{0, 0x01, 0x20, 0x45}));
  EXPECT_EQ(s.lightEffect, (std::array<uint8_t, 3>{2, 3, 3}));
  EXPECT_EQ(s.lightParams[1], (std::array<uint8_t, 3>{2, 125, 3}));
  EXPECT_TRUE(host.mouse.Errors().empty());
}

TEST(SimWrites, DataPhasesOfTheAnnouncedSizeAreStored) {
  Host host;
  host.Set(P({0x10, 1, 24}));
  host.Write(Chunk(0x40));
  host.clock.Advance(2ms);
  host.Set(P({0x11, 4, 8}));
  host.Write(Chunk(0x01));
  host.Set(P({0x12, 3, 64}));
  host.Write(Chunk(0x00));
  host.Write(Chunk(0x20));
  host.clock.Advance(2ms);
  host.Set(P({0x13, 1, 128}));
  for (int k = 0; k < 4; ++k) host.Write(Chunk(static_cast<uint8_t>(0x80 + 32 * k)));
  host.clock.Advance(2ms);
  EXPECT_TRUE(host.mouse.Errors().empty());

  const SimFirmwareState s = host.mouse.State();
  for (size_t i = 0; i < 24; ++i) EXPECT_EQ(s.stageBlocks[1][i], 0x40 + i);
  EXPECT_EQ(s.stageBlocks[0], SimFirmwareState::Factory(0).stageBlocks[0]);
  EXPECT_EQ(s.dpiCodes, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
  for (size_t i = 0; i < 64; ++i) EXPECT_EQ(s.keyMatrices[2][i], i);
  EXPECT_EQ(s.keyMatrices[0], (std::array<uint8_t, 64>{}));
  for (size_t i = 0; i < 128; ++i) EXPECT_EQ(s.macroSlots[0][i], static_cast<uint8_t>(0x80 + i));
}

TEST(SimWrites, WrongCountsStrayChunksAndCutPhasesAreErrors) {
  Host host;
  const SimFirmwareState before = host.mouse.State();
  host.Set(P({0x12, 1, 32}));  // a matrix is 64 bytes
  host.Write(Chunk(0));
  host.clock.Advance(2ms);
  host.Set(P({0x11, 4, 8}));
  host.Write(Chunk(0));
  host.Write(Chunk(0));  // one chunk too many
  host.Set(P({0x13, 2, 128}));
  host.Write(Chunk(0));
  host.Write(Chunk(0));
  host.clock.Advance(2ms);
  host.Set(P({0x01, 2}));  // before the macro's last two chunks
  const auto errors = host.mouse.Errors();
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0], "command 0x12 refused: wrong data-phase byte count");
  EXPECT_EQ(errors[1], "output report without an announced data phase");
  EXPECT_EQ(errors[2], "output report without an announced data phase");
  EXPECT_EQ(errors[3], "data phase of command 0x13 cut short: 2 of 4 chunks");
  const SimFirmwareState after = host.mouse.State();
  EXPECT_EQ(after.keyMatrices, before.keyMatrices);
  EXPECT_EQ(after.macroSlots, before.macroSlots);
  EXPECT_EQ(after.dpiCodes, (std::array<uint8_t, 8>{0, 1, 2, 3, 4, 5, 6, 7}));  // its one announced chunk was fine
}

// --- Pauses -------------------------------------------------------------------

TEST(SimPauses, ExactPausesPass) {
  Host host;
  host.Handshake();
  host.Query(P({0x87, 0}));
  host.clock.Advance(2ms);
  host.Query(P({0x90, 1}));
  host.Read();
  host.clock.Advance(2ms);
  host.Set(P({0x10, 0, 24}));
  host.Write(Chunk(0));
  host.clock.Advance(2ms);
  host.Set(P({0x0D, 1, 1, 2}));  // no pause after single-report commands
  host.Set(P({0x11, 4, 8}));
  host.Write(Chunk(0));
  host.Set(P({0x01, 1}));
  EXPECT_TRUE(host.mouse.Errors().empty()) << host.mouse.Errors()[0];
}

TEST(SimPauses, EachShortPauseIsReported) {
  struct Case {
    const char* name;
    void (*run)(Host&);
    const char* error;
  };
  const Case cases[] = {
      {"handshake",
       [](Host& h) {
         h.Set(P({0x00, 0xAA, 0xDD, 0x3B, 0x62}));
         h.clock.Advance(4999us);
         h.Get();
       },
       "pause too short: GET_FEATURE 4999 us after SET_FEATURE of command 0x00 (the handshake's challenge), needs "
       "5000 us"},
      {"indexed query",
       [](Host& h) {
         h.Query(P({0x87, 0}));
         h.clock.Advance(1999us);
         h.Set(P({0x87, 1}));
       },
       "pause too short: SET_FEATURE 1999 us after GET_FEATURE of command 0x87 (an indexed command), needs 2000 us"},
      {"output chunk",
       [](Host& h) {
         h.Set(P({0x12, 1, 64}));
         h.config->Write(Chunk(0).data(), 33, 10ms);
         h.clock.Advance(2999us);
         h.config->Write(Chunk(0).data(), 33, 10ms);
       },
       "pause too short: WRITE 2999 us after WRITE of command 0x12 (an output chunk), needs 3000 us"},
      {"last chunk of an indexed write",
       [](Host& h) {
         h.Set(P({0x10, 1, 24}));
         h.config->Write(Chunk(0).data(), 33, 10ms);
         h.clock.Advance(4999us);
         h.Set(P({0x10, 0, 24}));
       },
       "pause too short: SET_FEATURE 4999 us after WRITE of command 0x10 (an output chunk ending an indexed "
       "command), needs 5000 us"},
      {"data query",
       [](Host& h) {
         h.Query(P({0x93, 1}));
         for (int k = 0; k < 4; ++k) h.Read();
         h.clock.Advance(1999us);
         h.Set(P({0x93, 2}));
       },
       "pause too short: SET_FEATURE 1999 us after READ of command 0x93 (an indexed command), needs 2000 us"},
  };
  for (const Case& c : cases) {
    Host host;
    c.run(host);
    const auto errors = host.mouse.Errors();
    ASSERT_EQ(errors.size(), 1u) << c.name;
    EXPECT_EQ(errors[0], c.error) << c.name;
  }
}

TEST(SimPauses, ChunksOfAQueryFollowAtOnceAndACutPhaseEndsAtTheNextCommand) {
  Host host;
  host.mouse.AnswerWithCount(200);  // seven chunks announced
  EXPECT_EQ(host.Query(P({0x93, 1}))[3], 200);
  for (int k = 0; k < 4; ++k) host.Read();  // the host takes what fits
  host.clock.Advance(2ms);
  host.Set(P({0x93, 2}));
  EXPECT_TRUE(host.mouse.Errors().empty());
}

// --- Faults ---------------------------------------------------------------------

TEST(SimFaults, FailedExchangesHaveNoEffect) {
  Host host;
  host.mouse.FailExchange(1);
  EXPECT_TRUE(host.Set(P({0x01, 2})));
  EXPECT_FALSE(host.Set(P({0x01, 4})));
  EXPECT_EQ(host.mouse.State().reportRate, 2);
  host.mouse.FailNext(SimCall::GetFeature);
  host.Set(P({0x83}));
  Report report(9, 0);
  EXPECT_FALSE(host.config->GetFeature(report.data(), report.size()));
  EXPECT_EQ(report, Report(9, 0));
  host.mouse.FailNext(SimCall::Write);
  host.Set(P({0x11, 4, 8}));
  EXPECT_EQ(host.Write(Chunk(9)), HidIoStatus::Failed);
  EXPECT_EQ(host.Write(Chunk(9)), HidIoStatus::Ok);  // the phase still waits for its chunk
  EXPECT_EQ(host.mouse.State().dpiCodes[0], 9);
  const auto record = host.mouse.Exchanges();
  EXPECT_EQ(record[1].outcome, SimOutcome::Failed);
  EXPECT_EQ(record[1].note, "injected failure");
  EXPECT_TRUE(host.mouse.Errors().empty());
}

TEST(SimFaults, DroppedExchangesSucceedButAreLost) {
  Host host;
  host.mouse.DropNext(SimCall::SetFeature);
  EXPECT_TRUE(host.Set(P({0x01, 8})));
  EXPECT_EQ(host.mouse.State().reportRate, 1);
  host.mouse.DropNext(SimCall::GetFeature);
  host.Set(P({0x83}));
  EXPECT_EQ(host.Get(false), Report(9, 0));
  host.mouse.DropNext(SimCall::Read);
  host.Query(P({0x90, 0}));
  HidIoStatus status;
  host.Read(&status);
  EXPECT_EQ(status, HidIoStatus::TimedOut);  // the only chunk was lost
  EXPECT_EQ(host.mouse.Exchanges()[0].outcome, SimOutcome::Dropped);
}

TEST(SimFaults, AnswersWithAnOutOfRangeIndexOrOversizedCount) {
  Host host;
  host.mouse.AnswerWithIndex(5);
  EXPECT_EQ(host.Query(P({0x90, 1})), Answer({0x90, 5, 24}));
  const auto block1 = host.mouse.State().stageBlocks[1];
  const Report data = host.Read();  // the data still comes from the block asked for
  EXPECT_TRUE(std::equal(block1.begin(), block1.end(), data.begin() + 1));
  host.clock.Advance(2ms);

  host.mouse.AnswerWithCount(40);  // 24 real bytes, 16 filler, in two chunks
  EXPECT_EQ(host.Query(P({0x90, 0})), Answer({0x90, 0, 40}));
  const auto block0 = host.mouse.State().stageBlocks[0];
  const Report first = host.Read();
  const Report second = host.Read();
  EXPECT_TRUE(std::equal(block0.begin(), block0.end(), first.begin() + 1));
  EXPECT_EQ(Report(first.begin() + 25, first.end()), Report(8, kSimFillerByte));
  EXPECT_EQ(Report(second.begin() + 1, second.begin() + 9), Report(8, kSimFillerByte));
  EXPECT_EQ(Report(second.begin() + 9, second.end()), Report(24, 0));
  host.clock.Advance(2ms);
  // The next answer is normal again.
  EXPECT_EQ(host.Query(P({0x90, 0})), Answer({0x90, 0, 24}));
}

TEST(SimFaults, AMouseThatStopsAnsweringTimesOutWithoutBlocking) {
  Host host;
  host.mouse.SetResponding(false);
  host.Set(P({0x83}));
  EXPECT_EQ(host.Get(false), Report(9, 0));
  host.Set(P({0x13, 1, 128}));
  EXPECT_EQ(host.config->Write(Chunk(0).data(), 33, 500ms), HidIoStatus::TimedOut);
  HidIoStatus status;
  host.Read(&status);
  EXPECT_EQ(status, HidIoStatus::TimedOut);
  EXPECT_EQ(host.clock.Now(), Micros(0));  // with a manual clock nothing waits
  host.mouse.SetResponding(true);
  EXPECT_EQ(host.Query(P({0x8D}))[1], 0x8D);
}

TEST(SimFaults, RealTimeReadWaitsOutItsTimeout) {
  ManualClock clock;
  SimMouse mouse(clock, {.waits = SimWaits::RealTime});
  SimHidPlatform platform(mouse);
  auto config = platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::ReadWrite, true);
  Report r(33, 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(config->Read(r.data(), r.size(), 60ms), HidIoStatus::TimedOut);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
}

TEST(SimRecord, KeepsEveryCallWithItsTimeReportAndPlainPayload) {
  Host host;
  host.clock.Advance(1000us);
  host.Query(P({0x87, 1}));
  host.clock.Advance(2ms);
  host.Set(P({0x12, 2, 64}));
  host.Write(Chunk(0));
  auto record = host.mouse.Exchanges();
  ASSERT_EQ(record.size(), 4u);
  EXPECT_EQ(record[0].call, SimCall::SetFeature);
  EXPECT_EQ(record[0].time, Micros(1000));
  EXPECT_EQ(record[0].payload, P({0x87, 1}));
  EXPECT_EQ(record[0].report.size(), 9u);
  EXPECT_NE(Report(record[0].report.begin() + 1, record[0].report.end()),
            Report(record[0].payload.begin(), record[0].payload.end()));  // scrambled on the wire
  EXPECT_EQ(record[1].call, SimCall::GetFeature);
  EXPECT_EQ(record[1].payload, P({0x87, 1, 2, 100, 10}));
  EXPECT_EQ(record[2].time, Micros(3000));
  EXPECT_EQ(record[3].call, SimCall::Write);
  EXPECT_EQ(record[3].report, Chunk(0));
  EXPECT_STREQ(SimCallName(record[3].call), "WRITE");
  host.mouse.ClearRecord();
  EXPECT_TRUE(host.mouse.Exchanges().empty());
}

TEST(SimRecord, ALimitKeepsTheLatestAndFaultPositionsStillCountEveryCall) {
  Host host({.recordLimit = 2});
  host.mouse.FailExchange(3);
  for (int rate : {1, 2, 4, 8}) host.Set(P({0x01, rate}));
  const auto record = host.mouse.Exchanges();
  ASSERT_EQ(record.size(), 2u);
  EXPECT_EQ(record[0].payload, P({0x01, 4}));
  EXPECT_EQ(record[1].outcome, SimOutcome::Failed);
  EXPECT_EQ(host.mouse.State().reportRate, 4);
}

}  // namespace
}  // namespace kovral
