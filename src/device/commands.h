#pragma once
// The mouse's command set, one operation per command family, and the two
// sequences built from them: the sensor refresh and Apply.
#include <array>
#include <cstdint>
#include <functional>

namespace kovral {

struct DeviceLink;
struct DeviceConfig;
struct DeviceImage;

// DPI code of `level` in the table of `sensorType`; 0 outside the tables.
uint8_t DpiCode(uint8_t sensorType, uint8_t level);

// dpiCodes from the record's stages and the active sensor type.
void PrepareDpiCodes(const DeviceConfig& config, DeviceImage& image);

// What the lighting mapping set entirely by itself, whatever the mouse reported.
struct LightingDefined {
  bool effect = false;       // all three fields of lightEffect
  bool firstTriple = false;  // all three bytes of lightParams[0]
};

// lightEffect and lightParams[0] from the record's lighting bytes; fields the
// mode does not name keep what the mouse last reported.
LightingDefined MapLighting(const DeviceConfig& config, DeviceImage& image);

// One flag per index of an indexed family (lighting triples, stage blocks).
// For a read: the indexes whose image now holds an answer of the mouse. For a
// write: the indexes to send.
using IndexSet = std::array<bool, 2>;
inline constexpr IndexSet kBothIndexes = {true, true};

// Command families. Queries store their answers in the image.
void WriteReportRate(DeviceLink& link, uint8_t reportRate);           // 0x01
bool ReadSensorSettings(DeviceLink& link, DeviceImage& image);        // 0x83; true when answered
void WriteSensorSettings(DeviceLink& link, const DeviceImage& image);  // 0x03
IndexSet ReadLightParams(DeviceLink& link, DeviceImage& image);       // 0x87, both indexes
void WriteLightParams(DeviceLink& link, const DeviceImage& image,
                      const IndexSet& indexes = kBothIndexes);        // 0x07
bool ReadLightEffect(DeviceLink& link, DeviceImage& image);           // 0x8D; true when answered
void WriteLightEffect(DeviceLink& link, const DeviceImage& image);    // 0x0D
enum class Transfer { Write, Read };
// 0x10 / 0x90. A read queries both blocks and returns the ones answered; a
// write sends the blocks in `indexes` and returns them.
IndexSet TransferStageBlocks(DeviceLink& link, DeviceImage& image, Transfer direction,
                             const IndexSet& indexes = kBothIndexes);
void WriteDpiCodes(DeviceLink& link, const DeviceImage& image);       // 0x11
void WriteKeyMatrices(DeviceLink& link, const DeviceImage& image);    // 0x12, all four
void WriteMacroSlots(DeviceLink& link, const DeviceImage& image);     // 0x13, all twelve
void ReadMacroSlots(DeviceLink& link, DeviceImage& image);            // 0x93, all twelve

// Reads the sensor settings, takes the sensor type as the active one and
// writes the settings back with bit 6 of Option2 set.
void RefreshSensor(DeviceLink& link, DeviceImage& image);

// The command families a record reaches the mouse in. Apply sends them all.
struct CommandFamilies {
  bool reportRate = true;   // 0x01
  bool lighting = true;     // 0x8D, 0x87 and what they write back: 0x07, 0x0D
  bool dpiStages = true;    // 0x90, 0x10 (the stage colours) and 0x11 (levels and on/off)
  bool macroSlots = true;   // 0x13, then 0x93
  bool keyMatrices = true;  // 0x12
  bool operator==(const CommandFamilies&) const = default;
};

// The families named, each whole, in Apply's order and with its pauses, as
// one exchange sequence; the rest of Apply's sequence is left out.
void SendFamilies(DeviceLink& link, const DeviceConfig& config, DeviceImage& image, const CommandFamilies& families);

// Sends the whole record to the mouse, then calls `saveAll` (which saves the
// configuration file, then the INI settings). Runs to the end whatever the
// mouse answers; the caller runs it only while the link is ready. Values the
// program only carries back from the mouse (stage block 0, the lighting
// triples, the effect fields the mapping leaves alone) are written back only
// when this Apply read them. False when the sequence was cut short because an
// exchange timed out or stalled (see ExchangeSequence): the mouse did not get
// the whole record, though the files were still saved. An Apply in which no
// exchange went wrong becomes the link's last sent record.
bool Apply(DeviceLink& link, const DeviceConfig& config, DeviceImage& image, const std::function<void()>& saveAll);

}  // namespace kovral
