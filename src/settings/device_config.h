#pragma once
// The configuration record: everything the user sets for the mouse and the
// pointer settings, byte for byte as config.bin stores it after its flag byte.
#include <cstddef>
#include <cstdint>

namespace kovral {

constexpr int kButtonCount = 8;
constexpr int kDpiStageCount = 4;
constexpr int kMacroSlotCount = 12;
constexpr int kMacroSlotSize = 128;

#pragma pack(push, 1)
// One layer's button assignments: sixteen arrays, one byte per button.
struct AssignmentTable {
  uint8_t functionIndex[kButtonCount];
  uint8_t mediaIndex[kButtonCount];
  uint8_t mediaUsage[kButtonCount];
  uint8_t windowsIndex[kButtonCount];
  uint8_t windowsUsageLow[kButtonCount];
  uint8_t windowsUsageHigh[kButtonCount];
  uint8_t fireKeyIndex[kButtonCount];
  uint8_t fireKeyCode[kButtonCount];
  uint8_t fireSpeed[kButtonCount];
  uint8_t fireTimes[kButtonCount];
  uint8_t singleKeyCode[kButtonCount];
  uint8_t comboModifiers[kButtonCount];
  uint8_t comboKey1[kButtonCount];
  uint8_t comboKey2[kButtonCount];
  uint8_t macroIndex[kButtonCount];
  uint8_t macroMode[kButtonCount];
};

struct DeviceConfig {
  AssignmentTable modeA;
  uint8_t reserved0[5];
  uint8_t reportRate;  // report interval in ms: 1, 2, 4, 8
  uint8_t reserved1;
  uint8_t dpiLevel[kDpiStageCount];
  uint8_t dpiEnabled[kDpiStageCount];
  uint8_t dpiColor[kDpiStageCount * 3];  // red, green, blue per stage
  uint8_t lightMode;
  uint8_t lightBrightness;
  uint8_t respirationPeriod;
  uint8_t neonPeriod;
  uint8_t standardEffect;
  uint8_t respirationEffect;
  uint8_t neonEffect;
  uint8_t reserved2;
  uint8_t macroSlots[kMacroSlotCount][kMacroSlotSize];
  uint8_t enhancePrecision;
  uint8_t scrollOneScreen;
  uint8_t pointerSpeed;
  uint8_t scrollLines;
  uint8_t doubleClickSpeed;
  uint8_t editedMode;  // 0 = Mode A, 1 = Mode B
  AssignmentTable modeB;
  uint8_t dpiActionA[kButtonCount];
  uint8_t dpiActionB[kButtonCount];
};
#pragma pack(pop)

static_assert(sizeof(AssignmentTable) == 128);
static_assert(offsetof(AssignmentTable, functionIndex) == 0);
static_assert(offsetof(AssignmentTable, mediaIndex) == 8);
static_assert(offsetof(AssignmentTable, mediaUsage) == 16);
static_assert(offsetof(AssignmentTable, windowsIndex) == 24);
static_assert(offsetof(AssignmentTable, windowsUsageLow) == 32);
static_assert(offsetof(AssignmentTable, windowsUsageHigh) == 40);
static_assert(offsetof(AssignmentTable, fireKeyIndex) == 48);
static_assert(offsetof(AssignmentTable, fireKeyCode) == 56);
static_assert(offsetof(AssignmentTable, fireSpeed) == 64);
static_assert(offsetof(AssignmentTable, fireTimes) == 72);
static_assert(offsetof(AssignmentTable, singleKeyCode) == 80);
static_assert(offsetof(AssignmentTable, comboModifiers) == 88);
static_assert(offsetof(AssignmentTable, comboKey1) == 96);
static_assert(offsetof(AssignmentTable, comboKey2) == 104);
static_assert(offsetof(AssignmentTable, macroIndex) == 112);
static_assert(offsetof(AssignmentTable, macroMode) == 120);

static_assert(sizeof(DeviceConfig) == 1849);
static_assert(offsetof(DeviceConfig, modeA) == 0);
static_assert(offsetof(DeviceConfig, reserved0) == 128);
static_assert(offsetof(DeviceConfig, reportRate) == 133);
static_assert(offsetof(DeviceConfig, reserved1) == 134);
static_assert(offsetof(DeviceConfig, dpiLevel) == 135);
static_assert(offsetof(DeviceConfig, dpiEnabled) == 139);
static_assert(offsetof(DeviceConfig, dpiColor) == 143);
static_assert(offsetof(DeviceConfig, lightMode) == 155);
static_assert(offsetof(DeviceConfig, lightBrightness) == 156);
static_assert(offsetof(DeviceConfig, respirationPeriod) == 157);
static_assert(offsetof(DeviceConfig, neonPeriod) == 158);
static_assert(offsetof(DeviceConfig, standardEffect) == 159);
static_assert(offsetof(DeviceConfig, respirationEffect) == 160);
static_assert(offsetof(DeviceConfig, neonEffect) == 161);
static_assert(offsetof(DeviceConfig, reserved2) == 162);
static_assert(offsetof(DeviceConfig, macroSlots) == 163);
static_assert(offsetof(DeviceConfig, enhancePrecision) == 1699);
static_assert(offsetof(DeviceConfig, scrollOneScreen) == 1700);
static_assert(offsetof(DeviceConfig, pointerSpeed) == 1701);
static_assert(offsetof(DeviceConfig, scrollLines) == 1702);
static_assert(offsetof(DeviceConfig, doubleClickSpeed) == 1703);
static_assert(offsetof(DeviceConfig, editedMode) == 1704);
static_assert(offsetof(DeviceConfig, modeB) == 1705);
static_assert(offsetof(DeviceConfig, dpiActionA) == 1833);
static_assert(offsetof(DeviceConfig, dpiActionB) == 1841);

// The layer's table and DPI actions by mode number (0 = Mode A, 1 = Mode B).
inline AssignmentTable& LayerTable(DeviceConfig& c, int mode) { return mode == 0 ? c.modeA : c.modeB; }
inline const AssignmentTable& LayerTable(const DeviceConfig& c, int mode) { return mode == 0 ? c.modeA : c.modeB; }
inline uint8_t* LayerDpiAction(DeviceConfig& c, int mode) { return mode == 0 ? c.dpiActionA : c.dpiActionB; }
inline const uint8_t* LayerDpiAction(const DeviceConfig& c, int mode) { return mode == 0 ? c.dpiActionA : c.dpiActionB; }

// Values read from the mouse or prepared for it during Apply; never saved.
struct DeviceImage {
  uint8_t sensorSettings[4]{};  // Sensor Type, Rate, Option1, Option2
  uint8_t activeSensorType = 0;
  uint8_t lightEffect[3]{};     // Effect, Option1, Option2
  uint8_t lightParams[2][3]{};
  uint8_t dpiCodes[8]{};
  uint8_t stageBlocks[2][24]{};
  uint8_t keyMatrices[4][64]{};  // four KeyMatrix wire images
  uint8_t macroImage[kMacroSlotCount][kMacroSlotSize]{};
};

}  // namespace kovral
