#pragma once
// Pieces the fuzz targets share: texts drawn from the fuzz input, a file
// system in memory and a HID platform with nothing attached.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "device/hid.h"
#include "settings/text_encoding.h"
#include "settings_memory_fs.h"

namespace kovral::fuzz {

using testing::MemoryFileSystem;

// A text of at most maxBytes UTF-8 bytes (malformed bytes become U+FFFD).
inline std::wstring TakeText(FuzzedDataProvider& in, size_t maxBytes) {
  return FromUtf8(in.ConsumeRandomLengthString(maxBytes));
}

// One of the candidates, or (when the input says so) a text of its own.
inline std::wstring TakeName(FuzzedDataProvider& in, std::span<const std::wstring> candidates, size_t maxBytes) {
  if (candidates.empty() || in.ConsumeBool()) return TakeText(in, maxBytes);
  return candidates[in.ConsumeIntegralInRange<size_t>(0, candidates.size() - 1)];
}

// A broken promise of the code under test: reported as a crash, with the
// input that caused it saved by libFuzzer.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}
inline void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// No interfaces at all: the link stays closed and every exchange finds no device.
class NoHidPlatform final : public HidPlatform {
 public:
  std::unique_ptr<HidEnumeration> Enumerate() override { return nullptr; }
  std::unique_ptr<HidDevice> Open(const std::wstring&, HidAccess, bool) override { return nullptr; }
  std::unique_ptr<HidEvent> NewEvent() override { return nullptr; }
};

}  // namespace kovral::fuzz
