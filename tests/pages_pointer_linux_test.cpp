#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "pages/page_pointer_linux.h"

namespace kovral {
namespace {

TEST(GnomePointer, EveryWindowsSpeedComesBackAndTheDefaultsAndEndsMeet) {
  for (int speed = 1; speed <= 20; ++speed) EXPECT_EQ(WindowsSpeedFromGnome(GnomeSpeedFromWindows(speed)), speed);
  EXPECT_DOUBLE_EQ(GnomeSpeedFromWindows(10), 0.0);
  EXPECT_DOUBLE_EQ(GnomeSpeedFromWindows(1), -1.0);
  EXPECT_DOUBLE_EQ(GnomeSpeedFromWindows(20), 1.0);
  EXPECT_DOUBLE_EQ(GnomeSpeedFromWindows(0), -1.0);  // out of range: the nearest end
  EXPECT_EQ(WindowsSpeedFromGnome(0.0), 10);
  EXPECT_EQ(WindowsSpeedFromGnome(-0.5), 6);  // 10 - 4.5, halves away from zero
  EXPECT_EQ(WindowsSpeedFromGnome(0.25), 13);
  EXPECT_EQ(WindowsSpeedFromGnome(7.0), 20);
  EXPECT_EQ(WindowsSpeedFromGnome(std::nan("")), 10);

  int mouse[3] = {-1, -1, -1};
  WindowsMouseFromGnome("default", mouse[0], mouse[1], mouse[2]);
  EXPECT_EQ(mouse[2], 1);  // libinput's default for a mouse is adaptive
  WindowsMouseFromGnome("flat", mouse[0], mouse[1], mouse[2]);
  EXPECT_EQ(mouse[0] | mouse[1] | mouse[2], 0);
  EXPECT_STREQ(GnomeAccelProfile(0), "flat");
  EXPECT_STREQ(GnomeAccelProfile(1), "adaptive");
}

// The memory backend keeps the desktop's real schema without touching the
// user's settings.
class GnomePointerStore : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("GSETTINGS_BACKEND", "memory", 1); }
};

TEST_F(GnomePointerStore, WritesLandInTheKeysAndReadsComeBackInWindowsTerms) {
  auto api = MakeSystemPointerSettings();
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  GSettingsSchema* schema =
      source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.peripherals.mouse", TRUE) : nullptr;
  if (!schema) GTEST_SKIP() << "gsettings-desktop-schemas is not installed";
  GSettings* keys = g_settings_new_full(schema, nullptr, nullptr);
  g_settings_schema_unref(schema);

  ASSERT_TRUE(api->SetMouseSpeed(20));
  EXPECT_DOUBLE_EQ(g_settings_get_double(keys, "speed"), 1.0);
  ASSERT_TRUE(api->SetMouse(0, 0, 0));
  gchar* profile = g_settings_get_string(keys, "accel-profile");
  EXPECT_STREQ(profile, "flat");
  g_free(profile);
  ASSERT_TRUE(api->SetDoubleClickTime(620));
  EXPECT_EQ(g_settings_get_int(keys, "double-click"), 620);
  EXPECT_FALSE(api->SetDoubleClickTime(0));

  g_settings_set_double(keys, "speed", -1.0);
  g_settings_set_string(keys, "accel-profile", "default");
  int speed = 0, mouse[3] = {0, 0, 0};
  uint32_t time = 0, lines = 77;
  ASSERT_TRUE(api->GetMouseSpeed(speed));
  EXPECT_EQ(speed, 1);
  ASSERT_TRUE(api->GetMouse(mouse[0], mouse[1], mouse[2]));
  EXPECT_EQ(mouse[2], 1);
  ASSERT_TRUE(api->GetDoubleClickTime(time));
  EXPECT_EQ(time, 620u);

  // The wheel has no home here: no read, no write, and a reason to show.
  EXPECT_FALSE(api->GetWheelScrollLines(lines));
  EXPECT_EQ(lines, 77u);
  EXPECT_FALSE(api->SetWheelScrollLines(3));
  EXPECT_FALSE(api->NoHomeReason(PointerSettingsApi::Setting::Wheel).empty());
  EXPECT_TRUE(api->NoHomeReason(PointerSettingsApi::Setting::Speed).empty());
  g_object_unref(keys);
}

TEST_F(GnomePointerStore, WithoutTheSchemaEverySettingHasNoHomeAndNothingIsTouched) {
  auto api = MakeGSettingsPointerSettings("org.example.no-such-schema");
  int speed = 4;
  EXPECT_FALSE(api->GetMouseSpeed(speed));
  EXPECT_EQ(speed, 4);
  EXPECT_FALSE(api->SetMouseSpeed(10));
  EXPECT_FALSE(api->SetMouse(6, 10, 1));
  for (auto setting : {PointerSettingsApi::Setting::Precision, PointerSettingsApi::Setting::Speed,
                       PointerSettingsApi::Setting::Wheel, PointerSettingsApi::Setting::DoubleClick})
    EXPECT_FALSE(api->NoHomeReason(setting).empty());
}

}  // namespace
}  // namespace kovral
