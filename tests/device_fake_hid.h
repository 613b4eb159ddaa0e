#pragma once
// A scripted HID platform for the link's tests: interfaces with chosen
// identities, capabilities and open failures; a configuration collection that
// records every call in one log and answers from a script; notification
// collections fed by the test; and a clock that logs the pauses into the same log.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/clock.h"
#include "device/hid.h"
#include "device/protocol.h"
#include "device/scramble.h"

namespace kovral::fake {

inline std::string Hex(const uint8_t* bytes, size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < count; ++i) {
    s += kDigits[bytes[i] >> 4];
    s += kDigits[bytes[i] & 0x0F];
  }
  return s;
}

// Parses "01 02 ff" (spaces optional) into bytes.
inline std::vector<uint8_t> Bytes(const std::string& hex) {
  std::vector<uint8_t> out;
  std::string digits;
  for (char c : hex)
    if (c != ' ') digits += c;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return out;
}

// The log lines of the calls, as the tests spell them: report ID 0 first, then
// the given bytes, zero-padded to the report length.
inline std::string Line(const char* call, const std::string& hex, size_t reportLength) {
  std::vector<uint8_t> report(reportLength, 0);
  const std::vector<uint8_t> bytes = Bytes(hex);
  for (size_t i = 0; i < bytes.size() && i + 1 < reportLength; ++i) report[i + 1] = bytes[i];
  return std::string(call) + " " + Hex(report.data(), report.size());
}

class Log {
 public:
  void Add(std::string line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(std::move(line));
  }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

// Virtual time; every pause is logged as "PAUSE <microseconds>".
class RecordingClock final : public Clock {
 public:
  explicit RecordingClock(Log* log = nullptr) : log_(log) {}
  Micros Now() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
  }
  void Pause(Micros duration) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      now_ += duration;
    }
    if (log_) log_->Add("PAUSE " + std::to_string(duration.count()));
  }
  void Advance(Micros duration) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_ += duration;
  }

 private:
  Log* log_;
  std::mutex mutex_;
  Micros now_{0};
};

class FakeEvent final : public HidEvent {
 public:
  void Set() override {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
    changed_.notify_all();
  }
  void Reset() override {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = false;
  }
  void Wait() override {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return set_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

// Reports of one notification collection. Whichever read handle is open on it
// receives them; reports pushed while no read is pending wait in a queue, as
// the HID driver's input buffer keeps them.
class NotifySource {
 public:
  explicit NotifySource(Log* log = nullptr) : log_(log) {}
  void Push(std::vector<uint8_t> report) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(report));
    DeliverLocked();
  }
  // Reads begun and reads cancelled so far, and whether a read is pending.
  int started() { std::lock_guard<std::mutex> l(mutex_); return started_; }
  int cancelled() { std::lock_guard<std::mutex> l(mutex_); return cancelled_; }
  int attempts() { std::lock_guard<std::mutex> l(mutex_); return attempts_; }
  bool pending() { std::lock_guard<std::mutex> l(mutex_); return pending_ && !completed_; }
  // Makes the next StartRead fail, as a read on a vanished device does.
  void FailNextStart() { std::lock_guard<std::mutex> l(mutex_); failNextStart_ = true; }

