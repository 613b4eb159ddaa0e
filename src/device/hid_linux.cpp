// The HID seam on Linux, over hidraw: sysfs for enumeration, attributes and
// the report descriptor, /dev/hidrawN for the reports.
//
// Where hidraw differs from the Windows HID stack the link was written for:
// - One hidraw node is one USB interface and may carry several top-level
//   collections; Windows makes each collection a device of its own. The
//   enumeration therefore lists every top-level collection of the mouse's
//   nodes, the path naming the collection when a node has more than one, and
//   a handle on a shared node passes on only its own collection's input
//   reports.
// - A device without report IDs has its input reports read without a leading
//   ID byte; Windows puts a 0 there. Reads put it back, so the link sees the
//   same layout on both systems. Feature and output reports already take the
//   ID byte (0) first, as on Windows.
// - There is no overlapped I/O: every wait is a poll() with a time-out, and
//   the notification read runs on a thread of the handle's own.
#include "device/hid_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "device/cond_event.h"
#include "device/hid_system.h"
#include "device/protocol_constants.h"

namespace kovral {

// ---------------------------------------------------------------------------
// The real calls.

namespace {

class RealSystem final : public HidrawSystem {
 public:
  int Open(const std::string& path, int flags) override {
    const int fd = ::open(path.c_str(), flags);
    return fd < 0 ? -errno : fd;
  }
  int Close(int fd) override { return ::close(fd) < 0 ? -errno : 0; }
  int Ioctl(int fd, unsigned long request, void* argument) override {
    const int r = ::ioctl(fd, request, argument);
    return r < 0 ? -errno : r;
  }
  ssize_t Read(int fd, void* buffer, size_t length) override {
    const ssize_t r = ::read(fd, buffer, length);
    return r < 0 ? -errno : r;
  }
  ssize_t Write(int fd, const void* buffer, size_t length) override {
    const ssize_t r = ::write(fd, buffer, length);
    return r < 0 ? -errno : r;
  }
  int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
    const int r = ::poll(fds, count, timeoutMs);
    return r < 0 ? -errno : r;
  }
  int ReadFile(const std::string& path, std::string& contents) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -errno;
    contents.clear();
    char buffer[4096];
    int result = 0;
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = -errno;
        break;
      }
      if (n == 0) break;
      contents.append(buffer, static_cast<size_t>(n));
      // sysfs attributes are at most a page or two; a file that keeps
      // growing is not one.
      if (contents.size() > (1u << 16)) {
        result = -EFBIG;
        break;
      }
    }
    ::close(fd);
    return result;
  }
  int ListDirectory(const std::string& path, std::vector<std::string>& names) override {
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return -errno;
    names.clear();
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return 0;
  }
};

}  // namespace

HidrawSystem& RealHidrawSystem() {
  static RealSystem system;
  return system;
}

// ---------------------------------------------------------------------------
// Report descriptors.

