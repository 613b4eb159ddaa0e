// The device link against a mouse whose every answer comes from the fuzz
// input: the interface list (identities, capabilities and report lengths,
// failing opens), the feature answers (plain or scrambled, echoed or made
// up), the input reports of data phases with their status, the write status,
// and the notification reports. The link then runs what the program runs:
// connecting with its handshake, the sensor refresh, Apply, the read-back of
// the macro slots, the other queries, interface arrivals and removals, and
// the notification reader, with or without a trace; the mouse's values go on
// into the balloons, the macro-slot decoder and the basic page's scene.
//
// Input: consumed call by call as the link makes them (choices from the
// input's end, report bytes from its front). A mouse that has run out of
// input stops answering, as a silent one does.
#include <algorithm>
#include <cstring>
#include <sstream>
#include <vector>

#include "app/held_notices.h"
#include "device/clock.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/framing.h"
#include "device/hid_trace.h"
#include "device/protocol.h"
#include "device/scramble.h"
#include "fuzz_support.h"
#include "lang/main_texts.h"
#include "lang/notices.h"
#include "settings/notice_balloon.h"
#include "macro/macro_slot.h"
#include "pages/page_scene.h"
#include "settings/defaults.h"
#include "settings/ui_settings.h"

namespace kovral::fuzz {
namespace {

using namespace protocol;

struct Interface {
  std::wstring path;
  HidAttributes attributes;
  HidCaps caps;
  HidCapsStatus capsStatus = HidCapsStatus::Ok;
  bool detailFails = false;
  uint8_t failingOpens = 0;  // bit per HidAccess
};

// The mouse: whatever it says comes from the input.
struct Mouse {
  Mouse(FuzzedDataProvider& in, ManualClock& clock) : in(in), clock(clock) {}
  FuzzedDataProvider& in;
  ManualClock& clock;  // a time-out or a stall takes its time
  DeviceLink* link = nullptr;
  std::vector<Interface> interfaces;
  bool scrambledWire = false;  // it took the scrambled challenge: it speaks scrambled
  Payload lastRequest{};       // plain
  int notifications = 0;
  bool Silent() const { return in.remaining_bytes() == 0; }
};

class FuzzEvent final : public HidEvent {
 public:
  explicit FuzzEvent(Mouse& mouse) : mouse_(mouse) {}
  void Set() override { set_ = true; }
  void Reset() override { set_ = false; }
  // Nothing else runs in this process: a wait that would last for ever is the
  // interface thread telling the reader to stop.
  void Wait() override {
    if (!set_ && mouse_.link) mouse_.link->readerStop = true;
    set_ = true;
  }

 private:
  Mouse& mouse_;
  bool set_ = false;
};

class FuzzDevice final : public HidDevice {
 public:
  FuzzDevice(Mouse& mouse, const Interface& iface) : mouse_(mouse), iface_(iface) {}

  bool GetAttributes(HidAttributes& attributes) override {
    attributes = iface_.attributes;
    return true;
  }
  HidCapsStatus GetCaps(HidCaps& caps) override {
    caps = iface_.caps;
    return iface_.capsStatus;
  }

  bool SetFeature(const uint8_t* report, size_t length) override {
    if (mouse_.Silent() || length < 1 + kPayloadSize) return false;
    Payload wire;
    std::memcpy(wire.data(), report + 1, kPayloadSize);
    Payload unscrambled = wire;
    const ScrambleKey key = ProtocolScrambleKey();
    UnscramblePayload(unscrambled.data(), key.data());
    auto isChallenge = [](const Payload& p) {
      return p[0] == kCmdHandshake && std::equal(kHandshakeChallenge.begin(), kHandshakeChallenge.end(), p.begin() + 1);
    };
    if (isChallenge(unscrambled)) mouse_.scrambledWire = true;
    else if (isChallenge(wire)) mouse_.scrambledWire = false;
    mouse_.lastRequest = mouse_.scrambledWire ? unscrambled : wire;
    Stall();
    return mouse_.in.ConsumeIntegralInRange<int>(0, 15) != 0;
  }

