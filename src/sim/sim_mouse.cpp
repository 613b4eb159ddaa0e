#include "sim/sim_mouse.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "device/cond_event.h"
#include "device/protocol_constants.h"

namespace kovral {

namespace p = protocol;

namespace {

// A system keeps each input report for every reader in a ring of this many
// reports and drops the oldest when it is full.
constexpr size_t kInputRingSize = 32;

std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

bool CanRead(HidAccess access) { return access == HidAccess::Read || access == HidAccess::ReadWrite; }
bool CanWrite(HidAccess access) { return access == HidAccess::Write || access == HidAccess::ReadWrite; }

bool SamePath(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool IsChallenge(const Payload& q) {
  return q[0] == p::kCmdHandshake && std::equal(p::kHandshakeChallenge.begin(), p::kHandshakeChallenge.end(), &q[1]) &&
         q[5] == 0 && q[6] == 0 && q[7] == PayloadChecksum(q.data());
}

bool ChecksumHolds(const Payload& q) { return q[p::kChecksumByte] == PayloadChecksum(q.data()); }

// Commands with an output data phase, and the byte count each must announce.
size_t OutputCount(uint8_t code) {
  switch (code) {
    case p::kCmdStageBlock: return p::kStageBlockSize;
    case p::kCmdDpiCodes: return p::kDpiCodesSize;
    case p::kCmdKeyMatrix: return p::kKeyMatrixSize;
    case p::kCmdMacro: return p::kMacroSlotBytes;
    default: return 0;
  }
}

std::string DescribePause(SimCall call, uint8_t code) {
  return Format("%s of command 0x%02x", SimCallName(call), code);
}

const wchar_t kHidClassSuffix[] = L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";

}  // namespace

const char* SimCallName(SimCall call) {
  switch (call) {
    case SimCall::SetFeature: return "SET_FEATURE";
    case SimCall::GetFeature: return "GET_FEATURE";
    case SimCall::Write: return "WRITE";
    case SimCall::Read: return "READ";
  }
  return "?";
}

SimFirmwareState SimFirmwareState::Factory(uint8_t sensorType) {
  SimFirmwareState s;
  s.sensorSettings = {sensorType, 0x01, 0x20, 0x05};
  s.reportRate = 1;
  s.lightEffect = {1, 4, 2};
  s.lightParams = {{{1, 0, 0}, {2, 100, 10}}};
  // Block 0 belongs to the firmware (sensor tuning); the program carries it
  // back unchanged. Block 1 holds the stage colours.
  s.stageBlocks[0] = {0x01, 0x90, 0x01, 0x90, 0x03, 0x20, 0x03, 0x20, 0x06, 0x40, 0x06, 0x40,
                      0x0C, 0x80, 0x0C, 0x80, 0x5A, 0xA5, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  s.stageBlocks[1] = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
  s.dpiCodes = {0x01, 0x02, 0x03, 0x04, 0x80, 0x80, 0x80, 0x80};
  return s;
}

// ---------------------------------------------------------------------------
// Handles, enumeration, events

class SimHandle final : public HidDevice {
 public:
  SimHandle(SimMouse& mouse, uint64_t id) : mouse_(mouse), id_(id) {}
  ~SimHandle() override { mouse_.CloseHandle(id_); }
  SimHandle(const SimHandle&) = delete;
  SimHandle& operator=(const SimHandle&) = delete;

  bool GetAttributes(HidAttributes& attributes) override { return mouse_.Attributes(id_, attributes); }
  HidCapsStatus GetCaps(HidCaps& caps) override { return mouse_.Caps(id_, caps); }
  bool SetFeature(const uint8_t* report, size_t length) override { return mouse_.SetFeature(id_, report, length); }
  bool GetFeature(uint8_t* report, size_t length) override { return mouse_.GetFeature(id_, report, length); }
  HidIoStatus Write(const uint8_t* report, size_t length, std::chrono::milliseconds timeout) override {
    return mouse_.Write(id_, report, length, timeout);
  }
  HidIoStatus Read(uint8_t* report, size_t length, std::chrono::milliseconds timeout) override {
    return mouse_.Read(id_, report, length, timeout);
  }
  void DiscardQueuedInput() override { mouse_.DiscardQueuedInput(id_); }
  bool StartRead(uint8_t* report, size_t length, HidEvent& done) override {
    return mouse_.StartRead(id_, report, length, done);
  }
  size_t FinishRead() override { return mouse_.FinishRead(id_); }
  void CancelRead() override { mouse_.CancelRead(id_); }

 private:
  SimMouse& mouse_;
  const uint64_t id_;
};

namespace {

class SimEnumeration final : public HidEnumeration {
 public:
  SimEnumeration(std::vector<std::wstring> paths, std::vector<bool> detailFails)
      : paths_(std::move(paths)), detailFails_(std::move(detailFails)) {}
  Status Interface(uint32_t index, std::wstring& devicePath) override {
    if (index >= paths_.size()) return Status::NoMoreItems;
    if (detailFails_[index]) return Status::DetailFailed;
    devicePath = paths_[index];
    return Status::Ok;
  }

 private:
  std::vector<std::wstring> paths_;
  std::vector<bool> detailFails_;
};

}  // namespace

std::unique_ptr<HidEnumeration> SimHidPlatform::Enumerate() {
  bool listFails = false;
  std::vector<bool> detailFails;
  std::vector<std::wstring> paths = mouse_.PresentPaths(listFails, detailFails);
  if (listFails) return nullptr;
  return std::make_unique<SimEnumeration>(std::move(paths), std::move(detailFails));
}

std::unique_ptr<HidDevice> SimHidPlatform::Open(const std::wstring& devicePath, HidAccess access, bool overlapped) {
  const uint64_t id = mouse_.OpenHandle(devicePath, access, overlapped);
  if (id == 0) return nullptr;
  return std::make_unique<SimHandle>(mouse_, id);
}

std::unique_ptr<HidEvent> SimHidPlatform::NewEvent() { return std::make_unique<CondEvent>(); }

// ---------------------------------------------------------------------------
// The machine's interfaces

SimMouse::SimMouse(Clock& clock, SimOptions options)
    : clock_(clock),
      options_(std::move(options)),
      state_(SimFirmwareState::Factory(options_.sensorType)),
      plugged_(options_.plugged),
      key_(ProtocolScrambleKey()) {
  // Paths as SetupAPI lists them; a device-change broadcast names the same
  // interfaces with upper-case identifiers.
  auto add = [this](SimInterface kind, const wchar_t* ids, const wchar_t* upperIds, const wchar_t* instance,
                    HidAttributes attributes, HidCaps caps) {
    for (const InterfaceInfo& known : interfaces_) {
      if (known.kind == kind) return;
    }
    InterfaceInfo info{kind,
                       std::wstring(L"\\\\?\\hid#") + ids + L"#" + instance + kHidClassSuffix,
                       std::wstring(L"\\\\?\\HID#") + upperIds + L"#" + instance + kHidClassSuffix,
                       attributes,
                       caps};
    interfaces_.push_back(std::move(info));
  };
  for (SimInterface kind : options_.order) {
    switch (kind) {
      case SimInterface::OtherVendor:
        add(kind, L"vid_046d&pid_c077", L"VID_046D&PID_C077", L"7&1e4a2b9c&0&0000", {0x046D, 0xC077, 0x7200},
            {0x0002, 0x0001, 5, 0, 0});
        break;
      case SimInterface::MouseKeyboard:
        add(kind, L"vid_04d9&pid_a09f&mi_00", L"VID_04D9&PID_A09F&MI_00", L"8&2f1c6a3d&0&0000",
            {p::kVendorId, p::kProductId, 0x0100}, {0x0006, 0x0001, 9, 2, 0});
        break;
      case SimInterface::Configuration:
        add(kind, L"vid_04d9&pid_a09f&mi_01&col01", L"VID_04D9&PID_A09F&MI_01&Col01", L"8&35a2b7e1&0&0000",
            {p::kVendorId, p::kProductId, 0x0100},
            {p::kConfigUsage, p::kConfigUsagePage, options_.inputReportLength, options_.outputReportLength,
             options_.featureReportLength});
        break;
      case SimInterface::Notification:
        add(kind, L"vid_04d9&pid_a09f&mi_01&col02", L"VID_04D9&PID_A09F&MI_01&Col02", L"8&35a2b7e1&0&0001",
            {p::kVendorId, p::kProductId, 0x0100},
            {p::kNotifyUsage, p::kNotifyUsagePage, options_.notifyReportLength, 0, 0});
        break;
    }
  }
}

SimMouse::~SimMouse() = default;

const SimMouse::InterfaceInfo* SimMouse::Find(SimInterface kind) const {
  for (const InterfaceInfo& info : interfaces_) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

std::wstring SimMouse::InterfacePath(SimInterface interface) const {
  const InterfaceInfo* info = Find(interface);
  return info ? info->path : std::wstring();
}

std::wstring SimMouse::ArrivalName(SimInterface interface) const {
  const InterfaceInfo* info = Find(interface);
  return info ? info->arrivalName : std::wstring();
}

std::vector<std::wstring> SimMouse::PresentPaths(bool& listFails, std::vector<bool>& detailFails) const {
  std::lock_guard<std::mutex> lock(mutex_);
  listFails = enumerationFails_;
  std::vector<std::wstring> paths;
  detailFails.clear();
  for (const InterfaceInfo& info : interfaces_) {
    if (info.kind != SimInterface::OtherVendor && !plugged_) continue;
    paths.push_back(info.path);
    auto fails = detailFails_.find(info.kind);
    detailFails.push_back(fails != detailFails_.end() && fails->second);
  }
  return paths;
}

// The system owns mice and keyboards: their collections open for attribute
// queries only.
uint64_t SimMouse::OpenHandle(const std::wstring& path, HidAccess access, bool overlapped) {
  std::lock_guard<std::mutex> lock(mutex_);
  const InterfaceInfo* found = nullptr;
  for (const InterfaceInfo& info : interfaces_) {
    if (SamePath(info.path, path)) found = &info;
  }
  if (!found) return 0;
  if (found->kind != SimInterface::OtherVendor && !plugged_) return 0;
  auto fails = openFails_.find(found->kind);
  if (fails != openFails_.end() && fails->second) return 0;
  const bool systemOwned = found->kind == SimInterface::OtherVendor || found->kind == SimInterface::MouseKeyboard;
  if (systemOwned && access != HidAccess::Query) return 0;
  const uint64_t id = nextHandle_++;
  handles_.emplace(id, Handle{found->kind, access, overlapped, generation_, {}, std::nullopt, 0});
  return id;
}

// Closing a handle cancels its pending read, as closing a file does.
void SimMouse::CloseHandle(uint64_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle) return;
  if (handle->pending) CompleteRead(*handle, 0);
  handles_.erase(id);
  changed_.notify_all();
}

size_t SimMouse::OpenHandleCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handles_.size();
}

SimMouse::Handle* SimMouse::FindHandle(uint64_t id) {
  auto it = handles_.find(id);
  return it == handles_.end() ? nullptr : &it->second;
}

// A handle on the mouse dies with the device it was opened on: after an
// unplug it fails every call, also once the mouse is back.
bool SimMouse::Alive(const Handle& handle) const {
  if (handle.kind == SimInterface::OtherVendor) return true;
  return plugged_ && handle.generation == generation_;
}

uint16_t SimMouse::InputLength(SimInterface kind) const {
  const InterfaceInfo* info = Find(kind);
  return info ? info->caps.inputReportByteLength : 0;
}

bool SimMouse::Attributes(uint64_t id, HidAttributes& attributes) {
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle || !Alive(*handle)) return false;
  attributes = Find(handle->kind)->attributes;
  return true;
}

HidCapsStatus SimMouse::Caps(uint64_t id, HidCaps& caps) {
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle || !Alive(*handle)) return HidCapsStatus::PreparsedDataFailed;
  auto failure = capsFailures_.find(handle->kind);
  if (failure != capsFailures_.end() && failure->second != HidCapsStatus::Ok) return failure->second;
  caps = Find(handle->kind)->caps;
  return HidCapsStatus::Ok;
}

