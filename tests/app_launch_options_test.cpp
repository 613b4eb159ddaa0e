#include <gtest/gtest.h>

#include "app/launch_options.h"

namespace kovral {
namespace {

TEST(LaunchOptions, PlainStartIsTheRealMouse) {
  LaunchParse p = ParseLaunchOptions({});
  ASSERT_TRUE(p.options);
  EXPECT_FALSE(p.options->simulate);
  EXPECT_EQ(p.options->sensorType, 0);
  EXPECT_TRUE(p.options->traceFile.empty());
}

TEST(LaunchOptions, SimulatedMouseWithSensorAndTraceInAnyOrder) {
  LaunchParse p = ParseLaunchOptions({L"--trace", L"C:\\t\\hid trace.txt", L"--sensor-type", L"3", L"--simulate"});
  ASSERT_TRUE(p.options) << std::string(p.error.begin(), p.error.end());
  EXPECT_TRUE(p.options->simulate);
  EXPECT_EQ(p.options->sensorType, 3);
  EXPECT_EQ(p.options->traceFile, L"C:\\t\\hid trace.txt");

  p = ParseLaunchOptions({L"--simulate", L"--sensor-type", L"255"});
  ASSERT_TRUE(p.options);
  EXPECT_EQ(p.options->sensorType, 255);
}

TEST(LaunchOptions, TraceAlsoWorksWithTheRealMouse) {
  LaunchParse p = ParseLaunchOptions({L"--trace", L"x.txt"});
  ASSERT_TRUE(p.options);
  EXPECT_FALSE(p.options->simulate);
  EXPECT_EQ(p.options->traceFile, L"x.txt");
}

TEST(LaunchOptions, RefusesWhatItCannotHonour) {
  EXPECT_FALSE(ParseLaunchOptions({L"--sensor-type", L"1"}).options);  // needs --simulate
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--sensor-type"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--sensor-type", L"256"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--sensor-type", L"-1"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--sensor-type", L"0x1"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--trace"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--trace", L""}).options);
  // The link's stand-in: only for a simulated run, and only with a file.
  EXPECT_FALSE(ParseLaunchOptions({L"--shell-log", L"links.txt"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--shell-log"}).options);
  EXPECT_EQ(ParseLaunchOptions({L"--shell-log", L"links.txt", L"--simulate"}).options->shellLog, L"links.txt");
  // The colour dialog's stand-in answer.
  EXPECT_EQ(ParseLaunchOptions({L"--simulate", L"--pick-color", L"12aBff"}).options->pickColor, (ui::Rgb{0x12, 0xAB, 0xFF}));
  EXPECT_TRUE(ParseLaunchOptions({L"--simulate", L"--pick-color", L"cancel"}).options->pickColorCancel);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--pick-color", L"12345"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--pick-color", L"000000"}).options);
  // The self-checks break the mouse on purpose: the simulated one only.
  const auto check = ParseLaunchOptions(
      {L"--simulate", L"--check", L"soak", L"r.txt", L"--check-cycles", L"50", L"--check-every", L"3"});
  EXPECT_EQ(check.options->check, CheckPlan::Soak);
  EXPECT_EQ(check.options->checkCycles, 50);
  EXPECT_EQ(check.options->checkEvery, 3);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--check", L"faults", L"r.txt", L"--check-every", L"0"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--check", L"faults", L"r.txt"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--check", L"leaks", L"r.txt"}).options);
  EXPECT_FALSE(ParseLaunchOptions({L"--simulate", L"--check", L"soak", L"r.txt", L"--check-cycles", L"0"}).options);
  LaunchParse p = ParseLaunchOptions({L"--simulated"});
  EXPECT_FALSE(p.options);
  EXPECT_NE(p.error.find(L"--simulated"), std::wstring::npos);
}

// A second copy ends silently with 0 whatever it was given: a file dropped on
// the executable, a bogus switch or a good command line.
TEST(LaunchOptions, ASecondCopyLeavesSilentlyBeforeItsCommandLineIsRead) {
  for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
           {L"C:\\Users\\me\\profile.kvp"}, {L"--bogus"}, {L"--simulate", L"--trace", L"t.txt"}, {}}) {
    const LaunchDecision second = DecideLaunch(true, args);
    EXPECT_FALSE(second.run);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.message, L"");
  }
  const LaunchDecision first = DecideLaunch(false, {L"C:\\Users\\me\\profile.kvp"});
  EXPECT_FALSE(first.run);
  EXPECT_EQ(first.exitCode, 2);
  EXPECT_NE(first.message.find(L"profile.kvp"), std::wstring::npos);
  EXPECT_NE(first.message.find(LaunchUsage()), std::wstring::npos);
  const LaunchDecision normal = DecideLaunch(false, {L"--simulate", L"--sensor-type", L"3"});
  EXPECT_TRUE(normal.run);
  EXPECT_EQ(normal.message, L"");
  EXPECT_EQ(normal.options.sensorType, 3);
}

}  // namespace
}  // namespace kovral

#include "app/check_run.h"

namespace kovral {
namespace {

TEST(CheckRun, EveryExchangeIsBrokenOnceAndAStallMayCostItsLength) {
  const std::vector<FaultCase> plan = FaultSweepPlan(166, 10);
  EXPECT_EQ(plan.size(), 2 * 166 + 3 + 17u);
  EXPECT_EQ(plan[165].position, 165u);
  EXPECT_EQ(plan[166].kind, FaultKind::Drop);
  EXPECT_EQ(plan.back().kind, FaultKind::Stall);
  EXPECT_EQ(plan.back().position, 160u);
  const std::vector<FaultCase> sample = FaultSweepPlan(166, 10, 3, 4);
  EXPECT_EQ(sample.size(), 2 * 55 + 3 + 17u);
  EXPECT_EQ(sample[0].position, 1u);
  EXPECT_EQ(sample[54].position, 163u);

  const FaultCase stall{FaultKind::Stall, 3};
  std::vector<FaultOutcome> outcomes = {{{FaultKind::Fail, 0}, 900, true, true}, {stall, 1900, true, true}};
  EXPECT_EQ(Summarise(outcomes, 260, 700, 1000).failed, 0u);
  outcomes[0].applyMs = 1400;  // a fail held the window past one bound
  outcomes[1].fileWhole = false;
  const std::string report = FormatFaultReport(outcomes, 260, 700, 1000);
  EXPECT_EQ(Summarise(outcomes, 260, 700, 1000).failed, 2u);
  EXPECT_NE(report.find("FAILED fail at 0"), std::string::npos);
  EXPECT_NE(report.find("TORN"), std::string::npos);
}

TEST(CheckRun, ALeakOfOneObjectPerCycleIsNotFlat) {
  SoakPhase phase{"apply", 1000, 1.0, {100, 40, 30, 5'000'000}, {103, 41, 30, 5'500'000}, 0};
  EXPECT_TRUE(CountersFlat(phase));
  phase.after.gdiObjects = 40 + 1000;
  EXPECT_FALSE(CountersFlat(phase));
  EXPECT_NE(FormatSoakReport({phase}).find("soak: FAILED"), std::string::npos);
  phase.after.gdiObjects = 40;
  phase.cycleFailures = 1;  // flat counters, but a cycle never ended
  EXPECT_NE(FormatSoakReport({phase}).find("soak: FAILED"), std::string::npos);
}

}  // namespace
}  // namespace kovral
