#include "device/record_switch.h"

#include <cstddef>
#include <cstring>

#include "assign/key_function.h"
#include "device/device_link.h"
#include "device/framing.h"
#include "settings/device_config.h"

namespace kovral {
namespace {

template <typename T>
bool SameBytes(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The record's lighting bytes, mode to the last effect, as MapLighting reads them.
bool SameLighting(const DeviceConfig& a, const DeviceConfig& b) {
  const size_t first = offsetof(DeviceConfig, lightMode);
  const size_t end = offsetof(DeviceConfig, neonEffect) + 1;
  return std::memcmp(reinterpret_cast<const uint8_t*>(&a) + first, reinterpret_cast<const uint8_t*>(&b) + first,
                     end - first) == 0;
}

}  // namespace

CommandFamilies DifferingFamilies(const SentRecord& sent, const DeviceConfig& config, uint8_t sensorType) {
  CommandFamilies differ;
  differ.reportRate = sent.config.reportRate != config.reportRate;
  differ.lighting = !SameLighting(sent.config, config);
  // The DPI codes depend on the sensor type too; the stage colours go in block 1.
  DeviceImage before{}, after{};
  before.activeSensorType = sent.sensorType;
  after.activeSensorType = sensorType;
  PrepareDpiCodes(sent.config, before);
  PrepareDpiCodes(config, after);
  differ.dpiStages = !SameBytes(before.dpiCodes, after.dpiCodes) || !SameBytes(sent.config.dpiColor, config.dpiColor);
  differ.macroSlots = !SameBytes(sent.config.macroSlots, config.macroSlots);
  BuildKeyMatrices(sent.config, before.keyMatrices);
  BuildKeyMatrices(config, after.keyMatrices);
  differ.keyMatrices = !SameBytes(before.keyMatrices, after.keyMatrices);
  return differ;
}

SwitchResult Switch(DeviceLink& link, const DeviceConfig& config, DeviceImage& image) {
  SwitchResult result;
  if (!link.lastSent || link.mouseChangedSettings) {
    result.full = true;
    const uint64_t faults = link.exchangeFaults;
    RefreshSensor(link, image);
    const bool refreshed = link.exchangeFaults == faults;
    Apply(link, config, image, {});
    // A sensor type that was not read may have given the wrong DPI codes.
    if (!refreshed) link.lastSent.reset();
    result.complete = link.lastSent.has_value();
    return result;
  }
  result.sent = DifferingFamilies(*link.lastSent, config, image.activeSensorType);
  // From here the mouse may hold a mix of both records until the families are through.
  link.lastSent.reset();
  link.mouseChangedSettings = false;
  const uint64_t faults = link.exchangeFaults;
  bool stalled = false;
  {
    ExchangeSequence sequence(link);
    SendFamilies(link, config, image, result.sent);
    stalled = sequence.Stalled();
  }
  if (!stalled && link.exchangeFaults == faults) link.lastSent = SentRecord{config, image.activeSensorType};
  result.complete = link.lastSent.has_value();
  return result;
}

}  // namespace kovral