// ---------------------------------------------------------------------------
// Plugging and notifications

bool SimMouse::Plugged() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return plugged_;
}

void SimMouse::SetPlugListener(std::function<void(const SimPlugEvent&)> listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
}

std::vector<SimPlugEvent> SimMouse::PlugEvents(bool arrival) const {
  std::vector<SimPlugEvent> events;
  for (const InterfaceInfo& info : interfaces_) {
    if (info.kind == SimInterface::OtherVendor) continue;
    events.push_back({arrival, info.kind, info.path, info.arrivalName});
  }
  return events;
}

void SimMouse::Unplug() {
  std::function<void(const SimPlugEvent&)> listener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_) return;
    plugged_ = false;
    EndSession();
    listener = listener_;
  }
  if (listener) {
    for (const SimPlugEvent& event : PlugEvents(false)) listener(event);
  }
}

void SimMouse::Plug() {
  std::function<void(const SimPlugEvent&)> listener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (plugged_) return;
    plugged_ = true;
    listener = listener_;
  }
  if (listener) {
    for (const SimPlugEvent& event : PlugEvents(true)) listener(event);
  }
}

bool SimMouse::Reenumerate() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!plugged_) return false;
  EndSession();
  return true;
}

// The device instance is gone: its handles die, reads pending on them
// complete empty, and the firmware forgets unfinished exchanges. Settings
// live in the mouse's own memory and stay.
void SimMouse::EndSession() {
  ++generation_;
  for (auto& [id, handle] : handles_) {
    if (handle.kind == SimInterface::OtherVendor) continue;
    if (handle.pending) CompleteRead(handle, 0);
    handle.queue.clear();
  }
  answer_.reset();
  answerChunks_.clear();
  output_.reset();
  pace_ = {};
  changed_.notify_all();
}

