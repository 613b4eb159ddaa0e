#pragma once
// What OK, Apply and kvctl's apply do with the record: the whole Apply
// sequence to the mouse, and inside it, at the point the sequence saves,
// config.bin and the button texts of str.ini.
namespace kovral {

struct DeviceImage;
struct DeviceLink;
class SettingsSession;

// True when both files were saved; each failure has been shown.
bool ApplyAndSave(DeviceLink& link, DeviceImage& image, SettingsSession& settings);

}  // namespace kovral
