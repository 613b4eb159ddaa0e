// Discovery, handshake and interface changes over the scripted platform.
#include <gtest/gtest.h>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/framing.h"
#include "device_test_support.h"
#include "settings/device_config.h"

namespace kovral {
namespace {

using fake::ConfigCollection;
using fake::FakeInterface;
using fake::FakeMouse;
using fake::Hex;
using fake::LinkHarness;
using fake::NotifyCollection;
using fake::NotifySource;
using Lines = std::vector<std::string>;
using Notices = std::vector<std::pair<int, int>>;

std::string Set(const std::string& payload) { return fake::Line("SET", payload, 9); }
std::string Get(const std::string& payload) { return fake::Line("GET", payload, 9); }

const std::string kPlainChallenge = "00 aa dd 3b 62 00 00 db";

std::string ScrambledChallengeLine(const char* call) {
  Payload p = {0x00, 0xAA, 0xDD, 0x3B, 0x62, 0x00, 0x00, 0xDB};
  const ScrambleKey key = ProtocolScrambleKey();
  ScramblePayload(p.data(), key.data());
  return std::string(call) + " 00" + Hex(p.data(), 8);
}

FakeInterface OtherVendor() {
  FakeInterface i;
  i.path = L"\\\\?\\hid#vid_046d&pid_c077#other";
  i.attributes = {0x046D, 0xC077, 0x7200};
  i.caps = {0x0002, 0x0001, 5, 0, 0};
  return i;
}

FakeInterface MouseKeyboard() {
  FakeInterface i;
  i.path = L"\\\\?\\hid#vid_04d9&pid_a09f&mi_00#kbd";
  i.caps = {0x0006, 0x0001, 9, 2, 0};
  return i;
}

// ---------------------------------------------------------------------------
// Handshake

TEST(HandshakeTest, ScrambledEchoMakesTheLinkReady) {
  LinkHarness h;
  h.platform.interfaces = {ConfigCollection()};
  ASSERT_TRUE(ConnectDevice(h.link));
  EXPECT_EQ(h.link.ready, 1);
  EXPECT_EQ(h.link.scrambled, 1);
  EXPECT_EQ(h.link.scrambleKey, ProtocolScrambleKey());
  EXPECT_EQ(h.notices, (Notices{{14, 0}}));
  EXPECT_EQ(h.log.Lines(), (Lines{Set(kPlainChallenge), "PAUSE 5000", Get(""), ScrambledChallengeLine("SET"),
                                  "PAUSE 5000", ScrambledChallengeLine("GET")}));
}

TEST(HandshakeTest, PlainEchoIsNotDetected) {
  LinkHarness h;
  h.platform.interfaces = {ConfigCollection()};
  h.platform.mouse.handshake = FakeMouse::Handshake::PlainEcho;
  ASSERT_TRUE(ConnectDevice(h.link));
  EXPECT_EQ(h.link.ready, 0);
  EXPECT_EQ(h.link.scrambled, 0);
  EXPECT_EQ(h.notices, (Notices{{15, 0}}));
  // One attempt only: the plain echo settles it.
  EXPECT_EQ(h.log.Lines(), (Lines{Set(kPlainChallenge), "PAUSE 5000", Get(kPlainChallenge)}));
}

TEST(HandshakeTest, SilenceIsNotDetected) {
  LinkHarness h;
  h.platform.interfaces = {ConfigCollection()};
  h.platform.mouse.handshake = FakeMouse::Handshake::Silent;
  ASSERT_TRUE(ConnectDevice(h.link));
  EXPECT_EQ(h.link.ready, 0);
  EXPECT_EQ(h.link.scrambled, 0);
  EXPECT_EQ(h.notices, (Notices{{15, 0}}));
  const Lines lines = h.log.Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], Set(kPlainChallenge));
  EXPECT_EQ(lines[3], ScrambledChallengeLine("SET"));
}

