#pragma once
// A simulated mouse behind the HID platform seam: a firmware model that keeps
// the mouse's settings, answers its commands, sends notification reports, can
// be unplugged, and checks what the host does (checksums, data-phase sizes,
// pauses). Unit tests, kvctl --simulate and the program's simulated-mouse mode
// all talk to it through SimHidPlatform. Thread-safe.
#include <array>
#include <condition_variable>
#include <deque>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/hid.h"
#include "device/scramble.h"

namespace kovral {

// How the firmware treats payloads and the handshake.
enum class SimHandshake {
  Scrambled,  // every payload is scrambled with the protocol constants; only the scrambled challenge is echoed
  PlainEcho,  // payloads are plain; the plain challenge is echoed
  Silent,     // nothing is ever answered
};

// The HID interfaces the simulated machine presents.
enum class SimInterface {
  OtherVendor,    // another maker's mouse
  MouseKeyboard,  // the mouse's keyboard collection, owned by the system
  Notification,   // 0xFF01/0xFF01: notification input reports
  Configuration,  // 0xFF00/0xFF00: feature reports and data chunks
};

// How a read or write with nothing to do spends its time-out.
enum class SimWaits {
  Auto,       // Immediate with a ManualClock, RealTime otherwise
  Immediate,  // returns TimedOut at once, advancing no clock
  RealTime,   // blocks up to the time-out (another thread may deliver meanwhile)
};

struct SimOptions {
  SimHandshake handshake = SimHandshake::Scrambled;
  uint8_t sensorType = 0;
  std::vector<SimInterface> order = {SimInterface::OtherVendor, SimInterface::MouseKeyboard,
                                     SimInterface::Notification, SimInterface::Configuration};
  uint16_t featureReportLength = 9;
  uint16_t inputReportLength = 33;
  uint16_t outputReportLength = 33;
  uint16_t notifyReportLength = 8;
  bool plugged = true;
  SimWaits waits = SimWaits::Auto;
  size_t recordLimit = 0;  // keep only the latest exchanges and errors (0: all), for long runs
};

// What the firmware holds.
struct SimFirmwareState {
  std::array<uint8_t, 4> sensorSettings{};  // Sensor Type, Rate, Option1, Option2
  uint8_t reportRate = 0;
  std::array<uint8_t, 3> lightEffect{};
  std::array<std::array<uint8_t, 3>, 2> lightParams{};
  std::array<std::array<uint8_t, 24>, 2> stageBlocks{};
  std::array<uint8_t, 8> dpiCodes{};
  std::array<std::array<uint8_t, 64>, 4> keyMatrices{};
  std::array<std::array<uint8_t, 128>, 12> macroSlots{};

  // The state of a mouse fresh from the factory: device-owned content in
  // stage block 0, lighting and sensor values of its own, no macros.
  static SimFirmwareState Factory(uint8_t sensorType);
  bool operator==(const SimFirmwareState&) const = default;
};

// Filler the firmware sends past the real data when told to announce an
// oversized data phase.
inline constexpr uint8_t kSimFillerByte = 0xEE;

enum class SimCall { SetFeature, GetFeature, Write, Read };
const char* SimCallName(SimCall call);  // "SET_FEATURE", "GET_FEATURE", "WRITE", "READ"

enum class SimOutcome { Ok, Failed, TimedOut, Dropped };

// One call on the configuration collection.
struct SimExchange {
  Micros time{0};
  SimCall call = SimCall::SetFeature;
  SimOutcome outcome = SimOutcome::Ok;
  std::vector<uint8_t> report;  // as sent, or as received
  bool hasPayload = false;
  Payload payload{};  // set-feature: as the firmware read it; get-feature: the answer before scrambling
  std::string note;   // why the firmware ignored or refused it, if it did
};

struct SimPlugEvent {
  bool arrival = false;
  SimInterface interface = SimInterface::Configuration;
  std::wstring path;         // as enumerated
  std::wstring arrivalName;  // as a device-change broadcast names it (upper-case identifiers)
};

class SimHidPlatform;
class SimHandle;

class SimMouse {
 public:
  SimMouse(Clock& clock, SimOptions options = {});
  ~SimMouse();
  SimMouse(const SimMouse&) = delete;
  SimMouse& operator=(const SimMouse&) = delete;

