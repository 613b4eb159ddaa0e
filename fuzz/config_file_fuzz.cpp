// config.bin as the program loads it, then everything that reads the loaded
// record: the readable report, the key matrices and DPI codes Apply sends,
// the pointer values, both pages' scenes and their click and list rules,
// Apply itself (with no mouse attached), the save of config.bin after it, and
// the record's profile, which must import to the same bytes.
//
// Input: the first 1850 bytes are config.bin (shorter inputs are padded with
// zeros; an empty one is a missing file and one under eight bytes a file of
// the wrong size). Any bytes after them choose the sensor type, the language
// and a sequence of page events.
#include <cstring>
#include <span>

#include "assign/key_function.h"
#include "device/clock.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "fuzz_support.h"
#include "lang/main_texts.h"
#include "pages/advanced_page.h"
#include "pages/basic_page.h"
#include "view/layout.h"
#include "pages/page_pointer.h"
#include "pages/page_scene.h"
#include "pages/page_state.h"
#include "settings/config_file.h"
#include "profiles/config_report.h"
#include "settings/ini_store.h"
#include "profiles/profile.h"
#include "settings/settings_session.h"

namespace kovral::fuzz {
namespace {

// The system's pointer settings as a plain store that always answers.
class StoredPointerSettings final : public PointerSettingsApi {
 public:
  bool GetMouse(int& t1, int& t2, int& a) override {
    t1 = mouse[0], t2 = mouse[1], a = mouse[2];
    return true;
  }
  bool GetMouseSpeed(int& s) override { return s = speed, true; }
  bool GetWheelScrollLines(uint32_t& l) override { return l = lines, true; }
  bool GetDoubleClickTime(uint32_t& ms) override { return ms = doubleClick, true; }
  bool SetMouse(int t1, int t2, int a) override { return mouse[0] = t1, mouse[1] = t2, mouse[2] = a, true; }
  bool SetMouseSpeed(int s) override { return speed = s, true; }
  bool SetWheelScrollLines(uint32_t l) override { return lines = l, true; }
  bool SetDoubleClickTime(uint32_t ms) override { return doubleClick = ms, true; }