  bool StartRead(uint8_t* report, size_t length, HidEvent& done) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++attempts_;
    if (failNextStart_) {
      failNextStart_ = false;
      return false;
    }
    EXPECT_FALSE(pending_) << "a second read started before the first was finished or cancelled";
    buffer_ = report;
    length_ = length;
    done_ = &done;
    pending_ = true;
    completed_ = false;
    transferred_ = 0;
    ++started_;
    if (log_) log_->Add("START-READ");
    DeliverLocked();
    return true;
  }
  size_t FinishRead() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!pending_) return 0;
    finished_.wait(lock, [&] { return completed_; });
    pending_ = false;
    return transferred_;
  }
  void CancelRead() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pending_) return;
    if (!completed_) {
      completed_ = true;
      transferred_ = 0;
      ++cancelled_;
      if (log_) log_->Add("CANCEL-READ");
      done_->Set();
    }
    pending_ = false;
    buffer_ = nullptr;
  }

 private:
  void DeliverLocked() {
    if (!pending_ || completed_ || queue_.empty()) return;
    const std::vector<uint8_t>& r = queue_.front();
    const size_t n = std::min(r.size(), length_);
    std::memcpy(buffer_, r.data(), n);
    transferred_ = n;
    queue_.pop_front();
    completed_ = true;
    finished_.notify_all();
    done_->Set();
  }

  std::mutex mutex_;
  std::condition_variable finished_;
  std::deque<std::vector<uint8_t>> queue_;
  uint8_t* buffer_ = nullptr;
  size_t length_ = 0;
  HidEvent* done_ = nullptr;
  bool pending_ = false;
  bool completed_ = false;
  bool failNextStart_ = false;
  size_t transferred_ = 0;
  int started_ = 0;
  int cancelled_ = 0;
  int attempts_ = 0;
  Log* log_;
};

// The firmware side of a configuration collection, reduced to what the tests
// script: the handshake, an answer per query, input chunks, and faults.
struct FakeMouse {
  enum class Handshake { ScrambledEcho, PlainEcho, Silent };
  Handshake handshake = Handshake::ScrambledEcho;
  bool wireScrambled = false;  // the mouse reads and answers scrambled payloads
  // Answer to a query (plain request in, plain answer out; the checksum is
  // filled in) and the input chunks it queues (32 data bytes each).
  std::function<void(const Payload& request, Payload& answer, std::vector<std::vector<uint8_t>>& chunks)> respond;

  // Faults.
  bool setFails = false;
  bool getFails = false;
  bool readsTimeOut = false;   // every read waits out its time-out
  bool writesTimeOut = false;
  bool logDiscard = true;
  // A mouse that stalls: call `stallAt` on the collection (set, get, write
  // and read, counted from 0) takes `stallFor` of the clock, then goes on as usual.
  int stallAt = -1;
  Micros stallFor{0};
  int calls = 0;

  // State.
  Payload pendingAnswer{};
  bool answerReady = false;
  std::deque<std::vector<uint8_t>> input;  // queued input reports (report ID first)
};

struct FakeInterface {
  std::wstring path;
  HidAttributes attributes{protocol::kVendorId, protocol::kProductId, 0x0100};
  HidCaps caps;
  bool detailFails = false;
  HidCapsStatus capsStatus = HidCapsStatus::Ok;
  std::vector<HidAccess> failingOpens;  // these access modes fail to open
  std::shared_ptr<NotifySource> notify;  // for a notification collection
};

inline const char* AccessName(HidAccess a) {
  switch (a) {
    case HidAccess::Query: return "query";
    case HidAccess::Read: return "read";
    case HidAccess::Write: return "write";
    case HidAccess::ReadWrite: return "readwrite";
  }
  return "?";
}

inline std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

class FakeHidPlatform;

class FakeDevice final : public HidDevice {
 public:
  FakeDevice(FakeHidPlatform& platform, const FakeInterface& iface, HidAccess access)
      : platform_(platform), iface_(iface), access_(access) {}
  ~FakeDevice() override;

  bool GetAttributes(HidAttributes& attributes) override {
    attributes = iface_.attributes;
    return true;
  }
  HidCapsStatus GetCaps(HidCaps& caps) override {
    caps = iface_.caps;
    return iface_.capsStatus;
  }
  bool SetFeature(const uint8_t* report, size_t length) override;
  bool GetFeature(uint8_t* report, size_t length) override;
  HidIoStatus Write(const uint8_t* report, size_t length, std::chrono::milliseconds timeout) override;
  HidIoStatus Read(uint8_t* report, size_t length, std::chrono::milliseconds timeout) override;
  void DiscardQueuedInput() override;
  bool StartRead(uint8_t* report, size_t length, HidEvent& done) override {
    return iface_.notify && iface_.notify->StartRead(report, length, done);
  }
  size_t FinishRead() override { return iface_.notify ? iface_.notify->FinishRead() : 0; }
  void CancelRead() override {
    if (iface_.notify) iface_.notify->CancelRead();
  }