// A replugged mouse starts plain whatever the last link left in `scrambled`:
// the first challenge must go out unscrambled.
TEST(HandshakeTest, FirstAttemptIsPlainEvenWhileScrambledIsSet) {
  LinkHarness h;
  h.platform.interfaces = {ConfigCollection()};
  ASSERT_TRUE(ConnectDevice(h.link));
  ASSERT_EQ(h.link.scrambled, 1);
  h.platform.mouse.wireScrambled = false;  // replugged: the firmware starts over
  h.log.Clear();
  h.notices.clear();

  ASSERT_TRUE(ConnectDevice(h.link));
  const Lines lines = h.log.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], Set(kPlainChallenge));
  EXPECT_EQ(h.link.ready, 1);
  EXPECT_EQ(h.notices, (Notices{{14, 0}}));

  // The key, once set, stays set after a failed handshake.
  h.platform.mouse.handshake = FakeMouse::Handshake::Silent;
  Handshake(h.link);
  EXPECT_EQ(h.link.scrambled, 0);
  EXPECT_EQ(h.link.scrambleKey, ProtocolScrambleKey());
}

// ---------------------------------------------------------------------------
// Discovery

struct DiscoveryHarness : LinkHarness {
  std::shared_ptr<NotifySource> source = std::make_shared<NotifySource>();
  DiscoveryHarness() { platform.logOpens = true; }
};

const std::string kCfg = "\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col01#cfg";
const std::string kNtf = "\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col02#ntf";

TEST(DiscoveryTest, OtherDevicesAreSkippedAndTheirQueryHandlesClosed) {
  DiscoveryHarness h;
  h.platform.interfaces = {OtherVendor(), MouseKeyboard(), NotifyCollection(h.source), ConfigCollection()};
  ASSERT_TRUE(OpenDevice(h.link));
  EXPECT_EQ(h.log.Lines(), (Lines{
                               "OPEN \\\\?\\hid#vid_046d&pid_c077#other query",
                               "CLOSE \\\\?\\hid#vid_046d&pid_c077#other query",
                               "OPEN \\\\?\\hid#vid_04d9&pid_a09f&mi_00#kbd query",
                               "CLOSE \\\\?\\hid#vid_04d9&pid_a09f&mi_00#kbd query",
                               "OPEN " + kNtf + " query",
                               "CLOSE " + kNtf + " query",
                               "OPEN " + kNtf + " read overlapped",
                               "OPEN " + kNtf + " write overlapped",
                               "OPEN " + kCfg + " query",
                               "CLOSE " + kCfg + " query",
                               "OPEN " + kCfg + " readwrite overlapped",
                           }));
  EXPECT_EQ(fake::Narrow(h.link.devicePath), kCfg);
  EXPECT_EQ(h.link.featureReportLength, 9);
  EXPECT_EQ(h.link.inputReportLength, 33);
  EXPECT_EQ(h.link.outputReportLength, 33);
  EXPECT_EQ(h.link.notifyReportLength, 8);
  EXPECT_TRUE(h.messages.messages.empty());
  // OpenDevice alone does not make the link usable: only the handshake does.
  EXPECT_EQ(h.link.ready, 0);
}

// Where the system lists the configuration collection first, the search goes
// on for the notification collection.
TEST(DiscoveryTest, ConfigurationFirstStillOpensTheNotificationCollection) {
  DiscoveryHarness h;
  h.platform.interfaces = {ConfigCollection(), OtherVendor(), NotifyCollection(h.source), MouseKeyboard()};
  ASSERT_TRUE(OpenDevice(h.link));
  EXPECT_NE(h.link.featureHandle, nullptr);
  EXPECT_NE(h.link.notifyReadHandle, nullptr);
  EXPECT_NE(h.link.notifyWriteHandle, nullptr);
  EXPECT_EQ(fake::Narrow(h.link.devicePath), kCfg);
  // Both found: the keyboard collection after them is never looked at.
  for (const std::string& line : h.log.Lines()) EXPECT_EQ(line.find("kbd"), std::string::npos) << line;
}

