#include <gtest/gtest.h>

#include <chrono>

#include "simctl/sim_channel.h"
#include "simctl/sim_control.h"
#include "settings/user_folder.h"
#include "sim/sim_mouse.h"

namespace kovral {
namespace {

SimCommand Cmd(const wchar_t* text) { return *ParseSimCommand(text).command; }

// Opens the notification collection of the simulated mouse, as the link does.
std::unique_ptr<HidDevice> OpenNotification(SimMouse& mouse, SimHidPlatform& platform) {
  return platform.Open(mouse.InterfacePath(SimInterface::Notification), HidAccess::Read, true);
}

TEST(SimControl, NotifyAndRawReachAnOpenReader) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  auto reader = OpenNotification(mouse, platform);
  ASSERT_TRUE(reader);
  std::wstring why;
  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"notify 7 2"), why));
  uint8_t report[8] = {};
  ASSERT_EQ(reader->Read(report, sizeof report, std::chrono::milliseconds(0)), HidIoStatus::Ok);
  EXPECT_EQ(report[0], 6);
  EXPECT_EQ(report[1], 7);
  EXPECT_EQ(report[3], 2);

  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"raw 05 09 00 03"), why));
  ASSERT_EQ(reader->Read(report, sizeof report, std::chrono::milliseconds(0)), HidIoStatus::Ok);
  EXPECT_EQ(report[0], 5);
  EXPECT_EQ(report[1], 9);
}

TEST(SimControl, UnplugAndPlugAnnounceEveryCollectionOnce) {
  ManualClock clock;
  SimMouse mouse(clock);
  std::vector<SimPlugEvent> events;
  mouse.SetPlugListener([&](const SimPlugEvent& e) { events.push_back(e); });
  std::wstring why;
  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"unplug"), why));
  EXPECT_FALSE(mouse.Plugged());
  ASSERT_FALSE(events.empty());
  for (const auto& e : events) EXPECT_FALSE(e.arrival);
  const size_t removals = events.size();

  EXPECT_FALSE(ExecuteSimCommand(mouse, Cmd(L"unplug"), why));
  EXPECT_NE(why.find(L"already"), std::wstring::npos);
  EXPECT_FALSE(ExecuteSimCommand(mouse, Cmd(L"notify 7 1"), why));  // nothing to send it with

  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"plug"), why));
  EXPECT_TRUE(mouse.Plugged());
  ASSERT_EQ(events.size(), 2 * removals);
  for (size_t i = removals; i < events.size(); ++i) {
    EXPECT_TRUE(events[i].arrival);
    EXPECT_NE(events[i].arrivalName.find(L"VID_04D9&PID_A09F"), std::wstring::npos);
  }
  EXPECT_FALSE(ExecuteSimCommand(mouse, Cmd(L"plug"), why));
}

TEST(SimControl, SilentMouseAnswersNothingUntilToldOtherwise) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  auto config = platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::ReadWrite, false);
  ASSERT_TRUE(config);
  std::wstring why;
  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"silent on"), why));
  uint8_t report[33] = {};
  EXPECT_EQ(config->Read(report, sizeof report, std::chrono::milliseconds(5)), HidIoStatus::TimedOut);
  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"silent off"), why));
}

// "stall" holds up the next calls on the configuration collection, by the
// simulator's clock: a feature call then goes through, a data report held up
// past its time-out times out; notifications are not held up.
TEST(SimControl, StallHoldsUpTheNextCallsOnTheConfigurationCollection) {
  using std::chrono::milliseconds;
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  auto config = platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::ReadWrite, true);
  auto reader = OpenNotification(mouse, platform);
  ASSERT_TRUE(config && reader);
  std::wstring why;
  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"stall 2 800"), why));
  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"notify 7 2"), why));
  uint8_t notice[8] = {};
  EXPECT_EQ(reader->Read(notice, sizeof notice, milliseconds(0)), HidIoStatus::Ok);
  EXPECT_EQ(clock.Now(), Micros{0});

  uint8_t feature[9] = {};
  EXPECT_TRUE(config->GetFeature(feature, sizeof feature));
  EXPECT_EQ(clock.Now(), milliseconds(800));
  uint8_t chunk[33] = {};
  EXPECT_EQ(config->Write(chunk, sizeof chunk, milliseconds(700)), HidIoStatus::TimedOut);
  EXPECT_EQ(clock.Now(), milliseconds(1500));
  EXPECT_TRUE(config->GetFeature(feature, sizeof feature));  // the two are spent
  EXPECT_EQ(clock.Now(), milliseconds(1500));

  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"stall 5 100"), why));
  ASSERT_TRUE(ExecuteSimCommand(mouse, Cmd(L"stall off"), why));
  EXPECT_TRUE(config->GetFeature(feature, sizeof feature));
  EXPECT_EQ(clock.Now(), milliseconds(1500));
}

// Over a socket the reply carries the reason, which kvsimctl prints; a reply
// line it misreads would turn a refusal into "done" or lose the reason.
TEST(SimChannel, RequestLinesRunOnTheMouseAndRepliesCarryTheReason) {
  ManualClock clock;
  SimMouse mouse(clock);
  EXPECT_EQ(AnswerSimRequest(&mouse, "unplug"), "1\n");
  EXPECT_FALSE(mouse.Plugged());
  EXPECT_EQ(AnswerSimRequest(&mouse, "unplug"), "3 the simulated mouse is already unplugged\n");
  EXPECT_EQ(AnswerSimRequest(&mouse, "plug"), "1\n");
  EXPECT_TRUE(mouse.Plugged());
  EXPECT_EQ(AnswerSimRequest(&mouse, "\xff\xfe"), "2 the command is not UTF-8 text\n");
  EXPECT_EQ(AnswerSimRequest(&mouse, "wiggle").substr(0, 2), "2 ");
  EXPECT_EQ(AnswerSimRequest(nullptr, "plug"), "0 the program was not started with --simulate\n");

  const SimReply refused = DecodeSimReply("3 the simulated mouse is unplugged\r\n");
  EXPECT_EQ(refused.code, 3);
  EXPECT_EQ(refused.reason, "the simulated mouse is unplugged");
  EXPECT_FALSE(refused.Done());
  EXPECT_TRUE(DecodeSimReply("1\n").Done());
  EXPECT_FALSE(DecodeSimReply("1x\n").Done());  // garbage is no success
  EXPECT_EQ(DecodeSimReply("").code, 0);
  EXPECT_EQ(EncodeSimReply({3, "two\nlines"}), "3 two lines\n");
}

TEST(SimChannel, SessionSocketIsInTheRuntimeFolderElseNamedForTheUser) {
  const char* runtime = nullptr;
  auto env = [&](const char* name) -> const char* {
    return std::string(name) == "XDG_RUNTIME_DIR" ? runtime : nullptr;
  };
  EXPECT_EQ(SessionSocketPath(kSimChannelName, env, 1000), "/tmp/kovral-simctl-1000.sock");
  runtime = "run/user/1000";  // relative: not a folder the user owns
  EXPECT_EQ(SessionSocketPath(kSimChannelName, env, 1000), "/tmp/kovral-simctl-1000.sock");
  runtime = "/run/user/1000";
  EXPECT_EQ(SessionSocketPath(kSimChannelName, env, 1000), "/run/user/1000/kovral-simctl.sock");
}

}  // namespace
}  // namespace kovral
