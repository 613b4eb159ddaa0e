// The simulated machine as the link sees it: enumeration, opens, access
// modes, unplugging, notification reports and their readers.
#include <gtest/gtest.h>

#include <atomic>
#include <cwctype>
#include <thread>

#include "device/cond_event.h"
#include "sim/sim_mouse.h"
#include "device/hid_system.h"

namespace kovral {
namespace {

using namespace std::chrono_literals;

std::vector<std::wstring> Listed(HidPlatform& platform) {
  std::vector<std::wstring> paths;
  auto list = platform.Enumerate();
  if (!list) return paths;
  std::wstring path;
  for (uint32_t i = 0; list->Interface(i, path) != HidEnumeration::Status::NoMoreItems; ++i) paths.push_back(path);
  return paths;
}

TEST(SimPlatform, ListsTheInterfacesInTheConfiguredOrderWithTheirIdentity) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  const std::vector<std::wstring> expected = {
      L"\\\\?\\hid#vid_046d&pid_c077#7&1e4a2b9c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
      L"\\\\?\\hid#vid_04d9&pid_a09f&mi_00#8&2f1c6a3d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
      L"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col02#8&35a2b7e1&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}",
      L"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col01#8&35a2b7e1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
  };
  EXPECT_EQ(Listed(platform), expected);
  EXPECT_EQ(mouse.ArrivalName(SimInterface::Configuration),
            L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01&Col01#8&35a2b7e1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}");

  struct Want {
    SimInterface kind;
    uint16_t vid, pid, usage, page, input, output, feature;
  };
  const Want wants[] = {
      {SimInterface::OtherVendor, 0x046D, 0xC077, 0x0002, 0x0001, 5, 0, 0},
      {SimInterface::MouseKeyboard, 0x04D9, 0xA09F, 0x0006, 0x0001, 9, 2, 0},
      {SimInterface::Notification, 0x04D9, 0xA09F, 0xFF01, 0xFF01, 8, 0, 0},
      {SimInterface::Configuration, 0x04D9, 0xA09F, 0xFF00, 0xFF00, 33, 33, 9},
  };
  for (const Want& w : wants) {
    auto query = platform.Open(mouse.InterfacePath(w.kind), HidAccess::Query, false);
    ASSERT_TRUE(query);
    HidAttributes a;
    ASSERT_TRUE(query->GetAttributes(a));
    EXPECT_EQ(a.vendorId, w.vid);
    EXPECT_EQ(a.productId, w.pid);
    HidCaps c;
    ASSERT_EQ(query->GetCaps(c), HidCapsStatus::Ok);
    EXPECT_EQ(c.usage, w.usage);
    EXPECT_EQ(c.usagePage, w.page);
    EXPECT_EQ(c.inputReportByteLength, w.input);
    EXPECT_EQ(c.outputReportByteLength, w.output);
    EXPECT_EQ(c.featureReportByteLength, w.feature);
  }
}

TEST(SimPlatform, OrderAndReportLengthsAreConfigurable) {
  ManualClock clock;
  SimMouse mouse(clock, {.order = {SimInterface::Configuration, SimInterface::Notification},
                         .featureReportLength = 20,
                         .inputReportLength = 65,
                         .outputReportLength = 41,
                         .notifyReportLength = 48});
  SimHidPlatform platform(mouse);
  const auto paths = Listed(platform);
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0], mouse.InterfacePath(SimInterface::Configuration));
  EXPECT_EQ(paths[1], mouse.InterfacePath(SimInterface::Notification));
  EXPECT_TRUE(mouse.InterfacePath(SimInterface::OtherVendor).empty());
  HidCaps c;
  platform.Open(paths[0], HidAccess::Query, false)->GetCaps(c);
  EXPECT_EQ(c.featureReportByteLength, 20);
  EXPECT_EQ(c.inputReportByteLength, 65);
  EXPECT_EQ(c.outputReportByteLength, 41);
  platform.Open(paths[1], HidAccess::Query, false)->GetCaps(c);
  EXPECT_EQ(c.inputReportByteLength, 48);
}

