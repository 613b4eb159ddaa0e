// The Linux program: the Qt 6 shell over the portable core. One copy per
// user session; its files are the user's ($XDG_CONFIG_HOME/kovral, shared
// with kvctl), its skins come with it.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/launch_options.h"
#include "app/single_instance_qt.h"
#include "app/sim_channel_qt.h"
#include "app/tray_qt.h"
#include "app/tray_rules.h"
#include "device/clock.h"
#include "device/hid_system.h"
#include "lang/language.h"
#include "lang/main_texts.h"
#include "lang/messages.h"
#include "pages/page_click.h"
#include "pages/page_scene.h"
#include "profiles/profile_menu.h"
#include "settings/app_paths.h"
#include "settings/config_file.h"
#include "settings/defaults.h"
#include "settings/ini_store.h"
#include "settings/settings_session.h"
#include "settings/text_encoding.h"
#include "settings/user_folder.h"
#include "sim/sim_mouse.h"
#include "simctl/sim_channel.h"
#include "ui/font_choice.h"
#include "ui/skin_files.h"
#include "ui/skin_path.h"
#include "view/main_window_qt.h"
#include "view/message_box_qt.h"
#include "view/page_hover.h"
#include "view/scene_painter_qt.h"

namespace kovral {
namespace {

const char* Env(const char* name) { return std::getenv(name); }

// The Windows language id of the desktop's language, which the portable
// "System default" rule takes: the Chinese of the mainland and Singapore,
// of Taiwan, Hong Kong and Macau, anything else English.
uint16_t SystemLangId() {
  const QLocale locale;
  if (locale.language() != QLocale::Chinese) return 0x0409;
  switch (locale.territory()) {
    case QLocale::Taiwan: return 0x0404;
    case QLocale::HongKong: return 0x0C04;
    case QLocale::Macao: return 0x1404;
    case QLocale::Singapore: return 0x1004;
    default: return locale.script() == QLocale::TraditionalChineseScript ? 0x0404 : 0x0804;
  }
}

// The folder holding "Skins": beside the program (a build, an unpacked
// folder), else the installed share folder.
std::wstring SkinsHome(const std::wstring& programFolder) {
  for (const std::wstring& home : {programFolder, programFolder + L"../share/kovral/"}) {
    if (std::filesystem::is_directory(ToUtf8(SkinFolderFor(home, kDefaultSkinName)))) return home;
  }
  return programFolder;
}

// The files of the user: the folder is made on the first start, with the
// factory config.bin an installation ships (flag 0: a first run).
AppPaths UserPaths(ConfigFileSystem& files, const std::wstring& modulePath) {
  std::wstring folder = UserConfigFolder(Env);
  if (folder.empty()) folder = PathsFromModulePath(modulePath).directory;
  std::error_code ignored;
  std::filesystem::create_directories(ToUtf8(folder), ignored);
  chmod(ToUtf8(folder).c_str(), 0700);
  AppPaths paths;
  paths.modulePath = modulePath;
  paths.directory = folder;
  paths.configBin = folder + L"config.bin";
  paths.recordIni = folder + L"record.ini";
  paths.strIni = folder + L"str.ini";
  if (!files.Exists(paths.configBin)) files.WriteNew(paths.configBin, ConfigFileBytes(FactoryConfig(), 0));
  return paths;
}

void AppendScene(Scene& to, const Scene& from) {
  for (const SceneItem& item : from.items()) {
    switch (item.kind) {
      case SceneItem::Kind::Image: to.AddImage(item.image, item.rect); break;
      case SceneItem::Kind::Text: to.AddText(item.text, item.rect, item.format, item.color, item.font); break;
      case SceneItem::Kind::Fill: to.AddFill(item.rect, item.color); break;
    }
  }
}

}  // namespace

int RunQtProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  app.setApplicationName(QStringLiteral("kovral"));
  InstallFontSubstitutesQt();

  std::unique_ptr<MainWindowQt> window;
  SingleInstanceQt instance;
  if (!instance.Claim(SessionSocketPath(kInstanceChannelName, Env, getuid()), [&window] {
        if (window) window->Present();
      }))
    return 0;

  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  const std::wstring modulePath = ModulePath();
  MessageBoxQt messages(L"Kovral");
  const LaunchDecision launch = DecideLaunch(false, args);
  if (!launch.message.empty()) messages.Show(launch.message, L"");
  if (!launch.run) return launch.exitCode;
  const LaunchOptions& options = launch.options;
  // These answer parts of the main window this program does not have yet;
  // taking them silently would let a test believe they ran.
  if (options.check || !options.traceFile.empty() || !options.shellLog.empty() || options.pickColor ||
      options.pickColorCancel) {
    const std::wstring refusal = L"--check, --trace, --shell-log and --pick-color are not available in the Linux program.";
    std::fprintf(stderr, "kovral: %s\n", ToUtf8(refusal).c_str());
    messages.Show(refusal, L"");
    return 2;
  }