  const SimOptions& Options() const { return options_; }
  std::wstring InterfacePath(SimInterface interface) const;
  std::wstring ArrivalName(SimInterface interface) const;

  SimFirmwareState State() const;
  void SetState(const SimFirmwareState& state);

  // Queues the notification report {6, code, 0, value, 0...} for every open
  // reader of the notification collection. False while unplugged.
  bool EmitNotification(uint8_t code, uint8_t value);
  // Any report, cut or zero-padded to the notification report length.
  bool EmitRawNotification(const std::vector<uint8_t>& report);

  // Unplugging removes the mouse's interfaces from enumeration, makes every
  // open handle on them fail for good and completes pending reads with 0
  // bytes. Plugging brings the interfaces back (with a fresh firmware session:
  // settings kept, pending answers and data phases gone).
  void Unplug();
  void Plug();
  bool Plugged() const;
  // The mouse is enumerated anew unheard, as when it is reset while the
  // system sleeps: every open handle dies as at an unplug, while its
  // interfaces stay present and no plug event is told. False while unplugged.
  bool Reenumerate();
  // Called after Plug and Unplug, once per collection of the mouse in
  // enumeration order, outside the simulator's lock.
  void SetPlugListener(std::function<void(const SimPlugEvent&)> listener);

  // Every call on the configuration collection since the last ClearRecord,
  // and every fault of the host: bad checksums, unknown commands, data phases
  // of the wrong size, pauses too short. With a record limit, the latest.
  std::vector<SimExchange> Exchanges() const;
  std::vector<std::string> Errors() const;
  void ClearRecord();
  size_t OpenHandleCount() const;

  // Fault injection. Exchange positions count calls on the configuration
  // collection from the last ClearRecord, as Exchanges() lists them.
  void FailExchange(size_t position);  // the call fails and has no effect
  void FailNext(SimCall call);
  void DropExchange(size_t position);  // the call succeeds but the firmware never sees it
  void DropNext(SimCall call);
  void AnswerWithIndex(uint8_t index);  // the next 0x90/0x93 answer names this index or slot
  void AnswerWithCount(uint8_t count);  // the next 0x90/0x93 answer announces this many bytes and sends them
  void SetResponding(bool responding);  // false: get-feature answers zeros, reads and writes time out
  // A mouse that stalls instead of failing: the next `count` calls on the
  // configuration collection (or the one at `position`) each take `duration`
  // longer (a Pause on the simulator's clock, outside its lock) and then
  // proceed as usual. A data report stalled for at least its time-out waits
  // out the time-out and times out, as an overlapped one would.
  void StallNext(size_t count, Micros duration);
  void StallExchange(size_t position, Micros duration);
  void SetOpenFails(SimInterface interface, bool fails);
  void SetDetailFails(SimInterface interface, bool fails);  // enumeration cannot return its path
  void SetEnumerationFails(bool fails);                      // the interface list cannot be created
  void SetCapsFailure(SimInterface interface, HidCapsStatus status);
  void ClearFaults();

 private:
  friend class SimHidPlatform;
  friend class SimHandle;

  struct InterfaceInfo {
    SimInterface kind;
    std::wstring path;
    std::wstring arrivalName;
    HidAttributes attributes;
    HidCaps caps;
  };
  struct PendingRead {
    uint8_t* buffer = nullptr;
    size_t length = 0;
    HidEvent* done = nullptr;
  };
  struct Handle {
    SimInterface kind;
    HidAccess access;
    bool overlapped;
    uint64_t generation;
    std::deque<std::vector<uint8_t>> queue;  // input reports not yet read, oldest first
    std::optional<PendingRead> pending;
    size_t lastTransferred = 0;
  };
  enum class FaultAction { None, Fail, Drop };
  // What the host did last on the configuration collection, for the pause
  // checks. A command is done when its answer was fetched and its data
  // phase, if any, has been written or read.
  struct Pace {
    bool valid = false;
    Micros time{0};
    SimCall call = SimCall::SetFeature;
    uint8_t code = 0;
    bool handshakeSet = false;
    bool indexedFamily = false;
    bool awaitingGet = false;
    size_t outputsLeft = 0;
    size_t inputsLeft = 0;
    bool CommandDone() const { return !awaitingGet && outputsLeft == 0 && inputsLeft == 0; }
  };
  struct OutputPhase {
    uint8_t code = 0;
    uint8_t index = 0;
    size_t chunksExpected = 0;
    std::vector<uint8_t> data;
  };

