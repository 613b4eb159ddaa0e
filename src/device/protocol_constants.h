#pragma once
// The mouse's protocol in names: identifiers, collections, command codes,
// report layouts, notification codes and the pauses the firmware needs.
// The link and the mouse simulator both take their numbers from here.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kovral::protocol {

// USB identity of the mouse.
inline constexpr uint16_t kVendorId = 0x04D9;
inline constexpr uint16_t kProductId = 0xA09F;

// The two vendor-defined collections the program talks to.
inline constexpr uint16_t kConfigUsagePage = 0xFF00;
inline constexpr uint16_t kConfigUsage = 0xFF00;
inline constexpr uint16_t kNotifyUsagePage = 0xFF01;
inline constexpr uint16_t kNotifyUsage = 0xFF01;

// Command payload: byte 0 the code, bytes 1..6 arguments, byte 7 the checksum.
inline constexpr size_t kPayloadSize = 8;
inline constexpr size_t kChecksumByte = 7;
inline constexpr uint8_t kQueryBit = 0x80;  // set in byte 0: the mouse prepares an answer

inline constexpr uint8_t kCmdHandshake = 0x00;       // query: echo of the challenge
inline constexpr uint8_t kCmdReportRate = 0x01;      // write: byte 1 report interval
inline constexpr uint8_t kCmdSensor = 0x03;          // write: bytes 1..4 sensor settings
inline constexpr uint8_t kCmdLightParams = 0x07;     // write: byte 1 index, 2..4 triple
inline constexpr uint8_t kCmdLightEffect = 0x0D;     // write: bytes 1..3 effect
inline constexpr uint8_t kCmdStageBlock = 0x10;      // write: byte 1 index, byte 2 = 24, data
inline constexpr uint8_t kCmdDpiCodes = 0x11;        // write: byte 1 = 4, byte 2 = 8, data
inline constexpr uint8_t kCmdKeyMatrix = 0x12;       // write: byte 1 matrix 1..4, byte 2 = 64, data
inline constexpr uint8_t kCmdMacro = 0x13;           // write: byte 1 slot 1..12, byte 2 = 128, data
inline constexpr uint8_t kQuerySensor = 0x83;        // answer bytes 1..4 sensor settings
inline constexpr uint8_t kQueryLightParams = 0x87;   // byte 1 index; answer 1 index, 2..4 triple
inline constexpr uint8_t kQueryLightEffect = 0x8D;   // answer bytes 1..3 effect
inline constexpr uint8_t kQueryStageBlock = 0x90;    // byte 1 index; answer 1 index, 2 count, data
inline constexpr uint8_t kQueryMacro = 0x93;         // byte 1 slot; answer 1 slot, 2 count, data

// Handshake challenge, payload bytes 1..4; the mouse echoes them.
inline constexpr std::array<uint8_t, 4> kHandshakeChallenge = {0xAA, 0xDD, 0x3B, 0x62};

// Argument byte positions and fixed values.
inline constexpr size_t kIndexByte = 1;      // index, matrix or slot number
inline constexpr size_t kCountByte = 2;      // data-phase byte count
inline constexpr uint8_t kDpiCodesArgument = 4;

// Report buffers: a feature report is the report ID and the payload; a data
// report is the report ID and one chunk. Reports longer than these buffers are
// not supported.
inline constexpr uint8_t kReportId = 0x00;
inline constexpr size_t kFeatureBufferSize = 16;
inline constexpr size_t kDataBufferSize = 40;
inline constexpr size_t kChunkSize = 32;
inline constexpr size_t kDataAreaSize = 128;  // largest data phase: four chunks
inline constexpr size_t kMaxChunks = kDataAreaSize / kChunkSize;

// Sizes of the mouse's tables.
inline constexpr size_t kSensorSettingsSize = 4;
inline constexpr size_t kLightEffectSize = 3;
inline constexpr size_t kLightParamsCount = 2;
inline constexpr size_t kLightParamsSize = 3;
inline constexpr size_t kStageBlockCount = 2;
inline constexpr size_t kStageBlockSize = 24;
inline constexpr size_t kDpiCodesSize = 8;
inline constexpr size_t kKeyMatrixCount = 4;
inline constexpr size_t kKeyMatrixSize = 64;  // sixteen 4-byte key functions
inline constexpr size_t kMacroSlotCount = 12;
inline constexpr size_t kMacroSlotBytes = 128;

// Notification input reports: byte 0 the report ID, byte 1 the event code,
// byte 3 the value.
inline constexpr uint8_t kNotifyReportId = 6;
inline constexpr size_t kNotifyCodeByte = 1;
inline constexpr size_t kNotifyValueByte = 3;
inline constexpr uint8_t kNotifyReportRate = 5;
inline constexpr uint8_t kNotifyDpiStage = 7;
inline constexpr uint8_t kNotifyKeyMatrix = 8;
inline constexpr uint8_t kNotifyMacroKey = 9;

// Pauses the firmware needs. Each lasts at least this long.
inline constexpr std::chrono::microseconds kHandshakePause{5000};  // between the challenge's set and get
inline constexpr std::chrono::microseconds kFamilyPause{2000};     // after each indexed command or query
inline constexpr std::chrono::microseconds kChunkPause{3000};      // after each output chunk

// Commands sent several times in a row with an index, slot or matrix number;
// each one is followed by kFamilyPause.
constexpr bool IsIndexedFamily(uint8_t code) {
  return code == kQueryLightParams || code == kQueryStageBlock || code == kCmdStageBlock ||
         code == kCmdLightParams || code == kCmdMacro || code == kQueryMacro || code == kCmdKeyMatrix;
}

constexpr bool IsQuery(uint8_t code) { return (code & kQueryBit) != 0; }

// Number of 32-byte chunks that carry `count` data bytes.
constexpr size_t ChunkCount(size_t count) { return (count + kChunkSize - 1) / kChunkSize; }

}  // namespace kovral::protocol
