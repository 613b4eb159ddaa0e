#include "device/device_link.h"

#include <algorithm>
#include <cstring>

#include "device/commands.h"
#include "device/framing.h"
#include "device/protocol.h"
#include "lang/messages.h"
#include "settings/device_config.h"

namespace kovral {
namespace {

using namespace protocol;

void Notify(DeviceLink& link, int code, int value) {
  if (link.notify) link.notify(code, value);
}

// Makes the reader decide again. Whatever read it has pending is cancelled
// first, under the mutex, so a reader that wakes to a changed generation knows
// its read will deliver nothing and the handle may already be gone. The
// cancel only asks; a dropped handle is closed, which waits (boundedly) for
// the cancelled read to end, after the mutex is released, so a driver slow to
// cancel cannot hold up the reader or the next open on the mutex.
void WakeNotifyReader(DeviceLink& link, bool dropHandle) {
  std::unique_ptr<HidDevice> dropped;
  {
    std::lock_guard<std::mutex> lock(link.notifyMutex);
    ++link.notifyGeneration;
    if (link.notifyReadHandle) {
      link.notifyReadHandle->CancelRead();
      if (dropHandle) {
        dropped = std::move(link.notifyReadHandle);
        link.notifyReportLength = 0;
      }
    }
  }
  dropped.reset();
  if (link.readEvent) link.readEvent->Set();
}

bool IsMouse(const HidAttributes& attributes) {
  return attributes.vendorId == kVendorId && attributes.productId == kProductId;
}

bool IsConfigCollection(const HidCaps& caps) {
  return caps.usage == kConfigUsage && caps.usagePage == kConfigUsagePage && caps.featureReportByteLength != 0;
}

bool IsNotifyCollection(const HidCaps& caps) {
  return caps.usage == kNotifyUsage && caps.usagePage == kNotifyUsagePage && caps.inputReportByteLength != 0;
}

// A collection whose reports do not fit the link's buffers cannot be used:
// reading or writing it would overrun them.
bool ConfigLengthsFit(const HidCaps& caps) {
  return caps.featureReportByteLength <= kFeatureBufferSize && caps.inputReportByteLength <= kDataBufferSize &&
         caps.outputReportByteLength <= kDataBufferSize;
}

bool NotifyLengthFits(const HidCaps& caps) { return caps.inputReportByteLength <= kNotifyBufferSize; }

bool ContainsIgnoringAsciiCase(std::wstring_view text, std::wstring_view needle) {
  auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                        [&](wchar_t a, wchar_t b) { return lower(a) == lower(b); });
  return it != text.end();
}

}  // namespace

DeviceLink::DeviceLink(HidPlatform& platform, MessageSink& messages, Clock& clock)
    : platform(platform), messages(messages), clock(clock) {}

DeviceLink::~DeviceLink() { CloseDevice(*this); }

bool CreateReadEvent(DeviceLink& link) {
  link.readEvent = link.platform.NewEvent();
  if (link.readEvent) return true;
  link.messages.Show(kMsgCreateEventFailed, L"");
  return false;
}

void CloseDevice(DeviceLink& link) {
  link.ready = 0;
  link.lastSent.reset();
  WakeNotifyReader(link, /*dropHandle=*/true);
  link.notifyWriteHandle.reset();
  link.featureHandle.reset();
  link.featureReportLength = 0;
  link.inputReportLength = 0;
  link.outputReportLength = 0;
}

