// The hidraw backend over a fake sysfs and a fake kernel whose reports go to
// the simulated mouse: the link's traffic through it is the traffic straight
// to the simulator, the mouse's nodes are told apart by their descriptors,
// and waits and failures come back as the link expects them.
#ifdef KOVRAL_HIDRAW
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/hid_linux.h"
#include "device/hidraw_nodes.h"
#include "settings/device_config.h"
#include "sim/sim_mouse.h"

namespace kovral {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// 0xFF00/0xFF00 without report IDs: 32-byte input and output, 8-byte feature.
const Bytes kConfigDescriptor = {0x06, 0x00, 0xFF, 0x0A, 0x00, 0xFF, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
                                 0x00, 0x75, 0x08, 0x95, 0x20, 0x09, 0x01, 0x81, 0x02, 0x09, 0x02, 0x91,
                                 0x02, 0x95, 0x08, 0x09, 0x03, 0xB1, 0x02, 0xC0};
// 0xFF01/0xFF01: report 6, seven bytes of input.
const Bytes kNotifyDescriptor = {0x06, 0x01, 0xFF, 0x0A, 0x01, 0xFF, 0xA1, 0x01, 0x85, 0x06,
                                 0x75, 0x08, 0x95, 0x07, 0x09, 0x01, 0x81, 0x02, 0xC0};

// hidraw0 another maker's device, hidraw1 and hidraw2 the mouse's two
// vendor collections. Reports go to the simulator's handles; input reports of
// the configuration collection lose their ID byte on the way, as hidraw
// delivers them for a device without IDs.
class FakeKernel final : public HidrawSystem {
 public:
  explicit FakeKernel(SimMouse& mouse) : mouse_(mouse), sim_(mouse) {
    files_["/sys/class/hidraw/hidraw0/device/uevent"] = "DRIVER=hid-generic\nHID_ID=0003:0000046D:0000C077\n";
    files_["/sys/class/hidraw/hidraw0/device/report_descriptor"] = std::string(kNotifyDescriptor.begin(),
                                                                             kNotifyDescriptor.end());
    for (int n : {1, 2}) {
      const std::string dir = "/sys/class/hidraw/hidraw" + std::to_string(n) + "/device/";
      files_[dir + "uevent"] = "DRIVER=hid-generic\nHID_ID=0003:000004D9:0000A09F\nHID_NAME=mouse\n";
      const Bytes& d = n == 1 ? kNotifyDescriptor : kConfigDescriptor;
      files_[dir + "report_descriptor"] = std::string(d.begin(), d.end());
    }
  }

  bool failIoctl = false;