  bool GetFeature(uint8_t* report, size_t length) override {
    if (mouse_.Silent()) return false;
    Stall();
    const int kind = mouse_.in.ConsumeIntegralInRange<int>(0, 7);
    if (kind == 0) {  // failed, with what a driver may leave behind
      std::memset(report, mouse_.in.ConsumeIntegral<uint8_t>(), length);
      return false;
    }
    if (kind == 1) {  // raw bytes, exactly as they come
      const std::vector<uint8_t> raw = mouse_.in.ConsumeBytes<uint8_t>(length);
      std::memset(report, 0, length);
      std::copy(raw.begin(), raw.end(), report);
      return true;
    }
    // A plain answer, spoken the way the mouse speaks: the echo of the
    // request, or made-up bytes; mostly with a good checksum.
    Payload answer = mouse_.lastRequest;
    if (kind >= 4) {
      const std::vector<uint8_t> made = mouse_.in.ConsumeBytes<uint8_t>(kPayloadSize);
      std::copy(made.begin(), made.end(), answer.begin());
      if (kind >= 5) answer[0] = mouse_.lastRequest[0];  // names the command it answers
    }
    if (kind != 7) answer[kChecksumByte] = PayloadChecksum(answer.data());
    if (mouse_.scrambledWire) {
      const ScrambleKey key = ProtocolScrambleKey();
      ScramblePayload(answer.data(), key.data());
    }
    std::memset(report, 0, length);
    std::memcpy(report + 1, answer.data(), std::min(length - 1, kPayloadSize));
    return true;
  }

  HidIoStatus Write(const uint8_t*, size_t, std::chrono::milliseconds) override { return Status(); }

  HidIoStatus Read(uint8_t* report, size_t length, std::chrono::milliseconds) override {
    // Garbage the link must not keep when the read does not succeed.
    std::memset(report, 0xEE, length);
    const HidIoStatus status = Status();
    if (status != HidIoStatus::Ok) return status;
    const std::vector<uint8_t> bytes = mouse_.in.ConsumeBytes<uint8_t>(length);
    std::memset(report, 0, length);
    std::copy(bytes.begin(), bytes.end(), report);
    return status;
  }

  void DiscardQueuedInput() override {}

  bool StartRead(uint8_t* report, size_t length, HidEvent& done) override {
    if (mouse_.Silent() || ++mouse_.notifications > 48 || mouse_.in.ConsumeIntegralInRange<int>(0, 15) == 0)
      return false;
    buffer_ = report;
    length_ = length;
    done_ = &done;
    done.Set();  // the report is there at once
    return true;
  }
  size_t FinishRead() override {
    if (!buffer_) return 0;  // cancelled: ended with nothing
    // A notification report: mostly the mouse's own kind with an event code.
    std::vector<uint8_t> bytes = mouse_.in.ConsumeBytes<uint8_t>(std::min<size_t>(length_, 4));
    bytes.resize(std::max<size_t>(bytes.size(), 4), 0);
    if (mouse_.in.ConsumeBool()) bytes[0] = kNotifyReportId;
    std::copy(bytes.begin(), bytes.begin() + std::min(bytes.size(), length_), buffer_);
    buffer_ = nullptr;
    return mouse_.in.ConsumeIntegralInRange<size_t>(0, length_);
  }
  // The read ends at once with nothing and says so.
  void CancelRead() override {
    if (buffer_ && done_) done_->Set();
    buffer_ = nullptr;
  }