bool SimMouse::EmitNotification(uint8_t code, uint8_t value) {
  std::vector<uint8_t> report(4, 0);
  report[0] = p::kNotifyReportId;
  report[p::kNotifyCodeByte] = code;
  report[p::kNotifyValueByte] = value;
  return EmitRawNotification(report);
}

bool SimMouse::EmitRawNotification(const std::vector<uint8_t>& report) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!plugged_) return false;
  std::vector<uint8_t> sized(report);
  sized.resize(options_.notifyReportLength, 0);
  Deliver(SimInterface::Notification, sized);
  return true;
}

// Every open reader of the collection gets its own copy, as with the system's
// HID driver; a pending read takes it at once.
void SimMouse::Deliver(SimInterface kind, const std::vector<uint8_t>& report) {
  for (auto& [id, handle] : handles_) {
    if (handle.kind != kind || !Alive(handle) || !CanRead(handle.access)) continue;
    if (handle.pending) {
      const size_t n = std::min(handle.pending->length, report.size());
      std::memcpy(handle.pending->buffer, report.data(), n);
      CompleteRead(handle, report.size());
    } else {
      if (handle.queue.size() == kInputRingSize) handle.queue.pop_front();
      handle.queue.push_back(report);
    }
  }
  changed_.notify_all();
}

void SimMouse::CompleteRead(Handle& handle, size_t bytes) {
  HidEvent* done = handle.pending->done;
  handle.pending.reset();
  handle.lastTransferred = bytes;
  done->Set();
  changed_.notify_all();
}

// ---------------------------------------------------------------------------
// Record, errors, faults

std::vector<SimExchange> SimMouse::Exchanges() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return {exchanges_.begin(), exchanges_.end()};
}

