// The Linux program: the Qt 6 shell over the portable core. One copy per
// user session; its files are the user's ($XDG_CONFIG_HOME/kovral, shared
// with kvctl), its skins come with it.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_globals.h"
#include "app/app_services.h"
#include "app/kovral_dlg_qt.h"
#include "app/launch_options.h"
#include "app/platform_objects.h"
#include "app/shell_opener.h"
#include "app/single_instance_qt.h"
#include "app/sim_channel_qt.h"
#include "app/start_with_windows.h"
#include "device/clock.h"
#include "device/hid_system.h"
#include "dialogs/skin_dialog_qt.h"
#include "lang/messages.h"
#include "pages/page_dialogs_qt.h"
#include "pages/page_pointer.h"
#include "settings/app_paths.h"
#include "settings/config_file.h"
#include "settings/defaults.h"
#include "settings/ini_store.h"
#include "settings/text_encoding.h"
#include "settings/user_folder.h"
#include "sim/sim_mouse.h"
#include "simctl/sim_channel.h"
#include "ui/color_chooser.h"
#include "ui/file_chooser.h"
#include "ui/skin_path.h"
#include "view/message_box_qt.h"
#include "view/scene_painter_qt.h"

namespace kovral {
namespace {

const char* Env(const char* name) { return std::getenv(name); }

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

class ShellOpenerQt final : public ShellOpener {
 public:
  void Open(const std::wstring& address) override {
    QDesktopServices::openUrl(QUrl(QString::fromStdWString(address)));
  }
};

}  // namespace

int RunQtProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  app.setApplicationName(QStringLiteral("kovral"));
  InstallFontSubstitutesQt();

  std::unique_ptr<KovralDlgQt> dialog;
  SingleInstanceQt instance;
  if (!instance.Claim(SessionSocketPath(kInstanceChannelName, Env, getuid()), [&dialog] {
        if (dialog) dialog->ShowFromSecondStart();
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
  // The self-checks drive the Win32 dialog's controls; this program has none of them.
  if (options.check) {
    const std::wstring refusal = L"--check is not available in the Linux program.";
    std::fprintf(stderr, "kovral: %s\n", ToUtf8(refusal).c_str());
    messages.Show(refusal, L"");
    return 2;
  }

  PlatformObjects platform = MakePlatformObjects(options, std::make_unique<ShellOpenerQt>());
  // "Start with the desktop" is the desktop's autostart entry; without a
  // home folder there is nowhere to keep one, and the item does nothing.
  if (const std::wstring configHome = XdgBaseFolder(Env, "XDG_CONFIG_HOME", L".config/"); !configHome.empty())
    platform.runKey = MakeAutostartEntry(*platform.files, configHome);

  std::unique_ptr<SimChannelQt> simChannel;
  if (platform.sim) {
    simChannel = std::make_unique<SimChannelQt>(*platform.sim, nullptr);
    if (!simChannel->Listen(SessionSocketPath(kSimChannelName, Env, getuid())))
      messages.Show(L"The control socket of the simulated mouse could not be made.", kCaptionWarning);
  }

  AppServices services = platform.Lend(messages, options);
  services.paths = UserPaths(*platform.files, modulePath);
  // The user's own skins, then those that came with the program.
  services.skinsHomes = SkinsHomesFor(PathsFromModulePath(modulePath).directory, UserDataFolder(Env),
                                      [](const std::wstring& folder) {
                                        return std::filesystem::is_directory(ToUtf8(folder));
                                      });

  CAssignmentDialogs dialogs([] {
    const AppGlobals& globals = Globals();
    return DialogEnvironment{globals.SkinFolder, globals.TextColor, globals.languageCode};
  });
  dialog = std::make_unique<KovralDlgQt>(services, messages, dialogs);
  CSkinDialog::SetDefaultOwner(&dialog->window());
  dialog->Start();
  const int code = app.exec();
  dialog.reset();
  return code;
}

}  // namespace kovral

int main(int argc, char** argv) { return kovral::RunQtProgram(argc, argv); }