namespace {

enum ReportKind { kInput = 0, kOutput = 1, kFeature = 2 };

struct Globals {
  uint32_t usagePage = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

struct ReportBits {
  size_t collection;
  ReportKind kind;
  uint8_t id;
  uint64_t bits;
};

uint32_t ItemValue(const uint8_t* data, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
  return value;
}

}  // namespace

// Short items only carry meaning here; long items are skipped. The lengths
// follow the Windows parser: per kind, the longest report (over the report
// IDs) in whole bytes, plus one byte for the ID.
bool ParseHidrawDescriptor(const uint8_t* data, size_t size, HidrawDescriptor& descriptor) {
  descriptor = {};
  constexpr size_t kMaxStack = 16;
  constexpr size_t kMaxDepth = 32;
  Globals globals;
  std::vector<Globals> stack;
  std::vector<uint32_t> usages;  // locals since the last main item; extended (page << 16 | usage)
  size_t depth = 0;
  std::vector<ReportBits> reports;

  size_t pos = 0;
  while (pos < size) {
    const uint8_t prefix = data[pos];
    if (prefix == 0xFE) {  // long item: size, tag, data
      if (pos + 2 >= size) return false;
      const size_t longSize = data[pos + 1];
      if (pos + 3 + longSize > size) return false;
      pos += 3 + longSize;
      continue;
    }
    const size_t itemSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (pos + 1 + itemSize > size) return false;
    const uint32_t value = ItemValue(data + pos + 1, itemSize);
    const uint8_t type = (prefix >> 2) & 3;
    const uint8_t tag = prefix >> 4;
    pos += 1 + itemSize;

    if (type == 0) {  // main
      switch (tag) {
        case 0x8:
        case 0x9:
        case 0xB: {
          if (depth == 0) return false;  // reports belong to a collection
          const ReportKind kind = tag == 0x8 ? kInput : tag == 0x9 ? kOutput : kFeature;
          const uint64_t bits = static_cast<uint64_t>(globals.reportSize) * globals.reportCount;
          reports.push_back({descriptor.collections.size() - 1, kind, globals.reportId, bits});
          break;
        }
        case 0xA:
          if (depth == 0) {
            HidrawCollection collection;
            const uint32_t usage = usages.empty() ? 0 : usages.front();
            // A 4-byte usage names its own page.
            collection.usagePage = static_cast<uint16_t>(usage > 0xFFFF ? usage >> 16 : globals.usagePage);
            collection.usage = static_cast<uint16_t>(usage);
            descriptor.collections.push_back(collection);
          }
          if (++depth > kMaxDepth) return false;
          break;
        case 0xC:
          if (depth == 0) return false;
          --depth;
          break;
        default: break;
      }
      usages.clear();
    } else if (type == 1) {  // global
      switch (tag) {
        case 0x0: globals.usagePage = value; break;
        case 0x7: globals.reportSize = value; break;
        case 0x8:
          if (value == 0 || value > 0xFF) return false;
          globals.reportId = static_cast<uint8_t>(value);
          descriptor.numbered = true;
          break;
        case 0x9: globals.reportCount = value; break;
        case 0xA:
          if (stack.size() >= kMaxStack) return false;
          stack.push_back(globals);
          break;
        case 0xB:
          if (stack.empty()) return false;
          globals = stack.back();
          stack.pop_back();
          break;
        default: break;
      }
    } else if (type == 2) {  // local
      if (tag == 0x0) usages.push_back(itemSize == 4 ? value : value & 0xFFFF);
    }
  }
  if (depth != 0) return false;

  // Sum the bits of each (collection, kind, ID); a report ID's items may be
  // spread over nested collections, which all count for their top-level one.
  struct Total {
    size_t collection;
    ReportKind kind;
    uint8_t id;
    uint64_t bits;
  };
  std::vector<Total> totals;
  for (const ReportBits& r : reports) {
    auto it = std::find_if(totals.begin(), totals.end(), [&](const Total& t) {
      return t.collection == r.collection && t.kind == r.kind && t.id == r.id;
    });
    if (it == totals.end()) totals.push_back({r.collection, r.kind, r.id, r.bits});
    else it->bits += r.bits;
  }
  for (const Total& t : totals) {
    if (t.bits == 0) continue;
    HidrawCollection& c = descriptor.collections[t.collection];
    const uint64_t bytes = (t.bits + 7) / 8 + 1;
    const uint16_t length = static_cast<uint16_t>(std::min<uint64_t>(bytes, 0xFFFF));
    uint16_t& slot = t.kind == kInput ? c.inputLength : t.kind == kOutput ? c.outputLength : c.featureLength;
    slot = std::max(slot, length);
    if (t.kind == kInput && descriptor.numbered) c.inputReportIds.push_back(t.id);
  }
  return true;
}

// ---------------------------------------------------------------------------
// The platform.

namespace {

using Steady = std::chrono::steady_clock;

// How often a pending notification read looks for a cancellation: the longest
// a cancelled read, or closing its handle, takes to end.
constexpr int kReadSliceMs = 50;
// A queue that keeps refilling faster than it is drained is not drained for good.
constexpr int kMaxDiscarded = 256;
// The longest feature report the ioctl's request number can describe.
constexpr size_t kMaxFeature = _IOC_SIZEMASK;

// A node and, on a node with several top-level collections, which one
// (1-based; 0 when the node has one).
struct NodeRef {
  unsigned number = 0;
  unsigned collection = 0;
};

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

bool ParseUnsigned(const std::string& s, unsigned& value) {
  if (s.empty() || s.size() > 6) return false;
  value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

bool ParseHex(const std::string& s, uint32_t& value) {
  if (s.empty() || s.size() > 8) return false;
  value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return true;
}

// HID_ID=BBBB:VVVVVVVV:PPPPPPPP in the hid device's uevent.
bool ParseUevent(const std::string& uevent, HidAttributes& attributes) {
  size_t start = 0;
  while (start < uevent.size()) {
    size_t end = uevent.find('\n', start);
    if (end == std::string::npos) end = uevent.size();
    const std::string line = uevent.substr(start, end - start);
    start = end + 1;
    if (line.rfind("HID_ID=", 0) != 0) continue;
    const std::string id = line.substr(7);
    const size_t first = id.find(':');
    const size_t second = first == std::string::npos ? first : id.find(':', first + 1);
    if (second == std::string::npos) return false;
    uint32_t bus, vendor, product;
    if (!ParseHex(id.substr(0, first), bus) || !ParseHex(id.substr(first + 1, second - first - 1), vendor) ||
        !ParseHex(id.substr(second + 1), product) || vendor > 0xFFFF || product > 0xFFFF) {
      return false;
    }
    attributes.vendorId = static_cast<uint16_t>(vendor);
    attributes.productId = static_cast<uint16_t>(product);
    // sysfs does not give the release number here; the link does not use it.
    attributes.versionNumber = 0;
    return true;
  }
  return false;
}

bool IsMouse(const HidAttributes& a) { return a.vendorId == protocol::kVendorId && a.productId == protocol::kProductId; }

// What sysfs says about one node.
struct NodeInfo {
  HidAttributes attributes;
  bool descriptorRead = false;
  bool descriptorParsed = false;
  HidrawDescriptor descriptor;
};

class HidrawPlatform;

class HidrawEnumeration final : public HidEnumeration {
 public:
  explicit HidrawEnumeration(std::vector<std::wstring> paths) : paths_(std::move(paths)) {}
  Status Interface(uint32_t index, std::wstring& devicePath) override {
    if (index >= paths_.size()) return Status::NoMoreItems;
    devicePath = paths_[index];
    return Status::Ok;
  }

 private:
  std::vector<std::wstring> paths_;
};

// One open handle: a file descriptor (none for a query: attributes and
// capabilities come from sysfs, as access 0 on Windows needs no rights on the
// device), the collection's capabilities, and the notification read's state.
class HidrawDevice final : public HidDevice {
 public:
  HidrawDevice(HidrawSystem& system, int fd, bool readable, HidAttributes attributes, HidCapsStatus capsStatus,
               HidCaps caps, bool numbered, std::vector<uint8_t> inputIds)
      : system_(system),
        fd_(fd),
        readable_(readable),
        attributes_(attributes),
        capsStatus_(capsStatus),
        caps_(caps),
        numbered_(numbered),
        inputIds_(std::move(inputIds)) {}

  ~HidrawDevice() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
      cancel_ = true;
    }
    wake_.notify_all();
    if (reader_.joinable()) reader_.join();
    if (fd_ >= 0) system_.Close(fd_);
  }
  HidrawDevice(const HidrawDevice&) = delete;
  HidrawDevice& operator=(const HidrawDevice&) = delete;

