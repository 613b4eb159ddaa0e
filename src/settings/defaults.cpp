#include "settings/defaults.h"

namespace kovral {

void RestoreDefaultAssignment(DeviceConfig& config) {
  for (int mode = 0; mode < 2; ++mode) {
    AssignmentTable& table = LayerTable(config, mode);
    for (int button = 0; button < kButtonCount; ++button) table.functionIndex[button] = kFactoryFunctionIndex[button];
    LayerDpiAction(config, mode)[kFactoryDpiButton] = kFactoryDpiAction;
  }
}

void RestorePointerDefaults(DeviceConfig& config) {
  config.enhancePrecision = 0;
  config.scrollOneScreen = 0;
  config.pointerSpeed = 6;
  config.scrollLines = 3;
  config.doubleClickSpeed = 6;
}

// The factory record. Its DPI levels index the sensor's step list, and the
// shortest list has eight steps, so every level stays below 8: stages 2, 4, 5
// and 8 give 800/1200/1600/3200 DPI on the most common sensor. Every stage is
// on, so the DPI button cycles through all four; the colours tell the stages
// apart. Lighting starts in Standard at full brightness; the other modes'
// fields hold values from the middle of their lists so that choosing them
// later shows something sensible.
DeviceConfig FactoryConfig() {
  DeviceConfig config{};
  RestoreDefaultAssignment(config);
  RestorePointerDefaults(config);
  config.reportRate = 1;  // 1 ms interval: 1000 Hz
  constexpr uint8_t kLevels[kDpiStageCount] = {1, 3, 4, 7};
  constexpr uint8_t kColors[kDpiStageCount * 3] = {
      255, 0, 0,    // stage 1 red
      0, 255, 0,    // stage 2 green
      0, 0, 255,    // stage 3 blue
      255, 255, 0,  // stage 4 yellow
  };
  for (int stage = 0; stage < kDpiStageCount; ++stage) {
    config.dpiLevel[stage] = kLevels[stage];
    config.dpiEnabled[stage] = 1;
  }
  for (int i = 0; i < kDpiStageCount * 3; ++i) config.dpiColor[i] = kColors[i];
  config.lightMode = 1;          // Standard
  config.lightBrightness = 9;    // "100%"
  config.respirationPeriod = 2;  // "6S"
  config.neonPeriod = 3;         // "2S"
  config.standardEffect = 1;
  config.respirationEffect = 1;  // "RGB Effect"
  config.neonEffect = 2;         // "RGB Flash"
  config.editedMode = 0;
  return config;
}

}  // namespace kovral
