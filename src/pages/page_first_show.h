#pragma once
// What the basic page does the first time it is shown in a run: it reads the
// sensor settings from the mouse (their type chooses the DPI tables) and,
// while the program has never saved its configuration, gives the buttons of
// both modes their factory texts and writes them to str.ini.
namespace kovral {

struct DeviceLink;
struct DeviceImage;
struct MainTexts;
struct PageState;
class SettingsSession;

// Sets SettingsReadOnce; does nothing when it is already set.
void FirstShowingOfBasicPage(DeviceLink& link, DeviceImage& image, SettingsSession& settings,
                             const MainTexts& texts, PageState& pages);

}  // namespace kovral