TEST(DiscoveryTest, AnInterfaceThatCannotBeOpenedIsSkipped) {
  DiscoveryHarness h;
  FakeInterface locked = OtherVendor();
  locked.failingOpens = {HidAccess::Query};
  h.platform.interfaces = {locked, NotifyCollection(h.source), ConfigCollection()};
  ASSERT_TRUE(OpenDevice(h.link));
  EXPECT_NE(h.link.notifyReadHandle, nullptr);

  // A notification collection that cannot be opened costs the notifications,
  // not the link; a failing write handle costs nothing.
  DiscoveryHarness g;
  FakeInterface notify = NotifyCollection(g.source);
  notify.failingOpens = {HidAccess::Write};
  g.platform.interfaces = {notify, ConfigCollection()};
  ASSERT_TRUE(OpenDevice(g.link));
  EXPECT_NE(g.link.notifyReadHandle, nullptr);
  EXPECT_EQ(g.link.notifyWriteHandle, nullptr);

  DiscoveryHarness k;
  notify.failingOpens = {HidAccess::Read};
  k.platform.interfaces = {notify, ConfigCollection()};
  ASSERT_TRUE(OpenDevice(k.link));
  EXPECT_EQ(k.link.notifyReadHandle, nullptr);

  // Without an openable configuration collection there is no link.
  DiscoveryHarness c;
  FakeInterface config = ConfigCollection();
  config.failingOpens = {HidAccess::ReadWrite};
  c.platform.interfaces = {NotifyCollection(c.source), config};
  EXPECT_FALSE(OpenDevice(c.link));
  EXPECT_EQ(c.platform.openHandles, 0);
}

// Reports longer than the link's buffers would overrun them: such a
// collection is not used.
TEST(DiscoveryTest, OversizedReportLengthsMakeACollectionUnusable) {
  for (int which = 0; which < 3; ++which) {
    DiscoveryHarness h;
    FakeInterface config = ConfigCollection();
    if (which == 0) config.caps.featureReportByteLength = 17;
    if (which == 1) config.caps.inputReportByteLength = 41;
    if (which == 2) config.caps.outputReportByteLength = 41;
    h.platform.interfaces = {NotifyCollection(h.source), config};
    EXPECT_FALSE(OpenDevice(h.link)) << which;
    EXPECT_EQ(h.link.featureHandle, nullptr);
    EXPECT_EQ(h.platform.openHandles, 0);
  }
  DiscoveryHarness h;
  FakeInterface notify = NotifyCollection(h.source);
  notify.caps.inputReportByteLength = 41;
  FakeInterface config = ConfigCollection();
  config.caps.featureReportByteLength = 16;
  config.caps.inputReportByteLength = 40;
  config.caps.outputReportByteLength = 40;
  h.platform.interfaces = {notify, config};
  ASSERT_TRUE(OpenDevice(h.link));  // the largest lengths the buffers hold are fine
  EXPECT_EQ(h.link.notifyReadHandle, nullptr);
  EXPECT_EQ(h.link.featureReportLength, 16);
}

