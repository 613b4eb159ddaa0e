#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/page_pointer.h"

namespace kovral {
namespace {

class RecordingPointerApi final : public PointerSettingsApi {
 public:
  bool SetMouse(int a, int b, int c) override { return Log("mouse " + N(a) + "," + N(b) + "," + N(c)); }
  bool SetMouseSpeed(int s) override { return Log("speed " + N(s)); }
  bool SetWheelScrollLines(uint32_t l) override { return Log("lines " + N(l)); }
  bool SetDoubleClickTime(uint32_t t) override { return Log("dblclk " + N(t)); }
  std::vector<std::string> calls;
  size_t failAt = 99;

 private:
  template <typename T>
  static std::string N(T v) { return std::to_string(v); }
  bool Log(std::string s) {
    calls.push_back(std::move(s));
    return calls.size() - 1 != failAt;
  }
};

TEST(PointerSettings, RecordStepsBecomeSystemValuesInOrder) {
  DeviceConfig c{};
  c.enhancePrecision = 1;
  c.pointerSpeed = 5;  // 2 * 5 - 2
  c.scrollLines = 4;
  c.doubleClickSpeed = 6;  // 970 - 420
  RecordingPointerApi api;
  RecordingMessageSink messages;
  ApplyPointerSettings(c, api, messages);
  EXPECT_EQ(api.calls, (std::vector<std::string>{"mouse 6,10,1", "speed 8", "lines 4", "dblclk 550"}));
  EXPECT_TRUE(messages.messages.empty());
}

TEST(PointerSettings, OneScreenAndTheEndsOfTheSliders) {
  DeviceConfig c{};
  c.scrollOneScreen = 1;
  c.scrollLines = 7;
  c.pointerSpeed = 1;
  c.doubleClickSpeed = 11;
  SystemPointerValues v = PointerValuesFromRecord(c);
  EXPECT_EQ(v.mouse[0], 0);
  EXPECT_EQ(v.mouse[2], 0);
  EXPECT_EQ(v.speed, 1);
  EXPECT_EQ(v.wheelLines, 0xFFFFFFFFu);
  EXPECT_EQ(v.doubleClickTime, 200u);
  c.pointerSpeed = 11;
  c.scrollOneScreen = 0;
  c.scrollLines = 0;
  EXPECT_EQ(PointerValuesFromRecord(c).speed, 20);
  EXPECT_EQ(PointerValuesFromRecord(c).wheelLines, 0u);
}

TEST(PointerSettings, StepsNobodyChoseFallBackToTheDefaultStep) {
  DeviceConfig zero{};  // no config.bin: every byte 0
  SystemPointerValues v = PointerValuesFromRecord(zero);
  EXPECT_EQ(v.speed, 10);
  EXPECT_EQ(v.doubleClickTime, 550u);
  zero.pointerSpeed = 200;
  zero.doubleClickSpeed = 12;
  v = PointerValuesFromRecord(zero);
  EXPECT_EQ(v.speed, 10);
  EXPECT_EQ(v.doubleClickTime, 550u);
}

TEST(PointerSettings, EachFailureIsShownAndTheRestStillRuns) {
  DeviceConfig c{};
  RecordingPointerApi api;
  api.failAt = 1;  // the speed
  RecordingMessageSink messages;
  ApplyPointerSettings(c, api, messages);
  EXPECT_EQ(api.calls.size(), 4u);
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, L"SETMOUSESPEED failed.");
  EXPECT_EQ(messages.messages[0].caption, L"Warning");
}

}  // namespace
}  // namespace kovral