 private:
  FakeHidPlatform& platform_;
  FakeInterface iface_;
  HidAccess access_;
};

class FakeEnumeration final : public HidEnumeration {
 public:
  explicit FakeEnumeration(std::vector<FakeInterface> list) : list_(std::move(list)) {}
  Status Interface(uint32_t index, std::wstring& devicePath) override {
    if (index >= list_.size()) return Status::NoMoreItems;
    if (list_[index].detailFails) return Status::DetailFailed;
    devicePath = list_[index].path;
    return Status::Ok;
  }

 private:
  std::vector<FakeInterface> list_;
};

class FakeHidPlatform final : public HidPlatform {
 public:
  FakeHidPlatform(Log& log, RecordingClock& clock) : log(log), clock(clock) {}

  std::unique_ptr<HidEnumeration> Enumerate() override {
    if (enumerateFails) return nullptr;
    return std::make_unique<FakeEnumeration>(interfaces);
  }
  std::unique_ptr<HidDevice> Open(const std::wstring& path, HidAccess access, bool overlapped) override {
    for (const FakeInterface& iface : interfaces) {
      if (iface.path != path) continue;
      for (HidAccess failing : iface.failingOpens)
        if (failing == access) {
          if (logOpens) log.Add("OPEN-FAILED " + Narrow(path) + " " + AccessName(access));
          return nullptr;
        }
      if (logOpens)
        log.Add(std::string("OPEN ") + Narrow(path) + " " + AccessName(access) + (overlapped ? " overlapped" : ""));
      ++openHandles;
      return std::make_unique<FakeDevice>(*this, iface, access);
    }
    return nullptr;
  }
  std::unique_ptr<HidEvent> NewEvent() override {
    if (eventFails) return nullptr;
    return std::make_unique<FakeEvent>();
  }

  Log& log;
  RecordingClock& clock;
  std::vector<FakeInterface> interfaces;
  FakeMouse mouse;
  bool enumerateFails = false;
  bool eventFails = false;
  bool logOpens = false;
  std::atomic<int> openHandles{0};
  std::function<void()> onClose;  // called as a handle closes

  void CountCall() {
    if (mouse.calls++ == mouse.stallAt) clock.Advance(mouse.stallFor);
  }
};

inline FakeDevice::~FakeDevice() {
  if (platform_.onClose) platform_.onClose();
  if (platform_.logOpens) platform_.log.Add("CLOSE " + Narrow(iface_.path) + " " + AccessName(access_));
  --platform_.openHandles;
}

inline bool FakeDevice::SetFeature(const uint8_t* report, size_t length) {
  platform_.CountCall();
  platform_.log.Add("SET " + Hex(report, length));
  FakeMouse& m = platform_.mouse;
  if (m.setFails || m.handshake == FakeMouse::Handshake::Silent) return false;
  Payload request;
  std::memcpy(request.data(), report + 1, 8);
  const ScrambleKey key = ProtocolScrambleKey();
  Payload plain = request;
  Payload unscrambled = request;
  UnscramblePayload(unscrambled.data(), key.data());
  m.answerReady = false;
  auto isChallenge = [](const Payload& p) {
    return p[0] == 0 && p[1] == 0xAA && p[2] == 0xDD && p[3] == 0x3B && p[4] == 0x62 &&
           PayloadChecksum(p.data()) == p[7];
  };
  // The handshake: a scrambled-echo mouse recognises only the scrambled
  // challenge, a plain-echo mouse only the plain one.
  if (m.handshake == FakeMouse::Handshake::ScrambledEcho && isChallenge(unscrambled)) {
    m.wireScrambled = true;
    m.pendingAnswer = unscrambled;
    m.answerReady = true;
    return true;
  }
  if (m.handshake == FakeMouse::Handshake::PlainEcho && isChallenge(plain)) {
    m.pendingAnswer = plain;
    m.answerReady = true;
    return true;
  }
  if (m.wireScrambled) plain = unscrambled;
  if ((plain[0] & protocol::kQueryBit) && m.respond) {
    Payload answer{};
    std::vector<std::vector<uint8_t>> chunks;
    m.respond(plain, answer, chunks);
    answer[7] = PayloadChecksum(answer.data());
    m.pendingAnswer = answer;
    m.answerReady = true;
    for (auto& c : chunks) {
      std::vector<uint8_t> r(1 + protocol::kChunkSize, 0);
      std::memcpy(r.data() + 1, c.data(), std::min(c.size(), protocol::kChunkSize));
      m.input.push_back(r);
    }
  }
  return true;
}

