#include "pages/page_pointer_linux.h"

#include <gio/gio.h>

#include <algorithm>
#include <cmath>

namespace kovral {
namespace {

constexpr char kMouseSchema[] = "org.gnome.desktop.peripherals.mouse";
constexpr char kSpeedKey[] = "speed";
constexpr char kAccelKey[] = "accel-profile";
constexpr char kDoubleClickKey[] = "double-click";
// Windows' thresholds and acceleration with "Enhance pointer precision" on.
constexpr int kAdaptiveMouse[3] = {6, 10, 1};

// Writes reach the desktop's store at once: another program (the desktop's
// own panel) reads them from there.
class GSettingsPointerSettings final : public PointerSettingsApi {
 public:
  explicit GSettingsPointerSettings(const char* schemaId) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema = source ? g_settings_schema_source_lookup(source, schemaId, TRUE) : nullptr;
    if (!schema) {
      missingSchema_ = true;
      return;
    }
    hasSpeed_ = g_settings_schema_has_key(schema, kSpeedKey);
    hasAccel_ = g_settings_schema_has_key(schema, kAccelKey);
    hasDoubleClick_ = g_settings_schema_has_key(schema, kDoubleClickKey);
    settings_ = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
  }
  ~GSettingsPointerSettings() override {
    if (settings_) g_object_unref(settings_);
  }
  GSettingsPointerSettings(const GSettingsPointerSettings&) = delete;
  GSettingsPointerSettings& operator=(const GSettingsPointerSettings&) = delete;

  bool GetMouse(int& threshold1, int& threshold2, int& acceleration) override {
    if (!settings_ || !hasAccel_) return false;
    gchar* profile = g_settings_get_string(settings_, kAccelKey);
    WindowsMouseFromGnome(profile ? profile : "", threshold1, threshold2, acceleration);
    g_free(profile);
    return true;
  }
  bool GetMouseSpeed(int& speed) override {
    if (!settings_ || !hasSpeed_) return false;
    speed = WindowsSpeedFromGnome(g_settings_get_double(settings_, kSpeedKey));
    return true;
  }
  bool GetWheelScrollLines(uint32_t&) override { return false; }
  bool GetDoubleClickTime(uint32_t& milliseconds) override {
    if (!settings_ || !hasDoubleClick_) return false;
    const int value = g_settings_get_int(settings_, kDoubleClickKey);
    if (value <= 0) return false;
    milliseconds = static_cast<uint32_t>(value);
    return true;
  }
  bool SetMouse(int, int, int acceleration) override {
    if (!settings_ || !hasAccel_) return false;
    return Written(g_settings_set_string(settings_, kAccelKey, GnomeAccelProfile(acceleration)));
  }
  bool SetMouseSpeed(int speed) override {
    if (!settings_ || !hasSpeed_) return false;
    return Written(g_settings_set_double(settings_, kSpeedKey, GnomeSpeedFromWindows(speed)));
  }
  bool SetWheelScrollLines(uint32_t) override { return false; }
  bool SetDoubleClickTime(uint32_t milliseconds) override {
    if (!settings_ || !hasDoubleClick_ || milliseconds == 0 || milliseconds > 5000) return false;
    return Written(g_settings_set_int(settings_, kDoubleClickKey, static_cast<int>(milliseconds)));
  }

  std::wstring NoHomeReason(Setting setting) const override {
    if (setting == Setting::Wheel)
      return L"This desktop has no setting for the lines a wheel notch scrolls; each program decides.";
    if (missingSchema_) return L"This desktop keeps no GNOME mouse settings (org.gnome.desktop.peripherals.mouse).";
    const bool has = setting == Setting::Precision ? hasAccel_ : setting == Setting::Speed ? hasSpeed_ : hasDoubleClick_;
    return has ? std::wstring() : L"This desktop's mouse settings have no such key.";
  }

 private:
  // A key the administrator locked refuses the write.
  static bool Written(gboolean accepted) {
    if (!accepted) return false;
    g_settings_sync();
    return true;
  }

  GSettings* settings_ = nullptr;
  bool missingSchema_ = false;
  bool hasSpeed_ = false;
  bool hasAccel_ = false;
  bool hasDoubleClick_ = false;
};

}  // namespace

double GnomeSpeedFromWindows(int speed) {
  speed = std::clamp(speed, 1, 20);
  return speed <= 10 ? (speed - 10) / 9.0 : (speed - 10) / 10.0;
}

int WindowsSpeedFromGnome(double speed) {
  if (!std::isfinite(speed)) return 10;
  speed = std::clamp(speed, -1.0, 1.0);
  const double windows = speed <= 0 ? 10 + 9 * speed : 10 + 10 * speed;
  return std::clamp(static_cast<int>(std::lround(windows)), 1, 20);
}

const char* GnomeAccelProfile(int acceleration) { return acceleration != 0 ? "adaptive" : "flat"; }

void WindowsMouseFromGnome(const std::string& profile, int& threshold1, int& threshold2, int& acceleration) {
  const bool flat = profile == "flat";
  threshold1 = flat ? 0 : kAdaptiveMouse[0];
  threshold2 = flat ? 0 : kAdaptiveMouse[1];
  acceleration = flat ? 0 : kAdaptiveMouse[2];
}

std::unique_ptr<PointerSettingsApi> MakeGSettingsPointerSettings(const char* schemaId) {
  return std::make_unique<GSettingsPointerSettings>(schemaId);
}

std::unique_ptr<PointerSettingsApi> MakeSystemPointerSettings() { return MakeGSettingsPointerSettings(kMouseSchema); }

}  // namespace kovral
