#pragma once
// The link to the mouse: finding and opening its two collections, the
// handshake that decides scrambling and readiness, reacting to interface
// arrival and removal, and the loop that reads the mouse's notifications.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "base/message_sink.h"
#include "device/clock.h"
#include "device/hid.h"
#include "device/scramble.h"
#include "settings/device_config.h"

namespace kovral {

class HidTrace;

// The record the mouse got whole in this connection, and the sensor type its
// DPI codes were worked out for.
struct SentRecord {
  DeviceConfig config{};
  uint8_t sensorType = 0;
};

// One per process. The interface thread owns every field; the notification
// reader shares `ready`, the read event and, under `notifyMutex`, the
// notification read handle and its report length.
struct DeviceLink {
  DeviceLink(HidPlatform& platform, MessageSink& messages, Clock& clock);
  ~DeviceLink();
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  HidPlatform& platform;
  MessageSink& messages;  // the three discovery failures
  Clock& clock;           // protocol pauses; trace timestamps
  HidTrace* trace = nullptr;
  // Device events and the handshake outcome, (code, value); stands in for a
  // synchronous WM_DEVICE_NOTIFY. Called on the interface thread for 14 and
  // 15, on the reader's thread for 5, 7, 8 and 9.
  std::function<void(int code, int value)> notify;

  std::wstring devicePath;
  std::unique_ptr<HidDevice> featureHandle;      // configuration collection, overlapped
  std::unique_ptr<HidDevice> notifyReadHandle;   // notification collection; guarded by notifyMutex
  std::unique_ptr<HidDevice> notifyWriteHandle;  // opened and closed, never written
  uint16_t featureReportLength = 0;
  uint16_t inputReportLength = 0;
  uint16_t outputReportLength = 0;
  uint16_t notifyReportLength = 0;  // guarded by notifyMutex

  std::atomic<int> ready{0};
  int scrambled = 0;
  ScrambleKey scrambleKey{};
  // Completion event of the notification read and the reader's wake-up.
  std::unique_ptr<HidEvent> readEvent;

  // Reader coordination. Every wake-up by the interface thread first bumps
  // the generation and asks for the pending read to be cancelled, both under
  // the mutex; the mutex is never held while either thread waits for
  // anything. A handle the interface thread drops is closed, and so waits for
  // its cancelled read, only once the mutex is released.
  std::mutex notifyMutex;
  uint64_t notifyGeneration = 0;  // guarded by notifyMutex
  std::atomic<bool> readerStop{false};

  // State of the current exchange sequence (see ExchangeSequence): whether
  // one of its exchanges timed out or took longer than kDataPhaseTimeout.
  int sequenceDepth = 0;
  bool sequenceStalled = false;
  // Exchanges that failed, went unanswered, timed out, stalled or were
  // skipped because their sequence had been cut short; only ever grows.
  uint64_t exchangeFaults = 0;

  // What a switch may take the mouse to hold: set by an Apply during which no
  // exchange went wrong, cleared by anything that may have changed the mouse
  // otherwise (a handshake, a close, a fault). The reader sets
  // `mouseChangedSettings` when the mouse reports a change made on its own
  // buttons, which makes the remembered record stale too.
  std::optional<SentRecord> lastSent;
  std::atomic<bool> mouseChangedSettings{false};
};

// Creates the read event; on failure shows "CreateEvent failed." and returns false.
bool CreateReadEvent(DeviceLink& link);

// Closes the current handles (cancelling the reader's pending read first) and
// finds and opens the mouse's configuration collection and, when present, its
// notification collection. True when the configuration collection is open.
bool OpenDevice(DeviceLink& link);

// Decides scrambling and readiness; sends 14 (ready) or 15 (not detected).
void Handshake(DeviceLink& link);

// OpenDevice, then the handshake; when no configuration collection could be
// opened, sends 15 and clears `ready`. Returns OpenDevice's result. The
// program's start-up and every interface change run this.
bool ConnectDevice(DeviceLink& link);

// Cancels the reader's read and closes every device handle; `ready` becomes 0.
void CloseDevice(DeviceLink& link);

// What an interface arrival or removal asks for.
enum class DeviceChangeAction { Ignore, Reopen };
DeviceChangeAction ClassifyDeviceChange(uint32_t eventType, uint32_t deviceType, std::wstring_view interfaceName);

struct DeviceChangeResult {
  bool reopened = false;      // the event concerned the mouse and the link was re-opened
  bool hideWindow = false;    // no configuration collection: 15 was sent and `ready` cleared
  bool resumeReader = false;  // an arrival left the link ready and the sensor was refreshed
};
// The whole reaction to an interface change. The caller hides its window when
// asked, and resumes a reader thread that still waits to be started when
// asked (and when its own start-up state says so).
DeviceChangeResult HandleDeviceChange(DeviceLink& link, DeviceImage& image, uint32_t eventType,
                                      uint32_t deviceType, std::wstring_view interfaceName);

// Whether the mouse behind the link still answers: one sensor query. A
// handle whose device went away fails it; so does a mouse that started over
// in plain mode, which cannot read a scrambled query and prepares no answer.
bool LinkAnswers(DeviceLink& link);

// After the system slept. A ready link whose mouse still answers is left as
// it is, with no traffic but the check. Any other is re-opened as at an
// arrival: the mouse may have been re-enumerated while the program was
// frozen, leaving handles that no longer reach it, with the removal and the
// arrival told while the program could not hear them, or not at all.
DeviceChangeResult CheckLinkAfterWake(DeviceLink& link, DeviceImage& image);

// Whether the reader passes a notification report on: report ID 6 with one
// of the event codes 5, 7, 8, 9.
bool IsForwardedNotification(uint8_t reportId, uint8_t code);

// The notification reader. Runs until StopNotifyReader; needs the read event.
void NotifyReaderLoop(DeviceLink& link);
// Asks the reader to return and wakes it; the caller then joins its thread.
void StopNotifyReader(DeviceLink& link);

}  // namespace kovral
