#pragma once
// The DPI values shown beside the levels of a DPI stage. They are labels
// only: the mouse receives the level index, and which DPI an index means
// depends on its sensor.
#include <cstdint>
#include <string>
#include <vector>

namespace kovral {

// Labels of levels 1..n for a sensor type, as the DPI block draws them:
// types 1, 2 and 3 have eight levels, every other type the twelve-level list.
const std::vector<std::wstring>& DpiStepLabels(uint8_t sensorType);

// The label of a stored dpiLevel (0-based) as a notice names it. Only sensor
// types 0..3 have a list here, and a level past the list gives an empty text.
std::wstring DpiLevelLabel(uint8_t sensorType, uint8_t dpiLevel);

}  // namespace kovral
