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
  LaunchParse p = ParseLaunchOptions({L"--simulated"});
  EXPECT_FALSE(p.options);
  EXPECT_NE(p.error.find(L"--simulated"), std::wstring::npos);
}

}  // namespace
}  // namespace kovral