  int mouse[3] = {6, 10, 1};
  int speed = 10;
  uint32_t lines = 3;
  uint32_t doubleClick = 500;
};

layout::Point Centre(const layout::Element& e) {
  return {(e.rect.left + e.rect.right) / 2, (e.rect.top + e.rect.bottom) / 2};
}

layout::Point PickPoint(FuzzedDataProvider& in, std::span<const layout::Element> elements) {
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0)  // now and then anywhere on the window
    return {in.ConsumeIntegralInRange<int>(-10, 900), in.ConsumeIntegralInRange<int>(-10, 700)};
  return Centre(elements[in.ConsumeIntegralInRange<size_t>(0, elements.size() - 1)]);
}

void DrivePages(FuzzedDataProvider& in, SettingsSession& session, const MainTexts& texts, uint8_t& sensorType) {
  DeviceConfig& config = session.config;
  StoredPointerSettings api;
  RecordingMessageSink messages;
  SystemPointerSettings pointer(api, messages);
  pointer.ReadOnce(config);
  BasicPageModel basic(config, session.ui, texts, sensorType);
  AdvancedPageModel advanced(config, pointer);
  basic.Painted();
  for (int step = 0; step < 32 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 10)) {
      case 0: basic.Click(PickPoint(in, layout::BasicElements())); break;
      case 1: advanced.Click(PickPoint(in, layout::AdvancedElements())); break;
      case 2: basic.ChooseFunction(kKeyListIdFirst + in.ConsumeIntegralInRange<int>(-1, 8),
                                   in.ConsumeIntegralInRange<int>(-2, 17)); break;
      case 3: basic.HoverFunction(kKeyListIdFirst + in.ConsumeIntegralInRange<int>(-1, 8),
                                  in.ConsumeIntegralInRange<int>(-2, 17)); break;
      case 4: basic.ChooseDpi(in.ConsumeIntegralInRange<int>(-2, 4)); break;
      case 5: basic.ChooseLight(layout::kLightModeListId + in.ConsumeIntegralInRange<int>(-1, 3),
                                in.ConsumeIntegralInRange<int>(-2, 12)); break;
      case 6: basic.SetDpiColor(in.ConsumeIntegralInRange<int>(0, 5),
                                {in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(),
                                 in.ConsumeIntegral<uint8_t>()}); break;
      case 7: sensorType = in.ConsumeIntegral<uint8_t>(); break;  // a device arrival changed it
      case 8: pointer.Apply(config); break;
      case 9: basic.Painted(); break;
      case 10: BuildPageScene(in.ConsumeBool() ? kBasicPage : kAdvancedPage,
                              PageView{config, session.ui, texts, sensorType, {255, 255, 255}});
               break;
    }
  }
  // The pictures of both pages as the events left the record.
  BuildPageScene(kBasicPage, PageView{config, session.ui, texts, sensorType, {255, 255, 255}});
  BuildPageScene(kAdvancedPage, PageView{config, session.ui, texts, sensorType, {0, 0, 0}});
}

}  // namespace
}  // namespace kovral::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovral;
  using namespace kovral::fuzz;

  MemoryFileSystem files;
  const std::wstring configPath = L"config.bin";
  if (size >= 8) {
    std::vector<uint8_t> file(data, data + std::min(size, kConfigFileSize));
    file.resize(kConfigFileSize, 0);
    files.files[configPath] = file;
  } else if (size > 0) {
    files.files[configPath] = std::vector<uint8_t>(data, data + size);
  }
  FuzzedDataProvider in(data + std::min(size, kConfigFileSize), size - std::min(size, kConfigFileSize));

  FileIniStore ini(files);
  RecordingMessageSink messages;
  AppPaths paths;
  paths.configBin = configPath;
  paths.strIni = L"str.ini";
  paths.recordIni = L"record.ini";
  SettingsSession session(paths, ini, files, messages);
  const ConfigLoadResult loaded = session.Load();
  Check((loaded == ConfigLoadResult::kLoaded) == (size >= 8), "a full-sized config.bin loads");

  uint8_t sensorType = in.ConsumeIntegral<uint8_t>();
  const UiLanguage language = static_cast<UiLanguage>(in.ConsumeIntegralInRange<int>(0, 2));
  const MainTexts& texts = MainTextsFor(language);
  session.SetLanguage(language);
  session.ReadInterfaceSettings();
  if (session.firstRunFlag == 0) session.SetFirstRunButtonTexts(texts);

  // Its profile gives back the record and the flag byte for byte.
  ProfileData profile;
  profile.config = session.config;
  profile.configFlag = session.firstRunFlag;
  const ProfileImport imported = ImportProfile(ExportProfile(profile));
  Check(imported.profile.has_value(), "the export of a loaded config.bin imports");
  Check(ConfigFileBytes(imported.profile->config, imported.profile->configFlag) ==
            ConfigFileBytes(profile.config, profile.configFlag),
        "export then import gives back the loaded config.bin");

  // What the command-line tool prints and the program sends for this record.
  DescribeConfig(session.config, session.firstRunFlag, sensorType, {L"one", L"two"});
  DeviceImage image;
  image.activeSensorType = sensorType;
  BuildKeyMatrices(session.config, image.keyMatrices);
  PrepareDpiCodes(session.config, image);
  MapLighting(session.config, image);
  PointerValuesFromRecord(session.config);

  DrivePages(in, session, texts, sensorType);

  // Apply and its save, with the link closed: every exchange finds no device.
  NoHidPlatform platform;
  ManualClock clock;
  DeviceLink link(platform, messages, clock);
  const DeviceConfig applied = session.config;
  bool saved = false;
  Apply(link, session.config, image, [&] { saved = SaveConfig(files, messages, configPath, session.config); });
  Check(saved, "saving to a file system that accepts every write succeeds");

  // What was saved loads back unchanged, now marked as saved by the program.
  DeviceConfig reloaded{};
  uint8_t flag = 0;
  Check(LoadConfig(files, messages, configPath, reloaded, flag) == ConfigLoadResult::kLoaded, "saved file loads");
  Check(flag == 1 && std::memcmp(&reloaded, &applied, sizeof reloaded) == 0, "saved record loads unchanged");
  return 0;
}