TEST(SimPlatform, OpensHonourAccessModesAndSystemOwnership) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  EXPECT_FALSE(platform.Open(L"\\\\?\\hid#vid_1234&pid_5678#0#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                             HidAccess::Query, false));
  // The system keeps mice and keyboards to itself.
  EXPECT_FALSE(platform.Open(mouse.InterfacePath(SimInterface::MouseKeyboard), HidAccess::ReadWrite, false));
  EXPECT_FALSE(platform.Open(mouse.InterfacePath(SimInterface::OtherVendor), HidAccess::Read, true));
  // Paths compare without regard to case, as the system's do.
  std::wstring upper = mouse.InterfacePath(SimInterface::Configuration);
  for (auto& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
  auto query = platform.Open(upper, HidAccess::Query, false);
  ASSERT_TRUE(query);
  uint8_t report[40] = {};
  EXPECT_FALSE(query->SetFeature(report, 9));
  EXPECT_FALSE(query->GetFeature(report, 9));
  EXPECT_EQ(query->Read(report, 33, 1ms), HidIoStatus::Failed);
  auto writeOnly = platform.Open(mouse.InterfacePath(SimInterface::Notification), HidAccess::Write, true);
  ASSERT_TRUE(writeOnly);
  auto event = platform.NewEvent();
  EXPECT_FALSE(writeOnly->StartRead(report, 8, *event));
  EXPECT_EQ(mouse.OpenHandleCount(), 2u);
  query.reset();
  EXPECT_EQ(mouse.OpenHandleCount(), 1u);
}

TEST(SimPlatform, InjectedDiscoveryFailures) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  mouse.SetEnumerationFails(true);
  EXPECT_FALSE(platform.Enumerate());
  mouse.SetEnumerationFails(false);
  mouse.SetDetailFails(SimInterface::Notification, true);
  auto list = platform.Enumerate();
  std::wstring path;
  EXPECT_EQ(list->Interface(1, path), HidEnumeration::Status::Ok);
  EXPECT_EQ(list->Interface(2, path), HidEnumeration::Status::DetailFailed);
  EXPECT_EQ(list->Interface(4, path), HidEnumeration::Status::NoMoreItems);
  mouse.SetOpenFails(SimInterface::OtherVendor, true);
  EXPECT_FALSE(platform.Open(mouse.InterfacePath(SimInterface::OtherVendor), HidAccess::Query, false));
  mouse.SetCapsFailure(SimInterface::Configuration, HidCapsStatus::CapsFailed);
  HidCaps caps;
  EXPECT_EQ(platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::Query, false)->GetCaps(caps),
            HidCapsStatus::CapsFailed);
  mouse.ClearFaults();
  EXPECT_TRUE(platform.Open(mouse.InterfacePath(SimInterface::OtherVendor), HidAccess::Query, false));
  EXPECT_EQ(Listed(platform).size(), 4u);
}

TEST(SimNotifications, ReportsReachEveryReaderWithTheValueInByteThree) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  const std::wstring path = mouse.InterfacePath(SimInterface::Notification);
  auto reader = platform.Open(path, HidAccess::Read, true);
  auto second = platform.Open(path, HidAccess::Read, true);
  auto event = platform.NewEvent();
  uint8_t report[40] = {};
  ASSERT_TRUE(reader->StartRead(report, 8, *event));
  EXPECT_FALSE(static_cast<CondEvent&>(*event).IsSet());
  EXPECT_TRUE(mouse.EmitNotification(7, 3));
  EXPECT_TRUE(static_cast<CondEvent&>(*event).IsSet());
  EXPECT_EQ(reader->FinishRead(), 8u);
  const uint8_t dpiStage[8] = {6, 7, 0, 3, 0, 0, 0, 0};
  EXPECT_TRUE(std::equal(dpiStage, dpiStage + 8, report));

  // Reports that came while no read was pending wait in order, per reader.
  EXPECT_TRUE(mouse.EmitRawNotification({5, 7, 2, 4, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
  EXPECT_TRUE(mouse.EmitNotification(9, 12));
  uint8_t a[8], b[8];
  EXPECT_EQ(second->Read(a, sizeof a, 1ms), HidIoStatus::Ok);  // the first report, from the first read on
  EXPECT_EQ(a[0], 6);
  EXPECT_EQ(second->Read(b, sizeof b, 1ms), HidIoStatus::Ok);
  const uint8_t foreign[8] = {5, 7, 2, 4, 0xAA, 0xBB, 0xCC, 0xDD};  // cut to the report length
  EXPECT_TRUE(std::equal(foreign, foreign + 8, b));
  event->Reset();
  ASSERT_TRUE(reader->StartRead(report, 8, *event));
  EXPECT_TRUE(static_cast<CondEvent&>(*event).IsSet());  // completes at once
  EXPECT_EQ(reader->FinishRead(), 8u);
  EXPECT_EQ(report[0], 5);
  second->DiscardQueuedInput();
  EXPECT_EQ(second->Read(a, sizeof a, 1ms), HidIoStatus::TimedOut);
}

TEST(SimNotifications, CancelledAndRefusedReads) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  const std::wstring path = mouse.InterfacePath(SimInterface::Notification);
  auto reader = platform.Open(path, HidAccess::Read, true);
  auto event = platform.NewEvent();
  uint8_t report[40] = {};
  ASSERT_TRUE(reader->StartRead(report, 40, *event));
  EXPECT_FALSE(reader->StartRead(report, 40, *event));  // one read at a time
  reader->CancelRead();
  EXPECT_TRUE(static_cast<CondEvent&>(*event).IsSet());
  EXPECT_EQ(reader->FinishRead(), 0u);
  EXPECT_FALSE(reader->StartRead(report, 7, *event));  // shorter than the report

  auto blocking = platform.Open(path, HidAccess::Read, false);
  EXPECT_FALSE(blocking->StartRead(report, 40, *event));
  ASSERT_EQ(mouse.Errors().size(), 1u);
  EXPECT_EQ(mouse.Errors()[0], "overlapped read on a handle opened without overlapped I/O");
}

TEST(SimUnplug, InterfacesVanishHandlesDieAndPendingReadsCompleteEmpty) {
  ManualClock clock;
  SimMouse mouse(clock);
  SimHidPlatform platform(mouse);
  std::vector<SimPlugEvent> events;
  mouse.SetPlugListener([&events](const SimPlugEvent& e) { events.push_back(e); });
  auto config = platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::ReadWrite, true);
  auto reader = platform.Open(mouse.InterfacePath(SimInterface::Notification), HidAccess::Read, true);
  auto other = platform.Open(mouse.InterfacePath(SimInterface::OtherVendor), HidAccess::Query, false);
  auto event = platform.NewEvent();
  uint8_t report[40] = {};
  ASSERT_TRUE(reader->StartRead(report, 8, *event));
  SimFirmwareState state = mouse.State();
  state.reportRate = 4;
  mouse.SetState(state);

  mouse.Unplug();
  EXPECT_FALSE(mouse.Plugged());
  EXPECT_TRUE(static_cast<CondEvent&>(*event).IsSet());
  EXPECT_EQ(reader->FinishRead(), 0u);
  EXPECT_EQ(Listed(platform), std::vector<std::wstring>{mouse.InterfacePath(SimInterface::OtherVendor)});
  EXPECT_FALSE(platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::Query, false));
  EXPECT_FALSE(mouse.EmitNotification(7, 1));
  HidAttributes attributes;
  EXPECT_FALSE(config->GetAttributes(attributes));
  EXPECT_TRUE(other->GetAttributes(attributes));  // another device is not affected
  ASSERT_EQ(events.size(), 3u);
  EXPECT_FALSE(events[0].arrival);
  EXPECT_EQ(events[0].interface, SimInterface::MouseKeyboard);
  EXPECT_EQ(events[2].interface, SimInterface::Configuration);
  EXPECT_EQ(events[2].arrivalName, mouse.ArrivalName(SimInterface::Configuration));

  mouse.Plug();
  ASSERT_EQ(events.size(), 6u);
  EXPECT_TRUE(events[3].arrival);
  EXPECT_EQ(events[4].path, mouse.InterfacePath(SimInterface::Notification));
  // Old handles stay dead; new ones work, and the settings survived.
  uint8_t feature[9] = {};
  EXPECT_FALSE(config->SetFeature(feature, 9));
  EXPECT_FALSE(reader->StartRead(report, 8, *event));
  EXPECT_EQ(Listed(platform).size(), 4u);
  auto fresh = platform.Open(mouse.InterfacePath(SimInterface::Configuration), HidAccess::ReadWrite, true);
  EXPECT_TRUE(fresh->GetAttributes(attributes));
  EXPECT_EQ(mouse.State().reportRate, 4);
  mouse.Plug();  // already plugged: nothing happens
  EXPECT_EQ(events.size(), 6u);
}