  int Open(const std::string& path, int flags) override {
    SimInterface kind;
    if (path == "/dev/hidraw1") kind = SimInterface::Notification;
    else if (path == "/dev/hidraw2") kind = SimInterface::Configuration;
    else return -ENOENT;
    const int mode = flags & O_ACCMODE;
    const HidAccess access = mode == O_RDONLY ? HidAccess::Read : mode == O_WRONLY ? HidAccess::Write : HidAccess::ReadWrite;
    auto device = sim_.Open(mouse_.InterfacePath(kind), access, true);
    if (!device) return -EACCES;
    std::lock_guard<std::mutex> lock(mutex_);
    const int fd = nextFd_++;
    fds_[fd] = {std::move(device), kind == SimInterface::Configuration, std::nullopt};
    return fd;
  }
  int Close(int fd) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return fds_.erase(fd) ? 0 : -EBADF;
  }
  int Ioctl(int fd, unsigned long request, void* argument) override {
    Node* node = Find(fd);
    if (!node) return -EBADF;
    if (failIoctl) return -EIO;
    const size_t size = _IOC_SIZE(request);
    auto* report = static_cast<uint8_t*>(argument);
    if (request == HIDIOCSFEATURE(size)) return node->device->SetFeature(report, size) ? int(size) : -EPIPE;
    if (request == HIDIOCGFEATURE(size)) return node->device->GetFeature(report, size) ? int(size) : -EPIPE;
    return -ENOTTY;
  }
  ssize_t Read(int fd, void* buffer, size_t length) override {
    Node* node = Find(fd);
    if (!node) return -EBADF;
    if (!node->stash) {
      node->device->DiscardQueuedInput();
      return -EAGAIN;
    }
    const size_t n = std::min(length, node->stash->size());
    std::memcpy(buffer, node->stash->data(), n);
    node->stash.reset();
    return static_cast<ssize_t>(n);
  }
  ssize_t Write(int fd, const void* buffer, size_t length) override {
    Node* node = Find(fd);
    if (!node) return -EBADF;
    switch (node->device->Write(static_cast<const uint8_t*>(buffer), length, 700ms)) {
      case HidIoStatus::Ok: return static_cast<ssize_t>(length);
      case HidIoStatus::TimedOut: return -ETIMEDOUT;
      case HidIoStatus::Failed: break;
    }
    return -EIO;
  }
  // Readiness for input is a read of the simulator's handle, kept until read().
  int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
    if (count != 1) return -EINVAL;
    Node* node = Find(fds[0].fd);
    if (!node) return -EBADF;
    fds[0].revents = 0;
    if (fds[0].events & POLLOUT) {
      fds[0].revents = POLLOUT;
      return 1;
    }
    if (!node->stash) {
      Bytes report(node->config ? 33 : 8);
      switch (node->device->Read(report.data(), report.size(), std::chrono::milliseconds(timeoutMs))) {
        case HidIoStatus::TimedOut: return 0;
        case HidIoStatus::Failed: fds[0].revents = POLLERR; return 1;
        case HidIoStatus::Ok: break;
      }
      if (node->config) report.erase(report.begin());
      node->stash = std::move(report);
    }
    fds[0].revents = POLLIN;
    return 1;
  }
  int ReadFile(const std::string& path, std::string& contents) override {
    auto it = files_.find(path);
    if (it == files_.end()) return -ENOENT;
    contents = it->second;
    return 0;
  }
  int ListDirectory(const std::string& path, std::vector<std::string>& names) override {
    if (path != "/sys/class/hidraw") return -ENOENT;
    names = {"hidraw2", "hidraw0", "hidraw1"};
    return 0;
  }

 private:
  struct Node {
    std::unique_ptr<HidDevice> device;
    bool config = false;
    std::optional<Bytes> stash;
  };
  Node* Find(int fd) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = fds_.find(fd);
    return it == fds_.end() ? nullptr : &it->second;
  }

  SimMouse& mouse_;
  SimHidPlatform sim_;
  std::map<std::string, std::string> files_;
  std::mutex mutex_;
  std::map<int, Node> fds_;
  int nextFd_ = 3;
};

struct HidrawHarness {
  explicit HidrawHarness(SimOptions options = {}) : mouse(clock, std::move(options)), kernel(mouse) {
    platform = MakeHidrawPlatform(kernel);
    link = std::make_unique<DeviceLink>(*platform, messages, clock);
  }
  ~HidrawHarness() { CloseDevice(*link); }
  ManualClock clock;
  SimMouse mouse;
  FakeKernel kernel;
  std::unique_ptr<HidPlatform> platform;
  RecordingMessageSink messages;
  std::unique_ptr<DeviceLink> link;
};

DeviceConfig Record() {
  DeviceConfig c{};
  c.reportRate = 2;
  c.dpiEnabled[0] = 1;
  c.dpiLevel[0] = 3;
  c.lightMode = 3;
  for (int slot = 0; slot < 12; ++slot)
    for (int i = 0; i < 128; ++i) c.macroSlots[slot][i] = static_cast<uint8_t>(slot * 5 + i);
  return c;
}

// The whole handshake and Apply through hidraw match, call for call, byte for
// byte and microsecond for microsecond, what the simulator sees from the link
// on its own platform, and leave the mouse in the same state.
TEST(HidrawTest, ApplyTrafficIsTheSameAsStraightToTheSimulator) {
  ManualClock clock;
  SimMouse direct(clock);
  SimHidPlatform directPlatform(direct);
  RecordingMessageSink messages;
  DeviceLink directLink(directPlatform, messages, clock);
  ASSERT_TRUE(ConnectDevice(directLink));
  DeviceImage directImage;
  Apply(directLink, Record(), directImage, [] {});
  CloseDevice(directLink);

  HidrawHarness h;
  ASSERT_TRUE(ConnectDevice(*h.link));
  ASSERT_EQ(h.link->ready, 1);
  DeviceImage image;
  Apply(*h.link, Record(), image, [] {});

  EXPECT_TRUE(h.mouse.Errors().empty()) << h.mouse.Errors().front();
  const std::vector<SimExchange> want = direct.Exchanges();
  const std::vector<SimExchange> got = h.mouse.Exchanges();
  ASSERT_EQ(got.size(), want.size());
  ASSERT_GT(want.size(), 150u);
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].call, want[i].call);
    EXPECT_EQ(got[i].outcome, want[i].outcome);
    EXPECT_EQ(got[i].report, want[i].report);
    EXPECT_EQ(got[i].time, want[i].time);
  }
  EXPECT_TRUE(h.mouse.State() == direct.State());
  EXPECT_EQ(0, std::memcmp(image.macroImage, directImage.macroImage, sizeof image.macroImage));
}