std::vector<std::string> SimMouse::Errors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return {errors_.begin(), errors_.end()};
}

void SimMouse::ClearRecord() {
  std::lock_guard<std::mutex> lock(mutex_);
  exchanges_.clear();
  exchangeCount_ = 0;
  errors_.clear();
}

void SimMouse::Record(SimExchange exchange) {
  exchanges_.push_back(std::move(exchange));
  ++exchangeCount_;
  if (options_.recordLimit != 0 && exchanges_.size() > options_.recordLimit) exchanges_.pop_front();
}

void SimMouse::Error(std::string text) {
  errors_.push_back(std::move(text));
  if (options_.recordLimit != 0 && errors_.size() > options_.recordLimit) errors_.pop_front();
}

SimFirmwareState SimMouse::State() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

void SimMouse::SetState(const SimFirmwareState& state) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_ = state;
}

void SimMouse::FailExchange(size_t position) {
  std::lock_guard<std::mutex> lock(mutex_);
  positionFaults_[position] = FaultAction::Fail;
}

void SimMouse::FailNext(SimCall call) {
  std::lock_guard<std::mutex> lock(mutex_);
  nextFaults_[call] = FaultAction::Fail;
}

void SimMouse::DropExchange(size_t position) {
  std::lock_guard<std::mutex> lock(mutex_);
  positionFaults_[position] = FaultAction::Drop;
}

void SimMouse::DropNext(SimCall call) {
  std::lock_guard<std::mutex> lock(mutex_);
  nextFaults_[call] = FaultAction::Drop;
}

void SimMouse::AnswerWithIndex(uint8_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  answerIndex_ = index;
}

void SimMouse::AnswerWithCount(uint8_t count) {
  std::lock_guard<std::mutex> lock(mutex_);
  answerCount_ = count;
}

void SimMouse::SetResponding(bool responding) {
  std::lock_guard<std::mutex> lock(mutex_);
  responding_ = responding;
  changed_.notify_all();
}

void SimMouse::StallNext(size_t count, Micros duration) {
  std::lock_guard<std::mutex> lock(mutex_);
  stallsLeft_ = count;
  stallDuration_ = duration;
}

void SimMouse::StallExchange(size_t position, Micros duration) {
  std::lock_guard<std::mutex> lock(mutex_);
  positionStalls_[position] = duration;
}

// The stall due for the call about to be made on handle `id`, spent on the
// clock (at most `limit`) with the lock released: a stalled mouse holds up
// the caller, not the simulator's other users (the notification reader, the
// control channel).
Micros SimMouse::Stall(uint64_t id, std::optional<Micros> limit) {
  Micros stall{0};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* handle = FindHandle(id);
    if (!handle || handle->kind != SimInterface::Configuration) return stall;
    auto at = positionStalls_.find(exchangeCount_);
    if (at != positionStalls_.end()) {
      stall = at->second;
      positionStalls_.erase(at);
    } else if (stallsLeft_ > 0) {
      --stallsLeft_;
      stall = stallDuration_;
    }
  }
  if (stall.count() > 0) clock_.Pause(limit ? std::min(stall, *limit) : stall);
  return stall;
}

void SimMouse::SetOpenFails(SimInterface interface, bool fails) {
  std::lock_guard<std::mutex> lock(mutex_);
  openFails_[interface] = fails;
}

void SimMouse::SetDetailFails(SimInterface interface, bool fails) {
  std::lock_guard<std::mutex> lock(mutex_);
  detailFails_[interface] = fails;
}

void SimMouse::SetEnumerationFails(bool fails) {
  std::lock_guard<std::mutex> lock(mutex_);
  enumerationFails_ = fails;
}

void SimMouse::SetCapsFailure(SimInterface interface, HidCapsStatus status) {
  std::lock_guard<std::mutex> lock(mutex_);
  capsFailures_[interface] = status;
}

void SimMouse::ClearFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  positionFaults_.clear();
  nextFaults_.clear();
  answerIndex_.reset();
  answerCount_.reset();
  responding_ = true;
  positionStalls_.clear();
  stallsLeft_ = 0;
  openFails_.clear();
  detailFails_.clear();
  enumerationFails_ = false;
  capsFailures_.clear();
  changed_.notify_all();
}

SimMouse::FaultAction SimMouse::TakeFault(SimCall call) {
  auto at = positionFaults_.find(exchangeCount_);
  if (at != positionFaults_.end()) {
    const FaultAction action = at->second;
    positionFaults_.erase(at);
    return action;
  }
  auto next = nextFaults_.find(call);
  if (next != nextFaults_.end()) {
    const FaultAction action = next->second;
    nextFaults_.erase(next);
    return action;
  }
  return FaultAction::None;
}

bool SimMouse::Waits() const {
  switch (options_.waits) {
    case SimWaits::Immediate: return false;
    case SimWaits::RealTime: return true;
    case SimWaits::Auto: break;
  }
  return dynamic_cast<ManualClock*>(&clock_) == nullptr;
}

bool SimMouse::Answering() const { return responding_ && options_.handshake != SimHandshake::Silent; }