TEST(SimThreads, ReaderThreadBlocksUntilAReportOrAnUnplug) {
  std::unique_ptr<Clock> clock = MakeSystemClock();
  SimMouse mouse(*clock);
  SimHidPlatform platform(mouse);
  auto reader = platform.Open(mouse.InterfacePath(SimInterface::Notification), HidAccess::Read, true);
  auto event = platform.NewEvent();
  std::vector<std::vector<uint8_t>> seen;
  std::atomic<size_t> count{0};
  std::thread thread([&] {
    uint8_t report[40];
    for (;;) {
      event->Reset();
      if (!reader->StartRead(report, sizeof report, *event)) return;
      event->Wait();
      const size_t n = reader->FinishRead();
      if (n == 0) return;
      seen.emplace_back(report, report + n);
      ++count;
    }
  });
  for (uint8_t stage = 1; stage <= 3; ++stage) {
    mouse.EmitNotification(7, stage);
    std::this_thread::sleep_for(2ms);
  }
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (count < 3 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  mouse.Unplug();
  thread.join();
  ASSERT_EQ(seen.size(), 3u);
  for (uint8_t stage = 1; stage <= 3; ++stage) EXPECT_EQ(seen[stage - 1][3], stage);
}

TEST(SimThreads, EventsWakeWaitersAcrossThreads) {
  CondEvent event;
  EXPECT_FALSE(event.WaitFor(1ms));
  std::thread setter([&] {
    std::this_thread::sleep_for(10ms);
    event.Set();
  });
  event.Wait();
  setter.join();
  EXPECT_TRUE(event.IsSet());
  EXPECT_TRUE(event.WaitFor(0ms));
  event.Reset();
  EXPECT_FALSE(event.IsSet());
}

#ifndef _WIN32
TEST(SystemHidPlatform, WithoutABindingTheMachineHasNoInterfacesButWorkingEvents) {
  auto platform = MakeSystemHidPlatform();
  auto list = platform->Enumerate();
  ASSERT_TRUE(list);
  std::wstring path;
  EXPECT_EQ(list->Interface(0, path), HidEnumeration::Status::NoMoreItems);
  EXPECT_FALSE(platform->Open(L"/dev/hidraw0", HidAccess::Query, false));
  auto event = platform->NewEvent();
  ASSERT_TRUE(event);
  event->Set();
  event->Wait();
}
#endif

}  // namespace
}  // namespace kovral