// Only the mouse's nodes are listed, in node order; the collections come from
// the descriptors, with the Windows parser's report lengths.
TEST(HidrawTest, EnumerationFindsTheMouseCollectionsAndSkipsOtherDevices) {
  HidrawHarness h;
  auto list = h.platform->Enumerate();
  ASSERT_TRUE(list);
  std::vector<std::wstring> paths;
  std::wstring path;
  for (uint32_t i = 0; list->Interface(i, path) == HidEnumeration::Status::Ok; ++i) paths.push_back(path);
  EXPECT_EQ(paths, (std::vector<std::wstring>{L"/dev/hidraw1", L"/dev/hidraw2"}));
  EXPECT_FALSE(h.platform->Open(L"/dev/hidraw0", HidAccess::Query, false));

  HidCaps caps;
  ASSERT_EQ(h.platform->Open(L"/dev/hidraw2", HidAccess::Query, false)->GetCaps(caps), HidCapsStatus::Ok);
  EXPECT_EQ(caps.usagePage, 0xFF00);
  EXPECT_EQ(caps.usage, 0xFF00);
  EXPECT_EQ(caps.featureReportByteLength, 9);
  EXPECT_EQ(caps.inputReportByteLength, 33);
  EXPECT_EQ(caps.outputReportByteLength, 33);
  ASSERT_EQ(h.platform->Open(L"/dev/hidraw1", HidAccess::Query, false)->GetCaps(caps), HidCapsStatus::Ok);
  EXPECT_EQ(caps.usagePage, 0xFF01);
  EXPECT_EQ(caps.usage, 0xFF01);
  EXPECT_EQ(caps.inputReportByteLength, 8);
  EXPECT_EQ(caps.featureReportByteLength, 0);

  ASSERT_TRUE(ConnectDevice(*h.link));
  EXPECT_EQ(h.link->devicePath, L"/dev/hidraw2");
  EXPECT_NE(h.link->notifyReadHandle, nullptr);
}

// Two top-level collections on one node: each gets a path of its own, and a
// truncated descriptor is refused.
TEST(HidrawTest, DescriptorWithBothCollectionsAndAMalformedOne) {
  Bytes both = {0x06, 0x00, 0xFF, 0x0A, 0x00, 0xFF, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x08,
                0x09, 0x01, 0xB1, 0x02, 0xC0};
  both.insert(both.end(), kNotifyDescriptor.begin(), kNotifyDescriptor.end());
  HidrawDescriptor d;
  ASSERT_TRUE(ParseHidrawDescriptor(both.data(), both.size(), d));
  EXPECT_TRUE(d.numbered);
  ASSERT_EQ(d.collections.size(), 2u);
  EXPECT_EQ(d.collections[0].featureLength, 9);
  EXPECT_EQ(d.collections[0].inputLength, 0);
  EXPECT_EQ(d.collections[1].usagePage, 0xFF01);
  EXPECT_EQ(d.collections[1].inputLength, 8);
  EXPECT_EQ(d.collections[1].inputReportIds, Bytes{6});
  EXPECT_FALSE(ParseHidrawDescriptor(kConfigDescriptor.data(), kConfigDescriptor.size() - 1, d));  // no end
  EXPECT_FALSE(ParseHidrawDescriptor(kConfigDescriptor.data(), 2, d));  // item cut short
}

// A mouse that does not answer: reads and writes of the data phase end at
// their time-out; a failing ioctl is a failed feature report, and the mouse
// is then not detected.
TEST(HidrawTest, TimeOutsAndFailedIoctlsAreReportedAsSuch) {
  HidrawHarness h;
  auto device = h.platform->Open(L"/dev/hidraw2", HidAccess::ReadWrite, true);
  ASSERT_TRUE(device);
  uint8_t report[33] = {};
  h.mouse.SetResponding(false);
  EXPECT_EQ(device->Read(report, sizeof report, 20ms), HidIoStatus::TimedOut);
  EXPECT_EQ(device->Write(report, sizeof report, 20ms), HidIoStatus::TimedOut);
  h.mouse.SetResponding(true);

  h.kernel.failIoctl = true;
  uint8_t feature[9] = {};
  EXPECT_FALSE(device->SetFeature(feature, sizeof feature));
  EXPECT_FALSE(device->GetFeature(feature, sizeof feature));
  device.reset();
  EXPECT_TRUE(ConnectDevice(*h.link));  // the collection opens, but nothing answers
  EXPECT_EQ(h.link->ready, 0);
}

