#pragma once
// Taking the mouse from one record to another quickly: a profile follows the
// program in front, so switches come often and should cost a fraction of an
// Apply. The link remembers the record it last sent in this connection; a
// switch sends only the command families whose bytes differ from it, and a
// full Apply (with the sensor refresh before it) whenever the mouse's state is
// not known for sure. Nothing is saved.
#include "device/commands.h"

namespace kovral {

struct DeviceLink;
struct DeviceConfig;
struct DeviceImage;
struct SentRecord;

// The families whose bytes on the wire would differ between what was sent and
// `config` (for the sensor type the link now uses).
CommandFamilies DifferingFamilies(const SentRecord& sent, const DeviceConfig& config, uint8_t sensorType);

struct SwitchResult {
  bool full = false;      // no record to build on: the sensor refresh and a whole Apply
  bool complete = false;  // the mouse got every family sent, without a fault
  CommandFamilies sent{};
};

// Sends `config` to the mouse. With a remembered record the families that
// differ go out (none when nothing does); without one, or after the mouse
// changed a setting itself, the sensor refresh and then the whole Apply go
// out, exactly as kvctl's apply sends them. A switch that did not complete
// forgets the record, so the next one is a full Apply again. Runs only while
// the link is ready.
SwitchResult Switch(DeviceLink& link, const DeviceConfig& config, DeviceImage& image);

}  // namespace kovral
