#pragma once
// The HID seam over Linux hidraw. Every system call the backend makes goes
// through HidrawSystem, so that the backend's own logic (finding the mouse's
// nodes in sysfs, telling its collections apart from the report descriptor,
// bounding every wait, the report-ID byte hidraw leaves out) runs in the unit
// tests against a fake sysfs and a fake kernel.
#include <poll.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/hid.h"

namespace kovral {

// The calls of the backend. Each returns its result (>= 0) or -errno; none
// touches errno for the caller.
class HidrawSystem {
 public:
  virtual ~HidrawSystem() = default;
  virtual int Open(const std::string& path, int flags) = 0;
  virtual int Close(int fd) = 0;
  virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
  virtual ssize_t Read(int fd, void* buffer, size_t length) = 0;
  virtual ssize_t Write(int fd, const void* buffer, size_t length) = 0;
  virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;
  // A whole (small) sysfs file; 0 or -errno.
  virtual int ReadFile(const std::string& path, std::string& contents) = 0;
  // The entry names of a directory, without "." and ".."; 0 or -errno.
  virtual int ListDirectory(const std::string& path, std::vector<std::string>& names) = 0;
};

// The real calls.
HidrawSystem& RealHidrawSystem();

// One top-level collection of a report descriptor, with the report lengths
// the Windows HID parser would give it (the longest report of each kind, plus
// the report-ID byte, which Windows counts even when the device has no IDs).
struct HidrawCollection {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  uint16_t inputLength = 0;
  uint16_t outputLength = 0;
  uint16_t featureLength = 0;
  std::vector<uint8_t> inputReportIds;  // with numbered reports: the IDs of this collection's input reports
};

struct HidrawDescriptor {
  bool numbered = false;  // the device uses report IDs
  std::vector<HidrawCollection> collections;
};

// False when the descriptor is malformed (a truncated item, unbalanced
// collections, a push/pop stack out of bounds).
bool ParseHidrawDescriptor(const uint8_t* data, size_t size, HidrawDescriptor& descriptor);

// The platform over `system`, with sysfs's hidraw class at `classRoot` and
// the device nodes under `devRoot`. Enumeration lists the top-level
// collections of the mouse's nodes only.
std::unique_ptr<HidPlatform> MakeHidrawPlatform(HidrawSystem& system, std::string classRoot = "/sys/class/hidraw",
                                                std::string devRoot = "/dev");

}  // namespace kovral