 private:
  // Now and then a feature request that takes longer than a report may.
  void Stall() {
    if (mouse_.in.ConsumeIntegralInRange<int>(0, 31) == 0) mouse_.clock.Advance(kDataPhaseTimeout + Micros{1});
  }
  HidIoStatus Status() {
    if (mouse_.Silent()) return TimedOut();
    switch (mouse_.in.ConsumeIntegralInRange<int>(0, 15)) {
      case 0: return HidIoStatus::Failed;
      case 1: return TimedOut();
      case 2: mouse_.clock.Advance(kDataPhaseTimeout + Micros{1}); return HidIoStatus::Ok;  // late, but there
      default: return HidIoStatus::Ok;
    }
  }
  HidIoStatus TimedOut() {
    mouse_.clock.Advance(kDataPhaseTimeout);
    return HidIoStatus::TimedOut;
  }

  Mouse& mouse_;
  Interface iface_;
  uint8_t* buffer_ = nullptr;
  size_t length_ = 0;
  HidEvent* done_ = nullptr;
};

class FuzzEnumeration final : public HidEnumeration {
 public:
  explicit FuzzEnumeration(const std::vector<fuzz::Interface>& list) : list_(list) {}
  Status Interface(uint32_t index, std::wstring& devicePath) override {
    if (index >= list_.size()) return Status::NoMoreItems;
    if (list_[index].detailFails) return Status::DetailFailed;
    devicePath = list_[index].path;
    return Status::Ok;
  }

 private:
  std::vector<fuzz::Interface> list_;
};

class FuzzPlatform final : public HidPlatform {
 public:
  explicit FuzzPlatform(Mouse& mouse) : mouse_(mouse) {}
  std::unique_ptr<HidEnumeration> Enumerate() override {
    if (mouse_.in.ConsumeIntegralInRange<int>(0, 31) == 0) return nullptr;
    return std::make_unique<FuzzEnumeration>(mouse_.interfaces);
  }
  std::unique_ptr<HidDevice> Open(const std::wstring& path, HidAccess access, bool) override {
    for (const Interface& iface : mouse_.interfaces) {
      if (iface.path != path) continue;
      if (iface.failingOpens & (1u << static_cast<int>(access))) return nullptr;
      return std::make_unique<FuzzDevice>(mouse_, iface);
    }
    return nullptr;
  }
  std::unique_ptr<HidEvent> NewEvent() override { return std::make_unique<FuzzEvent>(mouse_); }

 private:
  Mouse& mouse_;
};

uint16_t Length(FuzzedDataProvider& in, uint16_t usual) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: return 0;
    case 1: return in.ConsumeIntegral<uint16_t>();
    case 2: return in.ConsumeIntegralInRange<uint16_t>(0, 48);
    default: return usual;
  }
}

std::vector<Interface> Interfaces(FuzzedDataProvider& in) {
  std::vector<Interface> list(in.ConsumeIntegralInRange<size_t>(0, 4));
  for (size_t i = 0; i < list.size(); ++i) {
    Interface& iface = list[i];
    iface.path = L"\\\\?\\hid#vid_04d9&pid_a09f&col0" + std::to_wstring(i);
    const bool mouse = in.ConsumeIntegralInRange<int>(0, 7) != 0;
    iface.attributes = {mouse ? kVendorId : in.ConsumeIntegral<uint16_t>(),
                        mouse ? kProductId : in.ConsumeIntegral<uint16_t>(), 0x0100};
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
      case 0: case 1:  // the configuration collection
        iface.caps = {kConfigUsage, kConfigUsagePage, Length(in, 33), Length(in, 33), Length(in, 9)};
        break;
      case 2: case 3:  // the notification collection
        iface.caps = {kNotifyUsage, kNotifyUsagePage, Length(in, 8), 0, 0};
        break;
      default:  // something else
        iface.caps = {in.ConsumeIntegral<uint16_t>(), in.ConsumeIntegral<uint16_t>(), Length(in, 8), Length(in, 8),
                      Length(in, 8)};
    }
    const int trouble = in.ConsumeIntegralInRange<int>(0, 31);
    if (trouble == 0) iface.detailFails = true;
    if (trouble == 1) iface.capsStatus = HidCapsStatus::PreparsedDataFailed;
    if (trouble == 2) iface.capsStatus = HidCapsStatus::CapsFailed;
    if (trouble == 3) iface.failingOpens = in.ConsumeIntegral<uint8_t>();
  }
  return list;
}