// The payload as this firmware reads it. A scrambling firmware still knows the
// plain challenge when it sees one (it refuses it), which also lets the pause
// checks follow a handshake whatever the mode.
Payload SimMouse::Decode(const Payload& raw) const {
  if (options_.handshake == SimHandshake::PlainEcho || IsChallenge(raw)) return raw;
  Payload plain = raw;
  UnscramblePayload(plain.data(), key_.data());
  return plain;
}

// ---------------------------------------------------------------------------
// Pauses

// The firmware needs time after some exchanges before it takes the next one:
// 5 ms between the challenge and its answer, 3 ms after each output chunk, and
// 2 ms after each command of an indexed family once it is complete (its
// answer fetched, its data phase written or read). A family command whose
// data phase the host cut short is complete when the next command starts.
void SimMouse::CheckPause(SimCall call, Micros now) {
  if (!pace_.valid) return;
  Micros need{0};
  std::string reason;
  if (pace_.handshakeSet) {
    need = p::kHandshakePause;
    reason = "the handshake's challenge";
  } else {
    if (pace_.call == SimCall::Write) {
      need += p::kChunkPause;
      reason = "an output chunk";
    }
    const bool ending = pace_.CommandDone() || call == SimCall::SetFeature;
    if (pace_.indexedFamily && ending) {
      need += p::kFamilyPause;
      reason += reason.empty() ? "an indexed command" : " ending an indexed command";
    }
  }
  const Micros gap = now - pace_.time;
  if (gap < need) {
    Error(Format("pause too short: %s %lld us after %s (%s), needs %lld us", SimCallName(call),
                 static_cast<long long>(gap.count()), DescribePause(pace_.call, pace_.code).c_str(), reason.c_str(),
                 static_cast<long long>(need.count())));
  }
}

// ---------------------------------------------------------------------------
// Commands

std::string SimMouse::Execute(const Payload& q) {
  const uint8_t code = q[0];
  const uint8_t index = q[p::kIndexByte];
  auto zeroFrom = [&q](size_t first) {
    for (size_t i = first; i <= 6; ++i) {
      if (q[i] != 0) return false;
    }
    return true;
  };
  auto refuse = [code](const char* why) { return Format("command 0x%02x refused: %s", code, why); };
  auto answer = [this, code](Payload a) {
    a[0] = code;
    a[p::kChecksumByte] = PayloadChecksum(a.data());
    answer_ = a;
  };
  auto announceOutput = [this, code, index, &q, &refuse]() -> std::string {
    if (q[p::kCountByte] != OutputCount(code)) return refuse("wrong data-phase byte count");
    output_ = OutputPhase{code, index, p::ChunkCount(OutputCount(code)), {}};
    return {};
  };

  switch (code) {
    case p::kCmdHandshake: {
      if (!std::equal(p::kHandshakeChallenge.begin(), p::kHandshakeChallenge.end(), &q[1]) || !zeroFrom(5)) {
        return refuse("not the challenge");
      }
      Payload a{};
      std::copy(p::kHandshakeChallenge.begin(), p::kHandshakeChallenge.end(), &a[1]);
      answer(a);
      return {};
    }
    case p::kCmdReportRate:
      if (!zeroFrom(2)) return refuse("unused argument bytes not zero");
      state_.reportRate = q[1];
      return {};
    case p::kCmdSensor:
      if (!zeroFrom(5)) return refuse("unused argument bytes not zero");
      std::copy(&q[1], &q[5], state_.sensorSettings.begin());
      return {};
    case p::kQuerySensor: {
      if (!zeroFrom(1)) return refuse("unused argument bytes not zero");
      Payload a{};
      std::copy(state_.sensorSettings.begin(), state_.sensorSettings.end(), &a[1]);
      answer(a);
      return {};
    }
    case p::kCmdLightParams:
      if (index > 1) return refuse("index out of range");
      if (!zeroFrom(5)) return refuse("unused argument bytes not zero");
      std::copy(&q[2], &q[5], state_.lightParams[index].begin());
      return {};
    case p::kQueryLightParams: {
      // Bytes 2..6 carry whatever the host's buffer held; the firmware looks
      // at the index only.
      if (index > 1) return refuse("index out of range");
      Payload a{};
      a[1] = index;
      std::copy(state_.lightParams[index].begin(), state_.lightParams[index].end(), &a[2]);
      answer(a);
      return {};
    }
    case p::kCmdLightEffect:
      if (!zeroFrom(4)) return refuse("unused argument bytes not zero");
      std::copy(&q[1], &q[4], state_.lightEffect.begin());
      return {};
    case p::kQueryLightEffect: {
      if (!zeroFrom(1)) return refuse("unused argument bytes not zero");
      Payload a{};
      std::copy(state_.lightEffect.begin(), state_.lightEffect.end(), &a[1]);
      answer(a);
      return {};
    }
    case p::kCmdStageBlock:
      if (index > 1) return refuse("index out of range");
      if (!zeroFrom(3)) return refuse("unused argument bytes not zero");
      return announceOutput();
    case p::kQueryStageBlock: {
      if (index > 1) return refuse("index out of range");
      if (!zeroFrom(2)) return refuse("unused argument bytes not zero");
      Payload a{};
      a[1] = answerIndex_.value_or(index);
      a[2] = answerCount_.value_or(static_cast<uint8_t>(p::kStageBlockSize));
      answerIndex_.reset();
      answerCount_.reset();
      answer(a);
      PrepareData(state_.stageBlocks[index].data(), p::kStageBlockSize, a[2]);
      return {};
    }
    case p::kCmdDpiCodes:
      if (index != p::kDpiCodesArgument) return refuse("byte 1 is not 4");
      if (!zeroFrom(3)) return refuse("unused argument bytes not zero");
      return announceOutput();
    case p::kCmdKeyMatrix:
      if (index < 1 || index > p::kKeyMatrixCount) return refuse("matrix number out of range");
      if (!zeroFrom(3)) return refuse("unused argument bytes not zero");
      return announceOutput();
    case p::kCmdMacro:
      if (index < 1 || index > p::kMacroSlotCount) return refuse("slot number out of range");
      if (!zeroFrom(3)) return refuse("unused argument bytes not zero");
      return announceOutput();
    case p::kQueryMacro: {
      if (index < 1 || index > p::kMacroSlotCount) return refuse("slot number out of range");
      if (!zeroFrom(2)) return refuse("unused argument bytes not zero");
      Payload a{};
      a[1] = answerIndex_.value_or(index);
      a[2] = answerCount_.value_or(static_cast<uint8_t>(p::kMacroSlotBytes));
      answerIndex_.reset();
      answerCount_.reset();
      answer(a);
      PrepareData(state_.macroSlots[index - 1].data(), p::kMacroSlotBytes, a[2]);
      return {};
    }
    default:
      return Format("unknown command 0x%02x", code);
  }
}