// Every present HID interface is examined in the system's order. An interface
// that cannot be opened is skipped, not taken as the end of the search, and
// the search goes on until both collections of the mouse are open, whichever
// comes first: on machines that list the configuration collection first the
// notification collection would otherwise never be opened. A failure of the
// system calls ends the search; once the configuration collection is open it
// ends it quietly and keeps the link, as the search would have stopped there.
bool OpenDevice(DeviceLink& link) {
  // An earlier link's handles are closed first; the reader's pending read is
  // cancelled and completed before its handle goes.
  CloseDevice(link);

  std::unique_ptr<HidEnumeration> interfaces = link.platform.Enumerate();
  if (!interfaces) return false;

  bool configOpen = false;
  bool notifyOpen = false;
  std::wstring configPath;
  for (uint32_t index = 0; !(configOpen && notifyOpen); ++index) {
    std::wstring path;
    const HidEnumeration::Status status = interfaces->Interface(index, path);
    if (status == HidEnumeration::Status::NoMoreItems) break;
    if (status == HidEnumeration::Status::DetailFailed) {
      if (configOpen) break;
      link.messages.Show(L"SetupDiGetDeviceInterfaceDetail failed.\n", L"");
      CloseDevice(link);
      return false;
    }
    link.devicePath = path;

    HidCaps caps;
    {
      // Access 0: enough for attributes and capabilities, granted even when
      // another program holds the device open for reading or writing.
      std::unique_ptr<HidDevice> query = link.platform.Open(path, HidAccess::Query, false);
      if (!query) continue;
      HidAttributes attributes;
      if (!query->GetAttributes(attributes) || !IsMouse(attributes)) continue;
      const HidCapsStatus capsStatus = query->GetCaps(caps);
      if (capsStatus != HidCapsStatus::Ok) {
        if (configOpen) break;
        link.messages.Show(capsStatus == HidCapsStatus::PreparsedDataFailed ? L"HidD_GetPreparsedData failed.\n"
                                                                          : L"HidP_GetCaps failed.",
                           L"");
        CloseDevice(link);
        return false;
      }
    }

    if (!notifyOpen && IsNotifyCollection(caps) && NotifyLengthFits(caps)) {
      std::unique_ptr<HidDevice> reader = link.platform.Open(path, HidAccess::Read, true);
      if (!reader) continue;
      // The write handle is never written; a failure to open it costs nothing.
      link.notifyWriteHandle = link.platform.Open(path, HidAccess::Write, true);
      std::lock_guard<std::mutex> lock(link.notifyMutex);
      link.notifyReadHandle = std::move(reader);
      link.notifyReportLength = caps.inputReportByteLength;
      notifyOpen = true;
    } else if (!configOpen && IsConfigCollection(caps) && ConfigLengthsFit(caps)) {
      // Overlapped, so that every data-phase report has a bounded wait.
      link.featureHandle = link.platform.Open(path, HidAccess::ReadWrite, true);
      if (!link.featureHandle) continue;
      link.featureReportLength = caps.featureReportByteLength;
      link.inputReportLength = caps.inputReportByteLength;
      link.outputReportLength = caps.outputReportByteLength;
      configPath = path;
      configOpen = true;
    }
  }
  if (!configOpen) {
    // Notifications alone are no link; a failed open leaves nothing open.
    CloseDevice(link);
    return false;
  }
  link.devicePath = configPath;
  return true;
}

void Handshake(DeviceLink& link) {
  auto challenge = [] {
    Payload p{};
    p[0] = kCmdHandshake;
    std::copy(kHandshakeChallenge.begin(), kHandshakeChallenge.end(), p.begin() + 1);
    return p;
  };
  auto echoed = [](const Payload& answer) {
    return std::equal(kHandshakeChallenge.begin(), kHandshakeChallenge.end(), answer.begin() + 1);
  };

  // One sequence: a mouse that stalls on the first attempt is not detected,
  // rather than waited for through the second one too. The next connection
  // tries again.
  ExchangeSequence sequence(link);
  // Whatever the mouse held before, it may have been replugged or reset.
  link.lastSent.reset();
  // The first attempt always goes out plain, even when an earlier link left
  // `scrambled` set: a replugged mouse starts in plain mode.
  Payload answer = challenge();
  ExchangeFeature(link, answer, /*scramble=*/false, /*fetchAnswer=*/true, kHandshakePause);
  bool answeredScrambled = false;
  if (!echoed(answer)) {
    link.scrambleKey = ProtocolScrambleKey();
    answer = challenge();
    ExchangeFeature(link, answer, /*scramble=*/true, /*fetchAnswer=*/true, kHandshakePause);
    answeredScrambled = echoed(answer);
  }
  // A plain echo is a mouse that is not in the program's protocol: not detected.
  if (answeredScrambled) {
    link.scrambled = 1;
    Notify(link, kNotifyDeviceReady, 0);
    link.ready = 1;
  } else {
    link.scrambled = 0;
    Notify(link, kNotifyDeviceAbsent, 0);
    link.ready = 0;
  }
  // Only now, with `ready` decided, may the reader start on the new handles.
  WakeNotifyReader(link, /*dropHandle=*/false);
}

bool ConnectDevice(DeviceLink& link) {
  if (OpenDevice(link)) {
    Handshake(link);
    return true;
  }
  Notify(link, kNotifyDeviceAbsent, 0);
  link.ready = 0;
  return false;
}