  bool GetAttributes(HidAttributes& attributes) override {
    attributes = attributes_;
    return true;
  }

  HidCapsStatus GetCaps(HidCaps& caps) override {
    if (capsStatus_ == HidCapsStatus::Ok) caps = caps_;
    return capsStatus_;
  }

  // The kernel answers for the whole transfer; it has a time-out of its own.
  bool SetFeature(const uint8_t* report, size_t length) override {
    if (fd_ < 0 || length == 0 || length > kMaxFeature) return false;
    std::vector<uint8_t> buffer(report, report + length);
    int r;
    do r = system_.Ioctl(fd_, HIDIOCSFEATURE(length), buffer.data());
    while (r == -EINTR);
    return r >= 0 && static_cast<size_t>(r) == length;
  }

  // The answer keeps the ID byte first; what the device did not send reads as 0.
  bool GetFeature(uint8_t* report, size_t length) override {
    if (fd_ < 0 || length == 0 || length > kMaxFeature) return false;
    std::vector<uint8_t> buffer(length, 0);
    buffer[0] = report[0];
    int r;
    do r = system_.Ioctl(fd_, HIDIOCGFEATURE(length), buffer.data());
    while (r == -EINTR);
    if (r <= 0) return false;
    std::fill(buffer.begin() + std::min<size_t>(static_cast<size_t>(r), length), buffer.end(), 0);
    std::memcpy(report, buffer.data(), length);
    return true;
  }