inline bool FakeDevice::GetFeature(uint8_t* report, size_t length) {
  platform_.CountCall();
  FakeMouse& m = platform_.mouse;
  bool ok = !(m.getFails || m.handshake == FakeMouse::Handshake::Silent);
  if (ok) {
    std::memset(report, 0, length);
    if (m.answerReady) {
      Payload answer = m.pendingAnswer;
      if (m.wireScrambled) {
        const ScrambleKey key = ProtocolScrambleKey();
        ScramblePayload(answer.data(), key.data());
      }
      std::memcpy(report + 1, answer.data(), 8);
    }
  } else {
    // What a driver may leave in the buffer of a failed request.
    std::memset(report, 0xEE, length);
  }
  m.answerReady = false;
  platform_.log.Add(std::string(ok ? "GET " : "GET-FAILED ") + Hex(report, length));
  return ok;
}

inline HidIoStatus FakeDevice::Write(const uint8_t* report, size_t length, std::chrono::milliseconds timeout) {
  platform_.CountCall();
  FakeMouse& m = platform_.mouse;
  if (m.writesTimeOut || m.handshake == FakeMouse::Handshake::Silent) {
    platform_.clock.Advance(timeout);
    platform_.log.Add("WRITE-TIMEOUT " + Hex(report, length));
    return HidIoStatus::TimedOut;
  }
  platform_.log.Add("WRITE " + Hex(report, length));
  return HidIoStatus::Ok;
}

inline HidIoStatus FakeDevice::Read(uint8_t* report, size_t length, std::chrono::milliseconds timeout) {
  platform_.CountCall();
  FakeMouse& m = platform_.mouse;
  if (m.readsTimeOut || m.handshake == FakeMouse::Handshake::Silent || m.input.empty()) {
    platform_.clock.Advance(timeout);
    std::memset(report, 0xEE, length);  // garbage the link must not keep
    platform_.log.Add("READ-TIMEOUT");
    return HidIoStatus::TimedOut;
  }
  std::vector<uint8_t> r = m.input.front();
  m.input.pop_front();
  std::memset(report, 0, length);
  std::memcpy(report, r.data(), std::min(length, r.size()));
  platform_.log.Add("READ " + Hex(report, length));
  return HidIoStatus::Ok;
}

inline void FakeDevice::DiscardQueuedInput() {
  platform_.mouse.input.clear();
  if (platform_.mouse.logDiscard) platform_.log.Add("DISCARD");
}

// The mouse's two collections with the usual lengths: feature 9, input and
// output 33, notification 8.
inline FakeInterface ConfigCollection(std::wstring path = L"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col01#cfg") {
  FakeInterface i;
  i.path = std::move(path);
  i.caps.usage = protocol::kConfigUsage;
  i.caps.usagePage = protocol::kConfigUsagePage;
  i.caps.featureReportByteLength = 9;
  i.caps.inputReportByteLength = 33;
  i.caps.outputReportByteLength = 33;
  return i;
}

inline FakeInterface NotifyCollection(std::shared_ptr<NotifySource> source,
                                      std::wstring path = L"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col02#ntf") {
  FakeInterface i;
  i.path = std::move(path);
  i.caps.usage = protocol::kNotifyUsage;
  i.caps.usagePage = protocol::kNotifyUsagePage;
  i.caps.inputReportByteLength = 8;
  i.notify = std::move(source);
  return i;
}

}  // namespace kovral::fake
