#include "device/commands.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "assign/key_function.h"
#include "device/device_link.h"
#include "device/framing.h"
#include "device/protocol.h"
#include "settings/device_config.h"

namespace kovral {
namespace {

using namespace protocol;

// DPI codes per sensor type, indexed by the stage's level.
constexpr std::array<uint8_t, 12> kDpiCodesType0 = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                                                    0x07, 0x08, 0x25, 0x26, 0x27, 0x28};
constexpr std::array<uint8_t, 8> kDpiCodesType1 = {0x01, 0x02, 0x03, 0x04, 0x05, 0x23, 0x24, 0x25};
constexpr std::array<uint8_t, 8> kDpiCodesType2 = {0x02, 0x04, 0x06, 0x08, 0x0A, 0x26, 0x28, 0x2A};
constexpr std::array<uint8_t, 8> kDpiCodesType3 = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};

template <size_t N>
uint8_t CodeAt(const std::array<uint8_t, N>& table, uint8_t level) {
  return level < N ? table[level] : 0;
}

Payload Command(uint8_t code, uint8_t arg1 = 0, uint8_t arg2 = 0) {
  Payload p{};
  p[0] = code;
  p[1] = arg1;
  p[2] = arg2;
  return p;
}

void SetTriple(uint8_t (&triple)[3], uint8_t a, uint8_t b, uint8_t c) {
  triple[0] = a;
  triple[1] = b;
  triple[2] = c;
}

}  // namespace

// The pages keep a stage's level inside its sensor's table. A level beyond
// it (a damaged file, or a sensor type that changed since the level was
// chosen) gets code 0, the code of a sensor type without a table: a value the
// mouse already has to accept, rather than a neighbouring table entry.
uint8_t DpiCode(uint8_t sensorType, uint8_t level) {
  switch (sensorType) {
    case 0: return CodeAt(kDpiCodesType0, level);
    case 1: return CodeAt(kDpiCodesType1, level);
    case 2: return CodeAt(kDpiCodesType2, level);
    case 3: return CodeAt(kDpiCodesType3, level);
    default: return 0;
  }
}

void PrepareDpiCodes(const DeviceConfig& config, DeviceImage& image) {
  for (int stage = 0; stage < kDpiStageCount; ++stage) {
    const uint8_t code = DpiCode(image.activeSensorType, config.dpiLevel[stage]);
    image.dpiCodes[stage] = config.dpiEnabled[stage] == 0 ? static_cast<uint8_t>(code | kDpiDisabledBit)
                                                         : static_cast<uint8_t>(code & ~kDpiDisabledBit);
  }
  for (size_t i = kDpiStageCount; i < kDpiCodesSize; ++i) image.dpiCodes[i] = kDpiDisabledBit;
}

LightingDefined MapLighting(const DeviceConfig& config, DeviceImage& image) {
  uint8_t(&effect)[3] = image.lightEffect;
  uint8_t(&params)[3] = image.lightParams[0];
  LightingDefined defined;
  switch (config.lightMode) {
    case 1:  // Standard
      effect[0] = 1;
      effect[1] = static_cast<uint8_t>(config.lightBrightness + 1);
      effect[2] = 2;
      defined.effect = true;
      params[0] = 1;
      break;
    case 2:  // Respiration
      effect[0] = 2;
      effect[1] = static_cast<uint8_t>(config.respirationPeriod + 1);
      if (config.respirationEffect == 1) {
        effect[2] = 2;
        defined.effect = true;
        params[0] = 1;
      } else if (config.respirationEffect == 2) {
        effect[2] = 3;
        defined.effect = true;
        SetTriple(params, 2, 125, 3);
        defined.firstTriple = true;
      }
      break;
    case 3:  // Neon
      effect[0] = 3;
      effect[1] = static_cast<uint8_t>(config.neonPeriod + 1);
      if (config.neonEffect == 2) {
        SetTriple(params, 2, 100, 10);
        defined.firstTriple = true;
      } else if (config.neonEffect == 3) {
        SetTriple(params, 3, 5, 5);
        defined.firstTriple = true;
      }
      break;
    default:  // the mouse's own values go back unchanged
      break;
  }
  return defined;
}

void WriteReportRate(DeviceLink& link, uint8_t reportRate) {
  Payload p = Command(kCmdReportRate, reportRate);
  Transact(link, p);
}

namespace {

// A single-report query whose answer bytes 1..N are stored as they come;
// true when the mouse answered.
template <size_t N>
bool QueryValues(DeviceLink& link, uint8_t code, uint8_t (&values)[N]) {
  Payload p = Command(code);
  const ExchangeResult result = Transact(link, p);
  std::copy(p.begin() + 1, p.begin() + 1 + N, values);
  return result.sent && result.answered;
}

// A single-report write carrying the values in payload bytes 1..N.
template <size_t N>
void WriteValues(DeviceLink& link, uint8_t code, const uint8_t (&values)[N]) {
  Payload p = Command(code);
  std::copy(values, values + N, p.begin() + 1);
  Transact(link, p);
}

}  // namespace