// The input reports that follow a query's answer: `count` bytes in 32-byte
// chunks. Past the table's real data (when told to announce more) the
// firmware sends filler.
void SimMouse::PrepareData(const uint8_t* data, size_t size, uint8_t count) {
  answerChunks_.clear();
  const size_t chunks = p::ChunkCount(count);
  const size_t reportLength = std::max<size_t>(options_.inputReportLength, 1 + p::kChunkSize);
  for (size_t k = 0; k < chunks; ++k) {
    std::vector<uint8_t> report(reportLength, 0);
    report[0] = p::kReportId;
    for (size_t i = 0; i < p::kChunkSize; ++i) {
      const size_t at = k * p::kChunkSize + i;
      if (at >= count) break;
      report[1 + i] = at < size ? data[at] : kSimFillerByte;
    }
    report.resize(options_.inputReportLength);
    answerChunks_.push_back(std::move(report));
  }
}

void SimMouse::CommitOutput() {
  const OutputPhase& phase = *output_;
  const uint8_t* d = phase.data.data();
  switch (phase.code) {
    case p::kCmdStageBlock:
      std::copy(d, d + p::kStageBlockSize, state_.stageBlocks[phase.index].begin());
      break;
    case p::kCmdDpiCodes:
      std::copy(d, d + p::kDpiCodesSize, state_.dpiCodes.begin());
      break;
    case p::kCmdKeyMatrix:
      std::copy(d, d + p::kKeyMatrixSize, state_.keyMatrices[phase.index - 1].begin());
      break;
    case p::kCmdMacro:
      std::copy(d, d + p::kMacroSlotBytes, state_.macroSlots[phase.index - 1].begin());
      break;
  }
  output_.reset();
}

// ---------------------------------------------------------------------------
// Calls on the configuration collection

// What both feature calls check before the firmware sees them: a device that
// is gone, a handle without the access the call needs, a short report, a
// wrong report ID, an injected failure. A refused call is recorded as failed.
bool SimMouse::AdmitFeatureCall(const Handle& handle, SimExchange& ex, FaultAction fault, const uint8_t* report,
                                size_t length) {
  const bool isSet = ex.call == SimCall::SetFeature;
  auto fail = [&](const char* note) {
    ex.outcome = SimOutcome::Failed;
    ex.note = note;
    Record(std::move(ex));
    return false;
  };
  if (!Alive(handle)) return fail("the device is gone");
  if (isSet ? !CanWrite(handle.access) : !CanRead(handle.access))
    return fail(isSet ? "handle not opened for writing" : "handle not opened for reading");
  if (length < options_.featureReportLength || length < 1 + p::kPayloadSize) {
    Error(Format("%s of %zu bytes, the feature report has %u", SimCallName(ex.call), length,
                 options_.featureReportLength));
    return fail(isSet ? "report too short" : "buffer too short");
  }
  if (report[0] != p::kReportId) {
    Error(Format("%s with report ID %u", SimCallName(ex.call), report[0]));
    return fail("wrong report ID");
  }
  if (fault == FaultAction::Fail) return fail("injected failure");
  return true;
}

