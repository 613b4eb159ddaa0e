#pragma once
// The link's side of the wire protocol: what the host adds to the constants it
// shares with the firmware (protocol_constants.h): where the payload sits in a
// report, the values the program itself writes, the codes it reports to the
// main window, its time-out, and the interface-change events it reacts to.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "device/protocol_constants.h"

namespace kovral::protocol {

// A feature report is the report ID and then the payload; the checksum is
// thus report byte 8. A data report is the report ID and then one chunk.
inline constexpr size_t kReportPayloadOffset = 1;
inline constexpr size_t kReportChecksumByte = kReportPayloadOffset + kChecksumByte;
inline constexpr size_t kNotifyBufferSize = 40;

// Stage block 1 starts with the stage colours: red, green, blue of stages 1..4.
inline constexpr size_t kStageColorBytes = 12;
// DPI codes: bit 7 marks a disabled stage; bytes 4..7 always carry it.
inline constexpr uint8_t kDpiDisabledBit = 0x80;
inline constexpr size_t kDpiStageCodes = 4;
// Set in Option2 when the sensor settings are written back.
inline constexpr uint8_t kSensorOption2Bit = 0x40;

// Codes of the device event message to the main window that the link itself
// sends (the others are the notification report's event codes).
inline constexpr int kNotifyDeviceReady = 14;
inline constexpr int kNotifyDeviceAbsent = 15;

// Longest wait for one data-phase report, and the longest any exchange of a
// command sequence may take. A mouse answers within a few milliseconds; this
// only bounds what a mouse that stopped answering, or stalls, costs: once one
// exchange of a sequence took longer (or a data-phase report timed out), the
// sequence's remaining exchanges fail at once, so it costs one such wait per
// command sequence. Feature reports cannot be given a time-out of their own,
// so a stalled one is only noticed when it returns.
inline constexpr std::chrono::milliseconds kDataPhaseTimeout{700};

// Interface-change events and the device type they must carry.
inline constexpr uint32_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
inline constexpr uint32_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
inline constexpr uint32_t kDeviceTypeInterface = 5;        // DBT_DEVTYP_DEVICEINTERFACE
// Interface names of the mouse contain this, in any case.
inline constexpr wchar_t kInterfaceNameId[] = L"vid_04d9&pid_a09f";

}  // namespace kovral::protocol