bool ReadSensorSettings(DeviceLink& link, DeviceImage& image) {
  return QueryValues(link, kQuerySensor, image.sensorSettings);
}

void WriteSensorSettings(DeviceLink& link, const DeviceImage& image) {
  WriteValues(link, kCmdSensor, image.sensorSettings);
}

// The buffer is cleared once: the second request goes out over the first
// answer, so its bytes 2..6 carry what the mouse answered for index 0. The
// mouse may rely on that, so it is kept.
// A failed query still leaves its zero image in the triple it names (index 0),
// so a triple counts as read only while its last store was a real answer.
IndexSet ReadLightParams(DeviceLink& link, DeviceImage& image) {
  static_assert(std::tuple_size_v<IndexSet> == kLightParamsCount);
  IndexSet read{};
  Payload p{};
  for (uint8_t index = 0; index < kLightParamsCount; ++index) {
    p[0] = kQueryLightParams;
    p[1] = index;
    const ExchangeResult result = Transact(link, p);
    // An answer naming another index has nowhere to go.
    if (p[1] < kLightParamsCount) {
      std::copy(p.begin() + 2, p.begin() + 5, image.lightParams[p[1]]);
      read[p[1]] = result.sent && result.answered;
    }
    link.clock.Pause(kFamilyPause);
  }
  return read;
}

void WriteLightParams(DeviceLink& link, const DeviceImage& image, const IndexSet& indexes) {
  for (uint8_t index = 0; index < kLightParamsCount; ++index) {
    if (!indexes[index]) continue;
    Payload p = Command(kCmdLightParams, index);
    std::copy(image.lightParams[index], image.lightParams[index] + 3, p.begin() + 2);
    Transact(link, p);
    link.clock.Pause(kFamilyPause);
  }
}

bool ReadLightEffect(DeviceLink& link, DeviceImage& image) {
  return QueryValues(link, kQueryLightEffect, image.lightEffect);
}

void WriteLightEffect(DeviceLink& link, const DeviceImage& image) {
  WriteValues(link, kCmdLightEffect, image.lightEffect);
}

IndexSet TransferStageBlocks(DeviceLink& link, DeviceImage& image, Transfer direction, const IndexSet& indexes) {
  static_assert(std::tuple_size_v<IndexSet> == kStageBlockCount);
  ExchangeSequence sequence(link);
  if (direction == Transfer::Write) {
    for (uint8_t index = 0; index < kStageBlockCount; ++index) {
      if (!indexes[index]) continue;
      DataArea data{};
      Payload p = Command(kCmdStageBlock, index, kStageBlockSize);
      std::copy(image.stageBlocks[index], image.stageBlocks[index] + kStageBlockSize, data.begin());
      TransactData(link, p, data);
      link.clock.Pause(kFamilyPause);
    }
    return indexes;
  }
  IndexSet read{};
  for (uint8_t index = 0; index < kStageBlockCount; ++index) {
    DataArea data{};
    Payload p = Command(kQueryStageBlock, index);
    const ExchangeResult result = TransactData(link, p, data);
    // Only an answer naming one of the two blocks is stored, and no more of
    // it than the block holds. A failed query names block 0 with no bytes:
    // it changes nothing, so it does not undo an earlier answer.
    if (p[1] < kStageBlockCount) {
      const size_t count = std::min<size_t>(p[kCountByte], kStageBlockSize);
      std::copy(data.begin(), data.begin() + count, image.stageBlocks[p[1]]);
      if (result.sent && result.answered) read[p[1]] = true;
    }
    link.clock.Pause(kFamilyPause);
  }
  return read;
}

void WriteDpiCodes(DeviceLink& link, const DeviceImage& image) {
  Payload p = Command(kCmdDpiCodes, kDpiCodesArgument, kDpiCodesSize);
  DataArea data{};
  std::copy(image.dpiCodes, image.dpiCodes + kDpiCodesSize, data.begin());
  TransactData(link, p, data);
}

void WriteKeyMatrices(DeviceLink& link, const DeviceImage& image) {
  ExchangeSequence sequence(link);
  for (size_t matrix = 1; matrix <= protocol::kKeyMatrixCount; ++matrix) {
    Payload p = Command(kCmdKeyMatrix, static_cast<uint8_t>(matrix), kKeyMatrixSize);
    DataArea data{};
    std::copy(image.keyMatrices[matrix - 1], image.keyMatrices[matrix - 1] + kKeyMatrixSize, data.begin());
    TransactData(link, p, data);
    link.clock.Pause(kFamilyPause);
  }
}