bool SimMouse::SetFeature(uint64_t id, const uint8_t* report, size_t length) {
  Stall(id, std::nullopt);
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle || handle->kind != SimInterface::Configuration) return false;
  SimExchange ex;
  ex.call = SimCall::SetFeature;
  ex.report.assign(report, report + length);
  ex.time = clock_.Now();
  const FaultAction fault = TakeFault(ex.call);
  if (!AdmitFeatureCall(*handle, ex, fault, report, length)) return false;

  CheckPause(ex.call, ex.time);
  Payload raw;
  std::copy(report + 1, report + 1 + p::kPayloadSize, raw.begin());
  const Payload plain = Decode(raw);
  ex.hasPayload = true;
  ex.payload = plain;

  // What the host does, for the pause checks, whether or not the firmware
  // takes it.
  pace_ = {};
  pace_.valid = true;
  pace_.time = ex.time;
  pace_.call = ex.call;
  pace_.code = plain[0];
  pace_.handshakeSet = IsChallenge(plain);
  pace_.indexedFamily = p::IsIndexedFamily(plain[0]);
  pace_.awaitingGet = p::IsQuery(plain[0]) || plain[0] == p::kCmdHandshake;
  if (!p::IsQuery(plain[0]) && OutputCount(plain[0]) != 0) pace_.outputsLeft = p::ChunkCount(plain[p::kCountByte]);

  if (fault == FaultAction::Drop) {
    ex.outcome = SimOutcome::Dropped;
    Record(std::move(ex));
    return true;
  }

  // A new command ends whatever the last one left open.
  if (output_) {
    Error(Format("data phase of command 0x%02x cut short: %zu of %zu chunks", output_->code,
                 output_->data.size() / p::kChunkSize, output_->chunksExpected));
    output_.reset();
  }
  answer_.reset();
  answerChunks_.clear();

  if (!Answering()) {
    ex.note = "ignored: the mouse does not answer";
  } else if (options_.handshake == SimHandshake::Scrambled && IsChallenge(raw)) {
    ex.note = "ignored: plain challenge";
  } else if (!ChecksumHolds(plain)) {
    Error(Format("bad checksum: payload %02x %02x %02x %02x %02x %02x %02x %02x", plain[0], plain[1], plain[2],
                 plain[3], plain[4], plain[5], plain[6], plain[7]));
    ex.note = "bad checksum";
  } else {
    std::string refusal = Execute(plain);
    if (!refusal.empty()) {
      ex.note = refusal;
      Error(std::move(refusal));
    }
  }
  Record(std::move(ex));
  return true;
}

bool SimMouse::GetFeature(uint64_t id, uint8_t* report, size_t length) {
  Stall(id, std::nullopt);
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle || handle->kind != SimInterface::Configuration) return false;
  SimExchange ex;
  ex.call = SimCall::GetFeature;
  ex.time = clock_.Now();
  const FaultAction fault = TakeFault(ex.call);
  if (!AdmitFeatureCall(*handle, ex, fault, report, length)) return false;

  CheckPause(ex.call, ex.time);
  std::fill(report, report + options_.featureReportLength, 0);
  std::optional<Payload> answer;
  std::swap(answer, answer_);
  std::vector<std::vector<uint8_t>> chunks;
  std::swap(chunks, answerChunks_);
  if (fault == FaultAction::Drop) {
    ex.outcome = SimOutcome::Dropped;
    answer.reset();
    chunks.clear();
  }
  if (answer) {
    ex.hasPayload = true;
    ex.payload = *answer;
    Payload wire = *answer;
    if (options_.handshake == SimHandshake::Scrambled) ScramblePayload(wire.data(), key_.data());
    std::copy(wire.begin(), wire.end(), report + 1);
  }
  ex.report.assign(report, report + options_.featureReportLength);

  pace_.valid = true;
  pace_.time = ex.time;
  pace_.call = ex.call;
  pace_.handshakeSet = false;
  pace_.awaitingGet = false;
  pace_.outputsLeft = 0;
  pace_.inputsLeft = chunks.size();
  Record(std::move(ex));
  for (const auto& chunk : chunks) Deliver(SimInterface::Configuration, chunk);
  return true;
}

HidIoStatus SimMouse::Write(uint64_t id, const uint8_t* report, size_t length, std::chrono::milliseconds timeout) {
  const Micros stall = Stall(id, timeout);
  const bool stalledOut = stall.count() > 0 && stall >= timeout;
  std::unique_lock<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle || handle->kind != SimInterface::Configuration) return HidIoStatus::Failed;
  SimExchange ex;
  ex.call = SimCall::Write;
  ex.report.assign(report, report + length);
  ex.time = clock_.Now();
  const FaultAction fault = TakeFault(ex.call);
  auto finish = [&](SimOutcome outcome, const char* note) {
    ex.outcome = outcome;
    ex.note = note;
    Record(std::move(ex));
    return outcome == SimOutcome::TimedOut ? HidIoStatus::TimedOut : HidIoStatus::Failed;
  };
  if (!Alive(*handle)) return finish(SimOutcome::Failed, "the device is gone");
  if (!CanWrite(handle->access)) return finish(SimOutcome::Failed, "handle not opened for writing");
  if (length < options_.outputReportLength || length < 1 + p::kChunkSize) {
    Error(Format("WRITE of %zu bytes, the output report has %u", length, options_.outputReportLength));
    return finish(SimOutcome::Failed, "report too short");
  }
  if (report[0] != p::kReportId) {
    Error(Format("WRITE with report ID %u", report[0]));
    return finish(SimOutcome::Failed, "wrong report ID");
  }
  if (fault == FaultAction::Fail) return finish(SimOutcome::Failed, "injected failure");
  if (stalledOut) return finish(SimOutcome::TimedOut, "stalled past the time-out");
  if (!Answering()) {
    // A hung mouse takes no output report: the write waits out its time.
    if (Waits()) {
      changed_.wait_for(lock, timeout, [&] {
        Handle* h = FindHandle(id);
        return !h || !Alive(*h) || Answering();
      });
    }
    return finish(SimOutcome::TimedOut, "the mouse does not answer");
  }

  CheckPause(ex.call, ex.time);
  pace_.valid = true;
  pace_.time = ex.time;
  pace_.call = ex.call;
  pace_.handshakeSet = false;
  if (pace_.outputsLeft > 0) --pace_.outputsLeft;

  if (fault == FaultAction::Drop) {
    ex.outcome = SimOutcome::Dropped;
  } else if (!output_) {
    Error("output report without an announced data phase");
    ex.note = "no data phase announced";
  } else {
    output_->data.insert(output_->data.end(), report + 1, report + 1 + p::kChunkSize);
    if (output_->data.size() == output_->chunksExpected * p::kChunkSize) CommitOutput();
  }
  Record(std::move(ex));
  return HidIoStatus::Ok;
}

