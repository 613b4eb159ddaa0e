#include "device/apply_and_save.h"

#include "device/commands.h"
#include "settings/settings_session.h"

namespace kovral {

bool ApplyAndSave(DeviceLink& link, DeviceImage& image, SettingsSession& settings) {
  bool saved = false;
  Apply(link, settings.config, image, [&] { saved = settings.SaveAll(); });
  return saved;
}

}  // namespace kovral
