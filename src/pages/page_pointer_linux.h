#pragma once
// The desktop's pointer settings on Linux: GNOME's GSettings keys
// (org.gnome.desktop.peripherals.mouse), which GNOME, Cinnamon, Budgie and
// the X and Wayland settings daemons apply to every mouse.
#include <memory>
#include <string>

#include "pages/page_pointer.h"

namespace kovral {

// Windows' pointer speed 1..20 (10 the default) and GNOME's -1..1 (0 the
// default): the default meets the default, the ends meet the ends, linear
// on each side, so every Windows speed comes back as itself.
double GnomeSpeedFromWindows(int speed);
int WindowsSpeedFromGnome(double speed);

// "Enhance pointer precision" is Windows' adaptive acceleration: on
// (acceleration non-zero) is "adaptive", off is "flat". GNOME's "default"
// is libinput's default for a mouse, which is adaptive.
const char* GnomeAccelProfile(int acceleration);
void WindowsMouseFromGnome(const std::string& profile, int& threshold1, int& threshold2, int& acceleration);

// The settings of `schemaId` (the real one, or a test's copy); the keys a
// schema lacks, or a machine without the schema, have no home.
std::unique_ptr<PointerSettingsApi> MakeGSettingsPointerSettings(const char* schemaId);

}  // namespace kovral
