#pragma once
// The mouse's wire protocol: identifiers, command codes, report and data-phase
// sizes, notification codes and the pauses that pace the exchanges. Every
// number the link puts on the wire or checks comes from here.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kovral::protocol {

// USB identity of the mouse.
constexpr uint16_t kVendorId = 0x04D9;
constexpr uint16_t kProductId = 0xA09F;

// The two vendor-defined collections the program uses.
constexpr uint16_t kConfigUsagePage = 0xFF00;  // every command, as feature reports
constexpr uint16_t kConfigUsage = 0xFF00;
constexpr uint16_t kNotifyUsagePage = 0xFF01;  // on-mouse changes, as input reports
constexpr uint16_t kNotifyUsage = 0xFF01;

// Command payload: byte 0 the code, bytes 1..6 arguments, byte 7 the checksum.
constexpr size_t kPayloadSize = 8;
constexpr size_t kChecksumIndex = 7;
constexpr uint8_t kQueryBit = 0x80;  // set in the code: the mouse answers with a payload

// Report buffers. A feature report carries the payload in bytes 1..8 after the
// report ID; a data-phase report carries one 32-byte chunk in bytes 1..32.
constexpr size_t kFeatureBufferSize = 16;
constexpr size_t kDataBufferSize = 40;
constexpr size_t kNotifyBufferSize = 40;
constexpr size_t kReportPayloadOffset = 1;
constexpr size_t kReportChecksumIndex = kReportPayloadOffset + kChecksumIndex;  // 8
constexpr size_t kChunkSize = 32;
constexpr size_t kDataAreaSize = 128;
constexpr size_t kMaxDataChunks = kDataAreaSize / kChunkSize;  // 4
// Byte of the request (writes) or of the answer (queries) holding the data-phase size.
constexpr size_t kDataCountIndex = 2;

// Command codes.
constexpr uint8_t kHandshake = 0x00;
constexpr uint8_t kWriteReportRate = 0x01;
constexpr uint8_t kWriteSensor = 0x03;
constexpr uint8_t kQuerySensor = 0x83;
constexpr uint8_t kWriteLightParams = 0x07;
constexpr uint8_t kQueryLightParams = 0x87;
constexpr uint8_t kWriteLightEffect = 0x0D;
constexpr uint8_t kQueryLightEffect = 0x8D;
constexpr uint8_t kWriteStageBlock = 0x10;
constexpr uint8_t kQueryStageBlock = 0x90;
constexpr uint8_t kWriteDpiCodes = 0x11;
constexpr uint8_t kWriteKeyMatrix = 0x12;
constexpr uint8_t kWriteMacro = 0x13;
constexpr uint8_t kQueryMacro = 0x93;

// The handshake's challenge, payload bytes 1..4; the mouse echoes it.
constexpr std::array<uint8_t, 4> kChallenge = {0xAA, 0xDD, 0x3B, 0x62};

// Sizes of the data phases and of their destinations. The macro slots' count
// and size belong to the record (device_config.h), the key matrices' count to
// the key codes (key_function.h).
constexpr uint8_t kStageBlockCount = 2;
constexpr size_t kStageBlockSize = 24;
constexpr size_t kStageColorBytes = 12;  // red, green, blue of stages 1..4
constexpr uint8_t kDpiCodesSelector = 4;  // byte 1 of command 0x11
constexpr size_t kDpiCodesSize = 8;
constexpr uint8_t kDpiDisabledBit = 0x80;
constexpr size_t kKeyMatrixSize = 64;
constexpr uint8_t kLightParamsCount = 2;
constexpr uint8_t kSensorOption2WriteBit = 0x40;  // set in Option2 when the sensor settings are written back

// Notification input report on the notification collection.
constexpr uint8_t kNotifyReportId = 6;
constexpr size_t kNotifyCodeIndex = 1;
constexpr size_t kNotifyValueIndex = 3;

// Codes of the device event message to the main window.
constexpr int kNotifyReportRate = 5;
constexpr int kNotifyDpiStage = 7;
constexpr int kNotifyKeyMatrix = 8;
constexpr int kNotifyMacroKey = 9;
constexpr int kNotifyDeviceReady = 14;
constexpr int kNotifyDeviceAbsent = 15;

// Pauses. They are part of the protocol: the mouse needs them.
constexpr std::chrono::microseconds kHandshakePause{5000};  // between the challenge and its answer
constexpr std::chrono::microseconds kFamilyPause{2000};     // after each indexed command of a repeated family
constexpr std::chrono::microseconds kChunkPause{3000};      // after each output chunk of a data phase

// Longest wait for one data-phase report. A mouse answers a chunk within a few
// milliseconds; this only bounds what a mouse that stopped answering costs.
constexpr std::chrono::milliseconds kDataPhaseTimeout{700};

// Interface-change events and the device type they must carry.
constexpr uint32_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
constexpr uint32_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
constexpr uint32_t kDeviceTypeInterface = 5;        // DBT_DEVTYP_DEVICEINTERFACE

}  // namespace kovral::protocol
