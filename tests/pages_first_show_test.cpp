#include <gtest/gtest.h>

#include "device/device_link.h"
#include "sim/sim_mouse.h"
#include "lang/main_texts.h"
#include "pages/page_first_show.h"
#include "pages/page_state.h"
#include "settings/app_paths.h"
#include "settings/ini_store.h"
#include "settings/settings_session.h"
#include "settings_memory_fs.h"

namespace kovral {
namespace {

struct FirstShowHarness {
  explicit FirstShowHarness(uint8_t sensorType) : mouse(clock, Options(sensorType)) {
    link.notify = [](int, int) {};
    EXPECT_TRUE(ConnectDevice(link));
    EXPECT_EQ(link.ready.load(), 1);
  }
  static SimOptions Options(uint8_t sensorType) {
    SimOptions o;
    o.sensorType = sensorType;
    return o;
  }
  std::wstring Item(const wchar_t* section, const wchar_t* key) {
    return ini.Get(settings.paths().strIni, section, key);
  }

  ManualClock clock;
  SimMouse mouse;
  SimHidPlatform platform{mouse};
  RecordingMessageSink messages;
  DeviceLink link{platform, messages, clock};
  DeviceImage image{};
  testing::MemoryFileSystem files;
  FileIniStore ini{files};
  SettingsSession settings{PathsFromModulePath(L"C:\\Kovral\\KALVORIN_DRX_Driver.exe"), ini, files, messages};
  PageState pages;
};

TEST(FirstShowing, ReadsTheSensorSetsItsWriteBitAndWritesFactoryTexts) {
  FirstShowHarness h(2);
  h.settings.firstRunFlag = 0;
  FirstShowingOfBasicPage(h.link, h.image, h.settings, MainTextsFor(UiLanguage::English), h.pages);
  EXPECT_TRUE(h.pages.SettingsReadOnce);
  EXPECT_EQ(h.image.activeSensorType, 2);
  EXPECT_EQ(h.mouse.State().sensorSettings[0], 2);
  EXPECT_EQ(h.mouse.State().sensorSettings[3] & 0x40, 0x40);
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item1"), L"Left Click");
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item5"), L"Backward");
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item6"), L"DPI Loop");
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item8"), L"Key Off");
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item23"), L"Right Click");
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item73"), L"Key Off");
  EXPECT_TRUE(h.messages.messages.empty());
  EXPECT_TRUE(h.mouse.Errors().empty());
}

TEST(FirstShowing, HappensOncePerRun) {
  FirstShowHarness h(0);
  FirstShowingOfBasicPage(h.link, h.image, h.settings, MainTextsFor(UiLanguage::English), h.pages);
  h.mouse.ClearRecord();
  h.ini.Write(h.settings.paths().strIni, L"Setting-EN", L"Item1", L"Macro Key");
  FirstShowingOfBasicPage(h.link, h.image, h.settings, MainTextsFor(UiLanguage::English), h.pages);
  EXPECT_TRUE(h.mouse.Exchanges().empty()) << "the sensor was read twice";
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item1"), L"Macro Key");
}

TEST(FirstShowing, AConfigurationSavedBeforeKeepsTheUsersTexts) {
  FirstShowHarness h(1);
  h.settings.firstRunFlag = 1;
  h.settings.ui.buttonText[0] = L"Fire Key";
  FirstShowingOfBasicPage(h.link, h.image, h.settings, MainTextsFor(UiLanguage::English), h.pages);
  EXPECT_EQ(h.image.activeSensorType, 1);
  EXPECT_EQ(h.settings.ui.buttonText[0], L"Fire Key");
  EXPECT_EQ(h.Item(L"Setting-EN", L"Item1"), L"");
}

TEST(FirstShowing, FactoryTextsComeInTheInterfaceLanguage) {
  FirstShowHarness h(0);
  h.settings.SetLanguageSection(L"Setting-CHT");
  FirstShowingOfBasicPage(h.link, h.image, h.settings, MainTextsFor(UiLanguage::TraditionalChinese), h.pages);
  EXPECT_EQ(h.Item(L"Setting-CHT", L"Item1"), L"左鍵");
  EXPECT_EQ(h.Item(L"Setting-CHT", L"Item6"), L"DPI Loop");
  EXPECT_EQ(h.Item(L"Setting-CHT", L"Item83"), L"按鍵關閉");
}

TEST(FirstShowing, AFactoryTextSaveThatFailsWarnsOncePerRun) {
  FirstShowHarness h(0);
  h.files.failWritesWith = 5;  // a read-only installation folder
  for (int showing = 0; showing < 3; ++showing) {
    h.pages = PageState{};  // the basic page set up anew
    FirstShowingOfBasicPage(h.link, h.image, h.settings, MainTextsFor(UiLanguage::English), h.pages);
  }
  ASSERT_EQ(h.messages.messages.size(), 1u);
  EXPECT_EQ(h.messages.messages[0].caption, L"Warning");
  EXPECT_FALSE(h.settings.SaveButtonTexts());  // a save the user asked for still warns
  EXPECT_EQ(h.messages.messages.size(), 2u);
}

TEST(FirstShowing, WithoutAMouseTheTwelveLevelSensorIsAssumed) {
  FirstShowHarness h(3);
  h.mouse.Unplug();
  ConnectDevice(h.link);
  EXPECT_EQ(h.link.ready.load(), 0);
  h.image.activeSensorType = 3;
  FirstShowingOfBasicPage(h.link, h.image, h.settings, MainTextsFor(UiLanguage::English), h.pages);
  EXPECT_EQ(h.image.activeSensorType, 0);
  EXPECT_TRUE(h.pages.SettingsReadOnce);
}

}  // namespace
}  // namespace kovral
