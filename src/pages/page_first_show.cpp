#include "pages/page_first_show.h"

#include <string>

#include "device/commands.h"
#include "lang/main_texts.h"
#include "pages/page_state.h"
#include "settings/settings_session.h"

namespace kovral {

void FirstShowingOfBasicPage(DeviceLink& link, DeviceImage& image, SettingsSession& settings,
                             const MainTexts& texts, PageState& pages) {
  if (pages.SettingsReadOnce) return;
  RefreshSensor(link, image);
  if (settings.firstRunFlag == 0) {
    settings.SetFirstRunButtonTexts(texts);
    settings.SaveFirstRunButtonTexts();
  }
  pages.SettingsReadOnce = true;
}

}  // namespace kovral