// What the main window makes of a notice: a balloon in every language.
void ShowNotice(HeldNotices& held, int code, int value, const DeviceConfig& config, uint8_t sensorType) {
  Check(code == kNotifyDeviceReady || code == kNotifyDeviceAbsent || code == kNotifyReportRate ||
            code == kNotifyDpiStage || code == kNotifyKeyMatrix || code == kNotifyMacroKey,
        "the link passes on only the notices the window handles");
  held.Hold({static_cast<uint32_t>(code), static_cast<uint32_t>(value)});
  for (UiLanguage language : {UiLanguage::English, UiLanguage::SimplifiedChinese, UiLanguage::TraditionalChinese})
    NoticeBalloon(language, static_cast<uint64_t>(code), value, config, sensorType);
}

}  // namespace
}  // namespace kovral::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovral;
  using namespace kovral::fuzz;
  FuzzedDataProvider in(data, size);
  ManualClock clock;
  Mouse mouse(in, clock);
  mouse.interfaces = Interfaces(in);
  FuzzPlatform platform(mouse);
  RecordingMessageSink messages;
  DeviceLink link(platform, messages, clock);
  mouse.link = &link;

  DeviceConfig config = FactoryConfig();
  DeviceImage image;
  HeldNotices held;
  link.notify = [&](int code, int value) { ShowNotice(held, code, value, config, image.activeSensorType); };
  std::ostringstream traceText;
  std::unique_ptr<HidTrace> trace;
  if (in.ConsumeBool()) {
    trace = std::make_unique<HidTrace>(traceText, clock);
    link.trace = trace.get();
  }

  CreateReadEvent(link);
  ConnectDevice(link);
  for (int step = 0; step < 12 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
      case 0: RefreshSensor(link, image); break;
      case 1: {
        bool saved = false;
        Apply(link, config, image, [&] { saved = true; });
        Check(saved, "Apply always ends with the save");
        break;
      }
      case 2: ReadMacroSlots(link, image); break;
      case 3: TransferStageBlocks(link, image, Transfer::Read); break;
      case 4: ReadLightParams(link, image); break;
      case 5: ReadLightEffect(link, image); break;
      case 6: {
        static constexpr uint32_t kEvents[] = {kDeviceArrival, kDeviceRemoveComplete, 0x0007};
        const uint32_t event = kEvents[in.ConsumeIntegralInRange<int>(0, 2)];
        const uint32_t type = in.ConsumeBool() ? kDeviceTypeInterface : 0;
        const std::wstring name = in.ConsumeBool() ? L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01" : L"\\\\?\\HID#VID_046D";
        HandleDeviceChange(link, image, event, type, name);
        break;
      }
      case 7:
        link.readerStop = false;
        mouse.notifications = 0;
        NotifyReaderLoop(link);
        break;
      case 8: ConnectDevice(link); break;
      case 9: {  // a command of the mouse's own choosing, as a query with a data phase
        Payload p{};
        p[0] = static_cast<uint8_t>(in.ConsumeIntegral<uint8_t>() | kQueryBit);
        p[1] = in.ConsumeIntegral<uint8_t>();
        DataArea area{};
        TransactData(link, p, area);
        break;
      }
    }
    Check(link.sequenceDepth == 0 && !link.sequenceStalled, "every exchange sequence is closed again");
  }

  // The mouse's values as the program shows them.
  for (const auto& slot : image.macroImage) DecodeMacroSlot(slot);
  UiSettings ui;
  BuildBasicScene(PageView{config, ui, MainTextsFor(UiLanguage::English), image.activeSensorType, {255, 255, 255}});
  held.Release();
  CloseDevice(link);
  return 0;
}