  std::unique_ptr<Clock> clock = MakeSystemClock();
  std::unique_ptr<SimMouse> sim;
  std::unique_ptr<HidPlatform> hid;
  std::unique_ptr<SimChannelQt> simChannel;
  if (options.simulate) {
    SimOptions simOptions;
    simOptions.sensorType = static_cast<uint8_t>(options.sensorType);
    simOptions.recordLimit = 512;  // a simulated mouse left running for hours keeps no history
    sim = std::make_unique<SimMouse>(*clock, simOptions);
    hid = std::make_unique<SimHidPlatform>(*sim);
    simChannel = std::make_unique<SimChannelQt>(*sim, nullptr);
    if (!simChannel->Listen(SessionSocketPath(kSimChannelName, Env, getuid())))
      messages.Show(L"The control socket of the simulated mouse could not be made.", kCaptionWarning);
  } else {
    hid = MakeSystemHidPlatform();
  }

  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  std::unique_ptr<IniStore> ini = MakeSystemIniStore();
  SettingsSession session(UserPaths(*files, modulePath), *ini, *files, messages);
  session.Load();
  const bool strIniExisted = files->Exists(session.paths().strIni);
  const LanguageChoice choice = StartLanguageChoice(strIniExisted, session.ReadLanguageCode());
  if (!strIniExisted) WriteLanguageCode(*ini, session.paths().strIni, LanguageChoiceCode(choice));
  const UiLanguage language = EffectiveLanguage(choice, SystemLangId());
  const std::wstring languageCode = LanguageCode(language);
  const MainTexts& texts = MainTextsFor(language);
  session.SetLanguage(language);
  session.ReadInterfaceSettings();
  if (session.firstRunFlag == 0) session.SetFirstRunButtonTexts(texts);

  // The window takes its size from "/main.png": one that cannot be read
  // counts as missing.
  const std::wstring skinsHome = SkinsHome(PathsFromModulePath(modulePath).directory);
  const StartSkin skin = ChooseStartSkin(skinsHome, session.ui.skinName, [](const std::wstring& path) {
    const QString file = QString::fromStdWString(path);
    return path.ends_with(skin::kMain) ? QImageReader(file).canRead() : std::filesystem::exists(ToUtf8(path));
  });
  if (skin.fellBack) messages.Show(texts.skinIncomplete, kCaptionWarning);
  const QSize mainSize = QImageReader(QString::fromStdWString(skin.folder + skin::kMain)).size();
  const TextColorBytes color = TextColorFromSettings(session.ui);
  const ui::Rgb textColor{color.red, color.green, color.blue};

  window = std::make_unique<MainWindowQt>();
  window->setWindowTitle(QString::fromWCharArray(texts.trayTip));
  window->setWindowIcon(QIcon(QStringLiteral(":/kovral.ico")));
  window->SetUnitSize({std::max(1, mainSize.width()), std::max(1, mainSize.height())});
  window->SetSkin(skin.folder, ui::FontsForLanguageCode(languageCode, ui::WindowsVersion{6, 2}));

  // Until the page objects come over, the window shows the basic page as
  // the record has it, with the hover looks, and its common buttons hide
  // the window or end the program.
  HoverTracker hover;
  hover.SetTables({layout::CommonElements(), layout::BasicElements()});
  const uint8_t sensorType = static_cast<uint8_t>(options.sensorType);
  auto repaint = [&] {
    Scene scene;
    scene.AddImage(skin::kMain, layout::Rect{0, 0, mainSize.width(), mainSize.height()});
    const PageView view{session.config, session.ui, texts, sensorType, textColor};
    AppendScene(scene, BuildBasicScene(view, [&hover](const layout::Element& e) { return hover.IsLit(&e); }));
    window->SetScene(std::move(scene));
  };
  MainWindowQt::Handlers handlers;
  // The steps of a click run in order up to the first this window cannot
  // take yet (Apply and the rest come with the main window's model): OK must
  // never hide a window whose record it did not send.
  handlers.press = [&](layout::Point p) {
    for (ClickStep step : RouteCommonClick(p, 1, sim != nullptr)) {
      switch (step) {
        case ClickStep::RevertConfig:  // nothing is edited here yet
          continue;
        case ClickStep::HideWindow:
          window->hide();
          return true;
        case ClickStep::ExitProgram:
          QApplication::quit();
          return true;
        case ClickStep::BasicPagePart:
        case ClickStep::Drag:
          return false;
        default:
          return true;
      }
    }
    return false;
  };
  handlers.move = [&](layout::Point p) {
    bool track = false;
    HoverTracker::Redraw redraw = hover.OnMouseMove(p, track);
    if (track) redraw = hover.OnMouseHover(p);
    if (!redraw.empty()) repaint();
  };
  handlers.leave = [&] {
    bool track = false;
    if (!hover.OnMouseMove(layout::Point{-1, -1}, track).empty()) repaint();
  };
  window->SetHandlers(std::move(handlers));
  repaint();

  TrayQt::Handlers trayHandlers;
  trayHandlers.state = [&] {
    TrayMenuState state;
    static const ProfileListing noProfiles;
    ProfilesMenuState profiles;
    profiles.listing = &noProfiles;
    profiles.mousePresent = sim != nullptr;
    state.profiles = ProfilesMenu(texts, profiles);
    state.importEnabled = sim != nullptr;
    return state;
  };
  trayHandlers.chosen = [](uint32_t command) {
    if (command == kTrayMenuExitCommand) QApplication::quit();
  };
  trayHandlers.activated = [&window] { window->Present(); };
  TrayQt tray(QIcon(QStringLiteral(":/kovral.ico")), texts, std::move(trayHandlers));
  tray.Show();
  return app.exec();
}

}  // namespace kovral

int main(int argc, char** argv) { return kovral::RunQtProgram(argc, argv); }