// The notification read runs on the handle's own thread: a notice reaches the
// link, and stopping the reader ends its pending read.
TEST(HidrawTest, NotificationsReachTheReaderAndStopEndsThePendingRead) {
  SimOptions options;
  options.waits = SimWaits::RealTime;
  HidrawHarness h(options);
  std::mutex mutex;
  std::vector<std::pair<int, int>> notices;
  h.link->notify = [&](int code, int value) {
    std::lock_guard<std::mutex> lock(mutex);
    notices.emplace_back(code, value);
  };
  ASSERT_TRUE(ConnectDevice(*h.link));
  ASSERT_TRUE(CreateReadEvent(*h.link));
  std::thread reader([&] { NotifyReaderLoop(*h.link); });
  std::this_thread::sleep_for(30ms);
  ASSERT_TRUE(h.mouse.EmitNotification(7, 2));
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (notices.size() >= 2 || std::chrono::steady_clock::now() > deadline) break;
    }
    std::this_thread::sleep_for(5ms);
  }
  StopNotifyReader(*h.link);
  reader.join();
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(notices, (std::vector<std::pair<int, int>>{{14, 0}, {7, 2}}));
}

// udev's events as the link hears them: a node named as Windows names the
// interface, its removal (whose sysfs entry is gone) under the name it came
// with; changes, other subsystems and nodes of no HID device unheard; an add
// of a node still known (its remove lost) an arrival again.
TEST(HidrawNodes, UdevEventsBecomeTheArrivalsAndRemovalsWindowsWouldSend) {
  using Heard = std::vector<std::pair<bool, std::wstring>>;
  HidrawNodeNames known;
  auto told = [&known](const char* action, const char* node, const char* hidId = "", const char* phys = "",
                       const char* subsystem = "hidraw") {
    const HidrawEventMeaning meaning = HidrawEventChange(known, {action, subsystem, node, hidId, phys});
    Heard heard;
    for (const std::optional<HidrawChange>& change : {meaning.leftFirst, meaning.change})
      if (change) heard.emplace_back(change->arrived, change->interfaceName);
    return heard;
  };
  const char* mouse = "0003:000004d9:0000A09F";
  const std::wstring mouse4 = L"\\\\?\\HID#VID_04D9&PID_A09F&MI_00#hidraw4";
  const std::wstring mouse5 = L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01#hidraw5";
  const std::wstring keyboard = L"\\\\?\\HID#VID_046D&PID_C31C#hidraw0";
  EXPECT_EQ(told("add", "hidraw4", mouse, "usb-0000:00:14.0-2/input0"), (Heard{{true, mouse4}}));
  EXPECT_EQ(told("add", "hidraw5", mouse, "usb-0000:00:14.0-2/input1"), (Heard{{true, mouse5}}));
  EXPECT_EQ(told("add", "hidraw0", "0003:0000046D:0000C31C"), (Heard{{true, keyboard}}));
  EXPECT_EQ(told("change", "hidraw4", mouse), Heard{});
  EXPECT_EQ(told("add", "event7", mouse, "", "input"), Heard{});
  EXPECT_EQ(told("add", "hidraw9", "0003:04d9"), Heard{}) << "no usable HID_ID";
  EXPECT_EQ(told("remove", "hidraw7"), Heard{}) << "a node never seen";
  EXPECT_EQ(told("remove", "hidraw5"), (Heard{{false, mouse5}}));
  EXPECT_EQ(told("remove", "hidraw5"), Heard{}) << "a node told gone twice";
  EXPECT_EQ(told("add", "hidraw4", mouse, "usb-0000:00:14.0-2/input0"), (Heard{{true, mouse4}}));
  EXPECT_EQ(told("add", "hidraw0", mouse, "usb-0000:00:14.0-2/input1"),
            (Heard{{false, keyboard}, {true, L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01#hidraw0"}}));
}

}  // namespace
}  // namespace kovral
#endif