DeviceChangeAction ClassifyDeviceChange(uint32_t eventType, uint32_t deviceType, std::wstring_view interfaceName) {
  if (eventType != kDeviceArrival && eventType != kDeviceRemoveComplete) return DeviceChangeAction::Ignore;
  if (deviceType != kDeviceTypeInterface) return DeviceChangeAction::Ignore;
  // Interface names spell the identifiers in whatever case the system chose.
  if (!ContainsIgnoringAsciiCase(interfaceName, L"vid_04d9&pid_a09f")) return DeviceChangeAction::Ignore;
  return DeviceChangeAction::Reopen;
}

namespace {

// Re-opens the link; after an arrival that left it ready, the sensor is read
// anew and the reader may start.
DeviceChangeResult Reconnect(DeviceLink& link, DeviceImage& image, bool arrival) {
  DeviceChangeResult result;
  result.reopened = true;
  if (!ConnectDevice(link)) {
    result.hideWindow = true;
    return result;
  }
  if (arrival && link.ready != 0) {
    RefreshSensor(link, image);
    result.resumeReader = true;
  }
  return result;
}

}  // namespace

// Each collection of the mouse brings its own arrival, and every one re-opens
// the link: an arrival may be the collection the last open could not find.
DeviceChangeResult HandleDeviceChange(DeviceLink& link, DeviceImage& image, uint32_t eventType,
                                      uint32_t deviceType, std::wstring_view interfaceName) {
  if (ClassifyDeviceChange(eventType, deviceType, interfaceName) == DeviceChangeAction::Ignore) return {};
  return Reconnect(link, image, eventType == kDeviceArrival);
}

bool LinkAnswers(DeviceLink& link) {
  if (link.ready == 0 || !link.featureHandle) return false;
  ExchangeSequence sequence(link);
  Payload query{};
  query[0] = kQuerySensor;
  const ExchangeResult result = Transact(link, query);
  return result.sent && result.answered;
}

DeviceChangeResult CheckLinkAfterWake(DeviceLink& link, DeviceImage& image) {
  if (LinkAnswers(link)) return {};
  return Reconnect(link, image, /*arrival=*/true);
}

// The interface thread never waits for this loop: it asks for the pending
// read to be cancelled and signals the event. Each pass decides afresh from
// `ready` and the generation, and finishes a read only when no wake-up came
// since it started, i.e. when the read itself completed; finishing a completed
// read does not wait. A cancelled read still ending makes the next StartRead
// fail, and its end sets the event, which brings the next pass.
void NotifyReaderLoop(DeviceLink& link) {
  HidEvent& event = *link.readEvent;
  uint8_t report[kNotifyBufferSize];
  for (;;) {
    event.Reset();
    if (link.readerStop) return;
    uint64_t generation;
    bool started = false;
    {
      std::lock_guard<std::mutex> lock(link.notifyMutex);
      generation = link.notifyGeneration;
      if (link.ready == 1 && link.notifyReadHandle) {
        std::memset(report, 0, sizeof report);
        const size_t length = std::min<size_t>(link.notifyReportLength, kNotifyBufferSize);
        started = link.notifyReadHandle->StartRead(report, length, event);
      }
    }
    event.Wait();
    if (!started) continue;

    size_t transferred = 0;
    {
      std::lock_guard<std::mutex> lock(link.notifyMutex);
      if (link.notifyGeneration != generation) continue;  // already cancelled by the waker
      if (link.ready != 1 || link.readerStop || !link.notifyReadHandle) {
        if (link.notifyReadHandle) link.notifyReadHandle->CancelRead();
        continue;
      }
      transferred = link.notifyReadHandle->FinishRead();
    }
    if (transferred == 0) continue;  // a failed or empty read starts the next one
    if (IsForwardedNotification(report[0], report[kNotifyCodeByte])) {
      link.mouseChangedSettings = true;
      Notify(link, report[kNotifyCodeByte], report[kNotifyValueByte]);
    }
  }
}

bool IsForwardedNotification(uint8_t reportId, uint8_t code) {
  return reportId == kNotifyReportId && (code == kNotifyReportRate || code == kNotifyDpiStage ||
                                         code == kNotifyKeyMatrix || code == kNotifyMacroKey);
}

void StopNotifyReader(DeviceLink& link) {
  link.readerStop = true;
  WakeNotifyReader(link, /*dropHandle=*/false);
}

}  // namespace kovral