TEST(DiscoveryTest, SystemCallFailuresShowTheirMessageAndLeaveNothingOpen) {
  struct Case {
    int failAt;  // 0: detail, 1: preparsed data, 2: caps
    std::wstring text;
  };
  const Case cases[] = {{0, L"SetupDiGetDeviceInterfaceDetail failed.\n"},
                        {1, L"HidD_GetPreparsedData failed.\n"},
                        {2, L"HidP_GetCaps failed."}};
  for (const Case& c : cases) {
    DiscoveryHarness h;
    FakeInterface notify = NotifyCollection(h.source);
    FakeInterface broken = MouseKeyboard();
    if (c.failAt == 0) broken.detailFails = true;
    if (c.failAt == 1) broken.capsStatus = HidCapsStatus::PreparsedDataFailed;
    if (c.failAt == 2) broken.capsStatus = HidCapsStatus::CapsFailed;
    h.platform.interfaces = {notify, broken, ConfigCollection()};
    h.notices.clear();
    EXPECT_FALSE(ConnectDevice(h.link));
    ASSERT_EQ(h.messages.messages.size(), 1u);
    EXPECT_EQ(h.messages.messages[0].text, c.text);
    EXPECT_EQ(h.messages.messages[0].caption, L"");
    EXPECT_EQ(h.platform.openHandles, 0) << "failure " << c.failAt;
    EXPECT_EQ(h.notices, (Notices{{15, 0}}));
    EXPECT_EQ(h.link.ready, 0);
  }
  // Once the configuration collection is open, a later failure ends the
  // search quietly and keeps the link.
  DiscoveryHarness h;
  FakeInterface broken = MouseKeyboard();
  broken.detailFails = true;
  h.platform.interfaces = {ConfigCollection(), broken, NotifyCollection(h.source)};
  EXPECT_TRUE(OpenDevice(h.link));
  EXPECT_TRUE(h.messages.messages.empty());
}

TEST(DiscoveryTest, NoMouseMeansNotDetected) {
  LinkHarness h;
  h.platform.interfaces = {OtherVendor()};
  EXPECT_FALSE(ConnectDevice(h.link));
  EXPECT_EQ(h.notices, (Notices{{15, 0}}));
  EXPECT_EQ(h.link.ready, 0);

  LinkHarness g;
  g.platform.enumerateFails = true;
  EXPECT_FALSE(ConnectDevice(g.link));
  EXPECT_TRUE(g.messages.messages.empty());
  EXPECT_EQ(g.notices, (Notices{{15, 0}}));
}

// Opening again closes the earlier link's handles first.
TEST(DiscoveryTest, ReopeningClosesTheOldHandlesBeforeOpeningNewOnes) {
  DiscoveryHarness h;
  h.platform.interfaces = {NotifyCollection(h.source), ConfigCollection()};
  ASSERT_TRUE(OpenDevice(h.link));
  h.log.Clear();
  ASSERT_TRUE(OpenDevice(h.link));
  const Lines lines = h.log.Lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "CLOSE " + kNtf + " read");
  EXPECT_EQ(lines[1], "CLOSE " + kNtf + " write");
  EXPECT_EQ(lines[2], "CLOSE " + kCfg + " readwrite");
  EXPECT_EQ(h.platform.openHandles, 3);
  CloseDevice(h.link);
  EXPECT_EQ(h.platform.openHandles, 0);
}

// ---------------------------------------------------------------------------
// Interface changes

TEST(DeviceChangeTest, OnlyInterfaceEventsNamingTheMouseReopen) {
  const std::wstring upper = L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01&Col01#8&35a2b7e1&0&0000#{4d1e55b2}";
  const std::wstring mixed = L"\\\\?\\HID#Vid_04d9&Pid_a09f&MI_01&Col02#x";
  const std::wstring lower = L"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col01#x";
  const std::wstring odd = L"\\\\?\\HID#vId_04D9&PiD_A09f&MI_01#x";
  for (const std::wstring& name : {upper, mixed, lower, odd}) {
    EXPECT_EQ(ClassifyDeviceChange(0x8000, 5, name), DeviceChangeAction::Reopen);
    EXPECT_EQ(ClassifyDeviceChange(0x8004, 5, name), DeviceChangeAction::Reopen);
    EXPECT_EQ(ClassifyDeviceChange(0x8001, 5, name), DeviceChangeAction::Ignore);  // query remove
    EXPECT_EQ(ClassifyDeviceChange(0x0007, 5, name), DeviceChangeAction::Ignore);  // devnodes changed
    EXPECT_EQ(ClassifyDeviceChange(0x8000, 2, name), DeviceChangeAction::Ignore);  // a volume
  }
  EXPECT_EQ(ClassifyDeviceChange(0x8000, 5, L"\\\\?\\HID#VID_04D9&PID_A0A0#x"), DeviceChangeAction::Ignore);
  EXPECT_EQ(ClassifyDeviceChange(0x8000, 5, L"\\\\?\\HID#VID_046D&PID_C077#x"), DeviceChangeAction::Ignore);
  EXPECT_EQ(ClassifyDeviceChange(0x8000, 5, L""), DeviceChangeAction::Ignore);
}

