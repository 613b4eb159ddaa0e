#include <gtest/gtest.h>

#include <cstring>

#include "settings/device_config.h"

namespace kovral {
namespace {

TEST(DeviceConfigLayout, LayersAndDpiActionsAddressTheRightBytes) {
  DeviceConfig c{};
  LayerTable(c, 1).functionIndex[0] = 7;
  LayerDpiAction(c, 1)[5] = 3;
  const auto* raw = reinterpret_cast<const uint8_t*>(&c);
  EXPECT_EQ(raw[1705], 7);
  EXPECT_EQ(raw[1841 + 5], 3);
  LayerTable(c, 0).macroMode[7] = 9;
  EXPECT_EQ(raw[127], 9);
}

}  // namespace
}  // namespace kovral