  // Handle-side entry points, used by SimHandle and SimHidPlatform.
  std::vector<std::wstring> PresentPaths(bool& listFails, std::vector<bool>& detailFails) const;
  uint64_t OpenHandle(const std::wstring& path, HidAccess access, bool overlapped);
  void CloseHandle(uint64_t id);
  bool Attributes(uint64_t id, HidAttributes& attributes);
  HidCapsStatus Caps(uint64_t id, HidCaps& caps);
  bool SetFeature(uint64_t id, const uint8_t* report, size_t length);
  bool GetFeature(uint64_t id, uint8_t* report, size_t length);
  HidIoStatus Write(uint64_t id, const uint8_t* report, size_t length, std::chrono::milliseconds timeout);
  HidIoStatus Read(uint64_t id, uint8_t* report, size_t length, std::chrono::milliseconds timeout);
  void DiscardQueuedInput(uint64_t id);
  bool StartRead(uint64_t id, uint8_t* report, size_t length, HidEvent& done);
  size_t FinishRead(uint64_t id);
  void CancelRead(uint64_t id);

  // The rest runs with mutex_ held.
  const InterfaceInfo* Find(SimInterface kind) const;
  Handle* FindHandle(uint64_t id);
  uint16_t InputLength(SimInterface kind) const;
  bool Waits() const;
  FaultAction TakeFault(SimCall call);
  // Takes the lock itself, and spends the stall after releasing it.
  Micros Stall(uint64_t id, std::optional<Micros> limit);
  void Record(SimExchange exchange);
  void Error(std::string text);
  bool Alive(const Handle& handle) const;
  bool AdmitFeatureCall(const Handle& handle, SimExchange& ex, FaultAction fault, const uint8_t* report,
                        size_t length);
  bool Answering() const;
  Payload Decode(const Payload& raw) const;
  void CheckPause(SimCall call, Micros now);
  std::string Execute(const Payload& p);
  void PrepareData(const uint8_t* data, size_t size, uint8_t count);
  void CommitOutput();
  void Deliver(SimInterface kind, const std::vector<uint8_t>& report);
  void CompleteRead(Handle& handle, size_t bytes);
  void EndSession();
  std::vector<SimPlugEvent> PlugEvents(bool arrival) const;

  Clock& clock_;
  const SimOptions options_;
  std::vector<InterfaceInfo> interfaces_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  SimFirmwareState state_;
  bool plugged_ = true;
  uint64_t generation_ = 1;
  bool responding_ = true;
  std::function<void(const SimPlugEvent&)> listener_;

  std::map<uint64_t, Handle> handles_;
  uint64_t nextHandle_ = 1;

  const ScrambleKey key_;
  std::optional<Payload> answer_;  // prepared by a query, fetched by the next get-feature
  std::vector<std::vector<uint8_t>> answerChunks_;  // sent once the answer is fetched
  std::optional<OutputPhase> output_;
  Pace pace_;

  std::deque<SimExchange> exchanges_;
  size_t exchangeCount_ = 0;  // since the last ClearRecord, also those no longer kept
  std::deque<std::string> errors_;

  std::map<size_t, FaultAction> positionFaults_;
  std::map<SimCall, FaultAction> nextFaults_;
  std::map<size_t, Micros> positionStalls_;
  size_t stallsLeft_ = 0;
  Micros stallDuration_{0};
  std::optional<uint8_t> answerIndex_;
  std::optional<uint8_t> answerCount_;
  std::map<SimInterface, bool> openFails_;
  std::map<SimInterface, bool> detailFails_;
  bool enumerationFails_ = false;
  std::map<SimInterface, HidCapsStatus> capsFailures_;
};

// The HID platform of a machine with the simulated mouse plugged in. The
// mouse must outlive the platform and every handle opened through it.
class SimHidPlatform final : public HidPlatform {
 public:
  explicit SimHidPlatform(SimMouse& mouse) : mouse_(mouse) {}
  std::unique_ptr<HidEnumeration> Enumerate() override;
  std::unique_ptr<HidDevice> Open(const std::wstring& devicePath, HidAccess access, bool overlapped) override;
  std::unique_ptr<HidEvent> NewEvent() override;

 private:
  SimMouse& mouse_;
};

}  // namespace kovral
