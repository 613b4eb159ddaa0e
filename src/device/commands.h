#pragma once
// The mouse's command set, one operation per command family, and the two
// sequences built from them: the sensor refresh and Apply.
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
// lightEffect and lightParams[0] from the record's lighting bytes; fields the
// mode does not name keep what the mouse last reported.
void MapLighting(const DeviceConfig& config, DeviceImage& image);

// Command families. Queries store their answers in the image.
void WriteReportRate(DeviceLink& link, uint8_t reportRate);           // 0x01
bool ReadSensorSettings(DeviceLink& link, DeviceImage& image);        // 0x83; true when answered
void WriteSensorSettings(DeviceLink& link, const DeviceImage& image);  // 0x03
void ReadLightParams(DeviceLink& link, DeviceImage& image);           // 0x87, both indexes
void WriteLightParams(DeviceLink& link, const DeviceImage& image);    // 0x07, both indexes
void ReadLightEffect(DeviceLink& link, DeviceImage& image);           // 0x8D
void WriteLightEffect(DeviceLink& link, const DeviceImage& image);    // 0x0D
enum class Transfer { Write, Read };
void TransferStageBlocks(DeviceLink& link, DeviceImage& image, Transfer direction);  // 0x10 / 0x90
void WriteDpiCodes(DeviceLink& link, const DeviceImage& image);       // 0x11
void WriteKeyMatrices(DeviceLink& link, const DeviceImage& image);    // 0x12, all four
void WriteMacroSlots(DeviceLink& link, const DeviceImage& image);     // 0x13, all twelve
void ReadMacroSlots(DeviceLink& link, DeviceImage& image);            // 0x93, all twelve

// Reads the sensor settings, takes the sensor type as the active one and
// writes the settings back with bit 6 of Option2 set.
void RefreshSensor(DeviceLink& link, DeviceImage& image);

// Sends the whole record to the mouse, then calls `saveAll` (which saves the
// configuration file, then the INI settings). Runs to the end whatever the
// mouse answers; the caller runs it only while the link is ready.
void Apply(DeviceLink& link, const DeviceConfig& config, DeviceImage& image, const std::function<void()>& saveAll);

}  // namespace kovral