  HidIoStatus Write(const uint8_t* report, size_t length, std::chrono::milliseconds timeout) override {
    if (fd_ < 0 || length == 0) return HidIoStatus::Failed;
    const Steady::time_point deadline = Steady::now() + timeout;
    for (;;) {
      const int ready = PollUntil(POLLOUT, deadline);
      if (ready <= 0) return ready == 0 ? HidIoStatus::TimedOut : HidIoStatus::Failed;
      const ssize_t n = system_.Write(fd_, report, length);
      if (n == -EINTR || n == -EAGAIN) continue;
      if (n == -ETIMEDOUT) return HidIoStatus::TimedOut;
      return n >= 0 && static_cast<size_t>(n) == length ? HidIoStatus::Ok : HidIoStatus::Failed;
    }
  }

  HidIoStatus Read(uint8_t* report, size_t length, std::chrono::milliseconds timeout) override {
    if (fd_ < 0 || !readable_ || length == 0) return HidIoStatus::Failed;
    const Steady::time_point deadline = Steady::now() + timeout;
    std::vector<uint8_t> buffer(length);
    for (;;) {
      const int ready = PollUntil(POLLIN, deadline);
      if (ready <= 0) return ready == 0 ? HidIoStatus::TimedOut : HidIoStatus::Failed;
      const ssize_t n = ReadOne(buffer.data(), length);
      if (n == -EAGAIN || n == -EINTR || n == kNotOurs) continue;
      if (n <= 0) return HidIoStatus::Failed;
      std::memcpy(report, buffer.data(), length);
      return HidIoStatus::Ok;
    }
  }

  void DiscardQueuedInput() override {
    if (fd_ < 0 || !readable_) return;
    uint8_t scratch[64];
    for (int i = 0; i < kMaxDiscarded; ++i) {
      const ssize_t n = system_.Read(fd_, scratch, sizeof scratch);
      if (n == -EINTR) continue;
      if (n <= 0) return;
    }
  }

  bool StartRead(uint8_t* report, size_t length, HidEvent& done) override {
    if (fd_ < 0 || !readable_ || length == 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == ReadState::Pending) return false;  // an earlier read is still ending
    if (!reader_.joinable()) {
      try {
        reader_ = std::thread([this] { ReaderLoop(); });
      } catch (const std::system_error&) {
        return false;
      }
    }
    state_ = ReadState::Pending;
    readBuffer_.assign(length, 0);
    readTarget_ = report;
    readDone_ = &done;
    readBytes_ = 0;
    cancel_ = false;
    wake_.notify_all();
    return true;
  }