HidIoStatus SimMouse::Read(uint64_t id, uint8_t* report, size_t length, std::chrono::milliseconds timeout) {
  const Micros stall = Stall(id, timeout);
  const bool stalledOut = stall.count() > 0 && stall >= timeout;
  std::unique_lock<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle) return HidIoStatus::Failed;
  const bool config = handle->kind == SimInterface::Configuration;
  const size_t inputLength = InputLength(handle->kind);
  // Only the configuration collection's traffic is recorded; notification
  // reads may come from another thread and leave the clock alone.
  SimExchange ex;
  ex.call = SimCall::Read;
  const FaultAction fault = config ? TakeFault(ex.call) : FaultAction::None;
  auto finish = [&](SimOutcome outcome, const char* note) {
    if (config) {
      ex.time = clock_.Now();
      ex.outcome = outcome;
      ex.note = note;
      Record(std::move(ex));
    }
    return outcome == SimOutcome::TimedOut ? HidIoStatus::TimedOut : HidIoStatus::Failed;
  };
  if (!Alive(*handle)) return finish(SimOutcome::Failed, "the device is gone");
  if (!CanRead(handle->access) || inputLength == 0) return finish(SimOutcome::Failed, "handle not readable");
  if (length < inputLength) {
    if (config) Error(Format("READ of %zu bytes, the input report has %zu", length, inputLength));
    return finish(SimOutcome::Failed, "buffer too short");
  }
  if (fault == FaultAction::Fail) return finish(SimOutcome::Failed, "injected failure");
  if (stalledOut) return finish(SimOutcome::TimedOut, "stalled past the time-out");
  if (fault == FaultAction::Drop && !handle->queue.empty()) handle->queue.pop_front();  // lost on the way

  if (handle->queue.empty() && Waits()) {
    changed_.wait_for(lock, timeout, [&] {
      Handle* h = FindHandle(id);
      return !h || !Alive(*h) || !h->queue.empty();
    });
    handle = FindHandle(id);
    if (!handle || !Alive(*handle)) return finish(SimOutcome::Failed, "the device is gone");
  }
  if (handle->queue.empty()) return finish(SimOutcome::TimedOut, "no input report");

  std::vector<uint8_t> input = std::move(handle->queue.front());
  handle->queue.pop_front();
  std::fill(report, report + inputLength, 0);
  std::copy(input.begin(), input.begin() + std::min(input.size(), inputLength), report);
  if (config) {
    ex.time = clock_.Now();
    ex.report.assign(report, report + inputLength);
    CheckPause(ex.call, ex.time);
    pace_.valid = true;
    pace_.time = ex.time;
    pace_.call = ex.call;
    pace_.handshakeSet = false;
    if (pace_.inputsLeft > 0) --pace_.inputsLeft;
    Record(std::move(ex));
  }
  return HidIoStatus::Ok;
}

void SimMouse::DiscardQueuedInput(uint64_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (handle && Alive(*handle)) handle->queue.clear();
}

bool SimMouse::StartRead(uint64_t id, uint8_t* report, size_t length, HidEvent& done) {
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle || !Alive(*handle) || !CanRead(handle->access)) return false;
  if (!handle->overlapped) {
    // The system would run this read synchronously and block the caller
    // until a report comes; a host must not rely on that.
    Error("overlapped read on a handle opened without overlapped I/O");
    return false;
  }
  const size_t inputLength = InputLength(handle->kind);
  if (inputLength == 0 || length < inputLength || handle->pending) return false;
  handle->lastTransferred = 0;
  handle->pending = PendingRead{report, length, &done};
  if (!handle->queue.empty()) {
    std::vector<uint8_t> input = std::move(handle->queue.front());
    handle->queue.pop_front();
    std::copy(input.begin(), input.begin() + std::min(input.size(), length), report);
    CompleteRead(*handle, input.size());
  }
  return true;
}

// As on Windows, finishing does not wait: a read that has not ended gives 0
// and stays pending.
size_t SimMouse::FinishRead(uint64_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (!handle || handle->pending) return 0;
  const size_t bytes = handle->lastTransferred;
  handle->lastTransferred = 0;
  return bytes;
}

void SimMouse::CancelRead(uint64_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Handle* handle = FindHandle(id);
  if (handle && handle->pending) CompleteRead(*handle, 0);
}

}  // namespace kovral