void WriteMacroSlots(DeviceLink& link, const DeviceImage& image) {
  ExchangeSequence sequence(link);
  for (size_t slot = 1; slot <= protocol::kMacroSlotCount; ++slot) {
    Payload p = Command(kCmdMacro, static_cast<uint8_t>(slot), kMacroSlotBytes);
    DataArea data{};
    std::copy(image.macroImage[slot - 1], image.macroImage[slot - 1] + kMacroSlotBytes, data.begin());
    TransactData(link, p, data);
    link.clock.Pause(kFamilyPause);
  }
}

void ReadMacroSlots(DeviceLink& link, DeviceImage& image) {
  ExchangeSequence sequence(link);
  for (size_t slot = 1; slot <= protocol::kMacroSlotCount; ++slot) {
    Payload p = Command(kQueryMacro, static_cast<uint8_t>(slot));
    DataArea data{};
    TransactData(link, p, data);
    // Slots are numbered from 1; an answer naming no slot is dropped.
    const uint8_t answered = p[1];
    if (answered >= 1 && answered <= protocol::kMacroSlotCount) {
      const size_t count = std::min<size_t>(p[kCountByte], kMacroSlotBytes);
      std::copy(data.begin(), data.begin() + count, image.macroImage[answered - 1]);
    }
    link.clock.Pause(kFamilyPause);
  }
}

// A sensor whose settings could not be read is left alone: writing back the
// zero image would reconfigure it with values the mouse never reported.
void RefreshSensor(DeviceLink& link, DeviceImage& image) {
  ExchangeSequence sequence(link);
  const bool answered = ReadSensorSettings(link, image);
  image.activeSensorType = image.sensorSettings[0];
  if (!answered) return;
  image.sensorSettings[3] |= kSensorOption2Bit;
  WriteSensorSettings(link, image);
}

void SendFamilies(DeviceLink& link, const DeviceConfig& config, DeviceImage& image,
                  const CommandFamilies& families) {
  ExchangeSequence sequence(link);
  if (families.reportRate) WriteReportRate(link, config.reportRate);
  bool effectRead = false;
  IndexSet triplesToWrite{};
  if (families.lighting) {
    effectRead = ReadLightEffect(link, image);
    triplesToWrite = ReadLightParams(link, image);
  }
  IndexSet blocksToWrite{};
  if (families.dpiStages) blocksToWrite = TransferStageBlocks(link, image, Transfer::Read);

  // What the mouse did not report is not written back: its zero image
  // would overwrite the mouse's own tuning and lighting with values it
  // never had. Values the program sets entirely itself are always sent.
  LightingDefined defined;
  if (families.lighting) {
    defined = MapLighting(config, image);
    if (defined.firstTriple) triplesToWrite[0] = true;
  }
  if (families.dpiStages) {
    // Block 1 carries the stage colours; block 0 goes back as the mouse gave it.
    std::copy(config.dpiColor, config.dpiColor + kStageColorBytes, image.stageBlocks[1]);
    std::fill(image.stageBlocks[1] + kStageColorBytes, image.stageBlocks[1] + kStageBlockSize, 0);
    blocksToWrite[1] = true;
    TransferStageBlocks(link, image, Transfer::Write, blocksToWrite);
  }
  if (families.lighting) {
    WriteLightParams(link, image, triplesToWrite);
    if (effectRead || defined.effect) WriteLightEffect(link, image);
  }
  if (families.dpiStages) {
    PrepareDpiCodes(config, image);
    WriteDpiCodes(link, image);
  }
  if (families.macroSlots) {
    static_assert(sizeof image.macroImage == sizeof config.macroSlots);
    std::memcpy(image.macroImage, config.macroSlots, sizeof image.macroImage);
    WriteMacroSlots(link, image);
    ReadMacroSlots(link, image);
  }
  if (families.keyMatrices) {
    BuildKeyMatrices(config, image.keyMatrices);
    WriteKeyMatrices(link, image);
  }
}

bool Apply(DeviceLink& link, const DeviceConfig& config, DeviceImage& image, const std::function<void()>& saveAll) {
  bool complete = false;
  // Until this Apply has gone through, the mouse may hold any mix of the
  // record before and this one.
  link.lastSent.reset();
  link.mouseChangedSettings = false;
  const uint64_t faults = link.exchangeFaults;
  {
    ExchangeSequence sequence(link);
    SendFamilies(link, config, image, CommandFamilies{});
    complete = !sequence.Stalled();
  }
  if (complete && link.exchangeFaults == faults) link.lastSent = SentRecord{config, image.activeSensorType};
  if (saveAll) saveAll();
  return complete;
}

}  // namespace kovral