  size_t FinishRead() override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != ReadState::Ended) return 0;
    state_ = ReadState::Idle;
    uint8_t* target = readTarget_;
    readTarget_ = nullptr;
    if (!target || readBytes_ == 0) return 0;
    std::memcpy(target, readBuffer_.data(), readBytes_);
    return readBytes_;
  }

  void CancelRead() override {
    std::lock_guard<std::mutex> lock(mutex_);
    readTarget_ = nullptr;
    if (state_ == ReadState::Pending) cancel_ = true;
  }

 private:
  enum class ReadState { Idle, Pending, Ended };
  static constexpr ssize_t kNotOurs = -100000;  // another collection's report

  // > 0 when ready, 0 at the deadline, < 0 on a failure or a dead node.
  int PollUntil(short events, Steady::time_point deadline) {
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now());
      const int ms = static_cast<int>(std::clamp<int64_t>(left.count(), 0, 1 << 30));
      pollfd p{fd_, events, 0};
      const int r = system_.Poll(&p, 1, ms);
      if (r == -EINTR) continue;
      if (r < 0) return -1;
      if (r == 0) return 0;
      if (p.revents & events) return 1;
      return -1;  // POLLERR, POLLHUP (unplugged) or POLLNVAL
    }
  }

  // One input report into `report` (length bytes, zero-filled past what came),
  // in the Windows layout: the report ID first, 0 on a device without IDs.
  // Returns the bytes the caller sees, -errno, or kNotOurs.
  ssize_t ReadOne(uint8_t* report, size_t length) {
    const size_t skip = numbered_ ? 0 : 1;
    std::vector<uint8_t> raw(std::max<size_t>(length, 2));
    const ssize_t n = system_.Read(fd_, raw.data(), raw.size() - skip);
    if (n <= 0) return n == 0 ? -EIO : n;
    if (numbered_ && std::find(inputIds_.begin(), inputIds_.end(), raw[0]) == inputIds_.end()) return kNotOurs;
    std::fill(report, report + length, 0);
    const size_t got = std::min(static_cast<size_t>(n) + skip, length);
    std::memcpy(report + skip, raw.data(), got - skip);
    return static_cast<ssize_t>(got);
  }

  // The notification read: waits in slices so that a cancellation or the
  // handle's end is seen within kReadSliceMs.
  void ReaderLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stop_ || state_ == ReadState::Pending; });
      if (stop_) return;
      const size_t length = readBuffer_.size();
      std::vector<uint8_t> report(length);
      ssize_t result = 0;
      while (!cancel_ && !stop_) {
        lock.unlock();
        pollfd p{fd_, POLLIN, 0};
        const int r = system_.Poll(&p, 1, kReadSliceMs);
        bool ended = false;
        if (r < 0 && r != -EINTR) {
          ended = true;
        } else if (r > 0) {
          if (!(p.revents & POLLIN)) {
            ended = true;  // the node is gone
          } else {
            const ssize_t n = ReadOne(report.data(), length);
            if (n > 0 || (n != -EAGAIN && n != -EINTR && n != kNotOurs)) {
              result = n > 0 ? n : 0;
              ended = true;
            }
          }
        }
        lock.lock();
        if (ended) break;
      }
      if (cancel_ || stop_) result = 0;
      if (result > 0) std::memcpy(readBuffer_.data(), report.data(), static_cast<size_t>(result));
      readBytes_ = static_cast<size_t>(result);
      state_ = ReadState::Ended;
      cancel_ = false;
      HidEvent* done = readDone_;
      readDone_ = nullptr;
      // The event is the link's; it outlives the handle, whose destructor
      // waits for this thread.
      if (done) done->Set();
      if (stop_) return;
    }
  }

  HidrawSystem& system_;
  const int fd_;
  const bool readable_;
  const HidAttributes attributes_;
  const HidCapsStatus capsStatus_;
  const HidCaps caps_;
  const bool numbered_;
  const std::vector<uint8_t> inputIds_;

  std::mutex mutex_;  // the notification read's state; never held across a poll
  std::condition_variable wake_;
  std::thread reader_;
  ReadState state_ = ReadState::Idle;
  bool cancel_ = false;
  bool stop_ = false;
  std::vector<uint8_t> readBuffer_;  // the device's own: the reader's buffer is written in FinishRead only
  uint8_t* readTarget_ = nullptr;
  HidEvent* readDone_ = nullptr;
  size_t readBytes_ = 0;
};

class HidrawPlatform final : public HidPlatform {
 public:
  HidrawPlatform(HidrawSystem& system, std::string classRoot, std::string devRoot)
      : system_(system), classRoot_(std::move(classRoot)), devRoot_(std::move(devRoot)) {}