TEST(DeviceChangeTest, ArrivalReopensHandshakesAndRefreshesTheSensor) {
  LinkHarness h;
  h.platform.interfaces = {NotifyCollection(std::make_shared<NotifySource>()), ConfigCollection()};
  h.platform.mouse.respond = [](const Payload& q, Payload& a, auto&) {
    if (q[0] == 0x83) a = {0x83, 0x02, 0x01, 0x20, 0x05};
  };
  DeviceImage image;
  const std::wstring name = L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01&Col01#x";

  DeviceChangeResult r = HandleDeviceChange(h.link, image, 0x8000, 5, name);
  EXPECT_TRUE(r.reopened);
  EXPECT_FALSE(r.hideWindow);
  EXPECT_TRUE(r.resumeReader);
  EXPECT_EQ(h.link.ready, 1);
  EXPECT_EQ(image.activeSensorType, 2);
  EXPECT_EQ(image.sensorSettings[3], 0x45);
  EXPECT_EQ(h.notices, (Notices{{14, 0}}));
  // The last exchange is the write-back with bit 6 of Option2 set.
  Payload written = {0x03, 0x02, 0x01, 0x20, 0x45, 0x00, 0x00, 0x00};
  written[7] = PayloadChecksum(written.data());
  const ScrambleKey key = ProtocolScrambleKey();
  ScramblePayload(written.data(), key.data());
  EXPECT_EQ(h.log.Lines().back(), "SET 00" + Hex(written.data(), 8));

  // A removal of one collection reopens the link but does not refresh.
  h.log.Clear();
  r = HandleDeviceChange(h.link, image, 0x8004, 5, name);
  EXPECT_TRUE(r.reopened);
  EXPECT_FALSE(r.resumeReader);
  EXPECT_EQ(h.log.Lines().size(), 6u);  // the handshake only

  // The mouse gone: not detected, the caller hides its window.
  h.platform.interfaces.clear();
  h.notices.clear();
  r = HandleDeviceChange(h.link, image, 0x8004, 5, name);
  EXPECT_TRUE(r.hideWindow);
  EXPECT_FALSE(r.resumeReader);
  EXPECT_EQ(h.link.ready, 0);
  EXPECT_EQ(h.notices, (Notices{{15, 0}}));
  EXPECT_EQ(h.link.featureHandle, nullptr);

  // Unrelated events change nothing.
  h.log.Clear();
  h.notices.clear();
  r = HandleDeviceChange(h.link, image, 0x8000, 5, L"\\\\?\\HID#VID_046D&PID_C077#x");
  EXPECT_FALSE(r.reopened);
  EXPECT_TRUE(h.log.Lines().empty());
  EXPECT_TRUE(h.notices.empty());
}

// An arrival whose handshake fails does not touch the sensor.
TEST(DeviceChangeTest, ArrivalOfAMouseThatIsNotReadyDoesNotRefresh) {
  LinkHarness h;
  h.platform.interfaces = {ConfigCollection()};
  h.platform.mouse.handshake = FakeMouse::Handshake::PlainEcho;
  DeviceImage image;
  const DeviceChangeResult r = HandleDeviceChange(h.link, image, 0x8000, 5, L"vid_04d9&pid_a09f");
  EXPECT_TRUE(r.reopened);
  EXPECT_FALSE(r.hideWindow);
  EXPECT_FALSE(r.resumeReader);
  EXPECT_EQ(h.log.Lines().size(), 3u);
}

}  // namespace
}  // namespace kovral