  // A machine without the hidraw class (module not loaded) has no interfaces;
  // any other failure to list it is a failed list.
  std::unique_ptr<HidEnumeration> Enumerate() override {
    std::vector<std::string> names;
    const int r = system_.ListDirectory(classRoot_, names);
    if (r == -ENOENT) names.clear();
    else if (r < 0) return nullptr;
    std::vector<unsigned> numbers;
    for (const std::string& name : names) {
      unsigned n;
      if (name.rfind("hidraw", 0) == 0 && ParseUnsigned(name.substr(6), n)) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::wstring> paths;
    for (unsigned n : numbers) {
      NodeInfo info;
      if (!ReadNode(n, info) || !IsMouse(info.attributes)) continue;
      const size_t count = info.descriptorParsed ? info.descriptor.collections.size() : 0;
      // A node whose descriptor cannot be used is still listed once: its
      // capabilities then fail, as they would on Windows.
      if (count <= 1) {
        paths.push_back(PathOf({n, 0}));
      } else {
        for (unsigned k = 1; k <= count; ++k) paths.push_back(PathOf({n, k}));
      }
    }
    return std::make_unique<HidrawEnumeration>(std::move(paths));
  }

  // Only the mouse's nodes are opened. `overlapped` makes no difference:
  // every wait on a hidraw handle is bounded.
  std::unique_ptr<HidDevice> Open(const std::wstring& devicePath, HidAccess access, bool) override {
    NodeRef ref;
    if (!ParsePath(devicePath, ref)) return nullptr;
    NodeInfo info;
    if (!ReadNode(ref.number, info) || !IsMouse(info.attributes)) return nullptr;

    HidCapsStatus capsStatus = HidCapsStatus::Ok;
    HidCaps caps;
    std::vector<uint8_t> inputIds;
    const HidrawCollection* collection = nullptr;
    if (!info.descriptorRead) {
      capsStatus = HidCapsStatus::PreparsedDataFailed;
    } else if (!info.descriptorParsed || info.descriptor.collections.empty()) {
      capsStatus = HidCapsStatus::CapsFailed;
    } else {
      const size_t count = info.descriptor.collections.size();
      // A path names a collection exactly when its node has several.
      if ((count == 1) != (ref.collection == 0) || ref.collection > count) return nullptr;
      collection = &info.descriptor.collections[ref.collection == 0 ? 0 : ref.collection - 1];
      caps.usagePage = collection->usagePage;
      caps.usage = collection->usage;
      caps.inputReportByteLength = collection->inputLength;
      caps.outputReportByteLength = collection->outputLength;
      caps.featureReportByteLength = collection->featureLength;
      inputIds = collection->inputReportIds;
    }

    int fd = -1;
    if (access != HidAccess::Query) {
      int flags = O_NONBLOCK | O_CLOEXEC;
      flags |= access == HidAccess::Read ? O_RDONLY : access == HidAccess::Write ? O_WRONLY : O_RDWR;
      do fd = system_.Open(NodePath(ref.number), flags);
      while (fd == -EINTR);
      if (fd < 0) return nullptr;
    }
    const bool readable = access == HidAccess::Read || access == HidAccess::ReadWrite;
    return std::make_unique<HidrawDevice>(system_, fd, readable, info.attributes, capsStatus, caps,
                                          info.descriptor.numbered, std::move(inputIds));
  }

  std::unique_ptr<HidEvent> NewEvent() override { return std::make_unique<CondEvent>(); }

 private:
  std::string NodePath(unsigned n) const { return devRoot_ + "/hidraw" + std::to_string(n); }

  std::wstring PathOf(NodeRef ref) const {
    std::string path = NodePath(ref.number);
    if (ref.collection != 0) path += "#" + std::to_string(ref.collection);
    return Widen(path);
  }

  bool ParsePath(const std::wstring& wide, NodeRef& ref) const {
    std::string path;
    for (wchar_t c : wide) {
      if (c <= 0 || c > 0x7F) return false;
      path.push_back(static_cast<char>(c));
    }
    const std::string prefix = devRoot_ + "/hidraw";
    if (path.rfind(prefix, 0) != 0) return false;
    const std::string rest = path.substr(prefix.size());
    const size_t hash = rest.find('#');
    if (!ParseUnsigned(rest.substr(0, hash), ref.number)) return false;
    ref.collection = 0;
    if (hash != std::string::npos && (!ParseUnsigned(rest.substr(hash + 1), ref.collection) || ref.collection == 0))
      return false;
    return true;
  }

  // False when the node has gone or its uevent says nothing usable.
  bool ReadNode(unsigned n, NodeInfo& info) {
    const std::string dir = classRoot_ + "/hidraw" + std::to_string(n) + "/device/";
    std::string uevent;
    if (system_.ReadFile(dir + "uevent", uevent) < 0 || !ParseUevent(uevent, info.attributes)) return false;
    std::string descriptor;
    info.descriptorRead = system_.ReadFile(dir + "report_descriptor", descriptor) >= 0;
    if (info.descriptorRead) {
      info.descriptorParsed = ParseHidrawDescriptor(reinterpret_cast<const uint8_t*>(descriptor.data()),
                                                    descriptor.size(), info.descriptor);
    }
    return true;
  }

  HidrawSystem& system_;
  const std::string classRoot_;
  const std::string devRoot_;
};

}  // namespace

std::unique_ptr<HidPlatform> MakeHidrawPlatform(HidrawSystem& system, std::string classRoot, std::string devRoot) {
  return std::make_unique<HidrawPlatform>(system, std::move(classRoot), std::move(devRoot));
}

std::unique_ptr<HidPlatform> MakeSystemHidPlatform() { return MakeHidrawPlatform(RealHidrawSystem()); }

}  // namespace kovral
