#include "kvctl.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

#include "base/message_sink.h"
#include "device/clock.h"
#include "device/apply_and_save.h"
#include "macro/macro_store.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/framing.h"
#include "sim/sim_mouse.h"
#include "device/hid_system.h"
#include "device/hid_trace.h"
#include "device/record_switch.h"
#include "profiles/profile_library.h"
#include "profiles/sent_marker.h"
#include "lang/language.h"
#include "lang/main_texts.h"
#include "lang/notices.h"
#include "settings/app_paths.h"
#include "settings/config_file.h"
#include "settings/user_folder.h"
#include "profiles/config_report.h"
#include "settings/defaults.h"
#include "settings/ini_store.h"
#include "settings/notice_balloon.h"
#include "profiles/profile.h"
#include "settings/settings_session.h"
#include "settings/text_encoding.h"
#include "settings/ui_settings.h"

namespace kovral {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;    // bad command line or input file
constexpr int kExitDevice = 3;   // no usable mouse

#ifndef KOVRAL_VERSION_TEXT
#define KOVRAL_VERSION_TEXT "1.0.0"
#endif

const char kUsage[] =
    "usage: kvctl <apply|show|listen|factory|export FILE|import FILE|profiles|save NAME|switch NAME...> [options]\n"
    "       kvctl --help | -h | help      kvctl --version\n"
    "  apply   send config.bin to the mouse, then save config.bin and str.ini as the program does\n"
    "  show    print config.bin in words\n"
    "  listen  print the mouse's notices as the program's balloons read\n"
    "  factory write the factory config.bin an installation ships (flag byte 0)\n"
    "  export  write config.bin, record.ini's macros and str.ini's button texts to FILE as a profile\n"
    "  import  check the profile FILE whole, then write config.bin, record.ini and str.ini's button texts\n"
    "          (a profile naming programs is also kept in the profiles' folder under FILE's name)\n"
    "  profiles list the profiles with their programs, broken ones with their reason\n"
    "  save    save config.bin, record.ini's macros and str.ini's button texts as profile NAME\n"
    "  switch  send each named profile to the mouse in turn over one connection, only what differs\n"
    "          from the one before; 'desktop' is config.bin; nothing is saved\n"
    "options:\n"
    "  --config FILE      configuration record (default: config.bin in the default folder)\n"
    "  --record FILE      macro names (default: record.ini in the default folder)\n"
    "  --str FILE         interface settings (default: str.ini in the default folder)\n"
    "  --profiles DIR     the profiles' folder (default: Profiles beside the --config file)\n"
    "  --program EXE      (save) a program the profile is for; repeatable\n"
    "  --replace          (save) replace a profile of that name, keeping its programs without --program\n"
    "  --simulate         use the built-in simulated mouse instead of a real one\n"
    "  --sensor-type N    sensor type the simulated mouse reports (0..255, default 0)\n"
    "  --trace FILE       write every HID call to FILE\n"
    "  --emit CODE:VALUE  (listen --simulate) the simulated mouse sends this notice; repeatable\n"
    "  --stall N:MS       (--simulate) call N on the mouse's configuration collection (from 0, in --trace\n"
    "                     order) takes MS ms longer; repeatable\n"
    "  --count N          (listen) stop after N notices\n"
    "  --seconds N        (listen) stop after N seconds at the latest\n"
#ifdef _WIN32
    "The default folder is kvctl's own.\n";
#else
    "The default folder is $XDG_CONFIG_HOME/kovral (~/.config/kovral), created at the first write.\n";
#endif

struct Options {
  std::wstring command;
  std::wstring profile;             // export and import: the file; save: the name
  std::vector<std::wstring> names;  // switch
  std::optional<std::wstring> config, record, str, trace, profiles;
  std::vector<std::wstring> programs;
  bool replace = false;
  bool simulate = false;
  std::optional<int> sensorType;
  std::vector<std::pair<int, int>> emits;
  std::vector<std::pair<int, int>> stalls;  // (position, milliseconds)
  std::optional<int> count;
  std::optional<int> seconds;
};

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

// Messages meant for a message box go to standard error, one line each.
class ConsoleMessageSink final : public MessageSink {
 public:
  explicit ConsoleMessageSink(std::ostream& err) : err_(err) {}
  void Show(const std::wstring& text, const std::wstring& caption) override {
    std::wstring line = text;
    while (!line.empty() && (line.back() == L'\n' || line.back() == L' ')) line.pop_back();
    err_ << "kvctl: " << (caption.empty() ? "" : Utf8(caption) + ": ") << Utf8(line) << "\n";
  }

 private:
  std::ostream& err_;
};

std::optional<int> ParseInt(const std::wstring& text, int low, int high) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

// Returns the problem in words, or an empty string.
std::string ParseOptions(const std::vector<std::wstring>& args, Options& o) {
  if (args.empty()) return "no command given";
  o.command = args[0];
  const bool profileCommand = o.command == L"export" || o.command == L"import";
  const bool device = o.command == L"apply" || o.command == L"listen" || o.command == L"switch";
  if (!device && o.command != L"show" && o.command != L"factory" && o.command != L"profiles" &&
      o.command != L"save" && !profileCommand)
    return "unknown command '" + Utf8(o.command) + "'";
  size_t first = 1;
  if (profileCommand || o.command == L"save") {
    if (args.size() < 2 || args[1].empty() || args[1].rfind(L"--", 0) == 0)
      return Utf8(o.command) + (profileCommand ? " needs a profile file name" : " needs a profile name");
    o.profile = args[1];
    first = 2;
  }
  if (o.command == L"switch") {
    while (first < args.size() && args[first].rfind(L"--", 0) != 0) o.names.push_back(args[first++]);
    if (o.names.empty()) return "switch needs at least one profile name ('desktop' for config.bin)";
  }
  for (size_t i = first; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    auto value = [&](const char* name) -> const std::wstring* {
      if (i + 1 >= args.size()) return nullptr;
      (void)name;
      return &args[++i];
    };
    if (a == L"--simulate") {
      o.simulate = true;
    } else if (a == L"--replace") {
      o.replace = true;
    } else if (a == L"--program") {
      const std::wstring* v = value(nullptr);
      if (!v) return "option --program needs a program's file name";
      o.programs.push_back(*v);
    } else if (a == L"--profiles") {
      const std::wstring* v = value(nullptr);
      if (!v || v->empty()) return "option --profiles needs a folder";
      o.profiles = *v;
    } else if (a == L"--config" || a == L"--record" || a == L"--str" || a == L"--trace") {
      const std::wstring* v = value(nullptr);
      if (!v || v->empty()) return "option " + Utf8(a) + " needs a file name";
      (a == L"--config" ? o.config : a == L"--record" ? o.record : a == L"--str" ? o.str : o.trace) = *v;
    } else if (a == L"--sensor-type") {
      const std::wstring* v = value(nullptr);
      if (!v) return "option --sensor-type needs a number";
      o.sensorType = ParseInt(*v, 0, 255);
      if (!o.sensorType) return "--sensor-type must be a number from 0 to 255, not '" + Utf8(*v) + "'";
    } else if (a == L"--count") {
      const std::wstring* v = value(nullptr);
      if (!v) return "option --count needs a number";
      o.count = ParseInt(*v, 1, 100000);
      if (!o.count) return "--count must be a number from 1 to 100000, not '" + Utf8(*v) + "'";
    } else if (a == L"--seconds") {
      const std::wstring* v = value(nullptr);
      if (!v) return "option --seconds needs a number";
      o.seconds = ParseInt(*v, 1, 86400);
      if (!o.seconds) return "--seconds must be a number from 1 to 86400, not '" + Utf8(*v) + "'";
    } else if (a == L"--stall") {
      const std::wstring* v = value(nullptr);
      const size_t colon = v ? v->find(L':') : std::wstring::npos;
      std::optional<int> position, ms;
      if (colon != std::wstring::npos) {
        position = ParseInt(v->substr(0, colon), 0, 100000);
        ms = ParseInt(v->substr(colon + 1), 1, 600000);
      }
      if (!position || !ms) return "--stall needs N:MS, a call from 0 to 100000 and 1 to 600000 ms";
      o.stalls.emplace_back(*position, *ms);
    } else if (a == L"--emit") {
      const std::wstring* v = value(nullptr);
      const size_t colon = v ? v->find(L':') : std::wstring::npos;
      std::optional<int> code, val;
      if (colon != std::wstring::npos) {
        code = ParseInt(v->substr(0, colon), 0, 255);
        val = ParseInt(v->substr(colon + 1), 0, 255);
      }
      if (!code || !val) return "--emit needs CODE:VALUE with two numbers from 0 to 255";
      o.emits.emplace_back(*code, *val);
    } else {
      return "unknown option '" + Utf8(a) + "'";
    }
  }
  if ((o.simulate || o.trace) && (o.command == L"profiles" || o.command == L"save"))
    return Utf8(o.command) + " does not talk to the mouse: no --simulate or --trace";
  if (o.profiles && o.command != L"profiles" && o.command != L"save" && o.command != L"switch" &&
      o.command != L"import")
    return "--profiles belongs to profiles, save, switch and import";
  if ((!o.programs.empty() || o.replace) && o.command != L"save") return "--program and --replace belong to save";
  if (o.sensorType && !o.simulate) return "--sensor-type needs --simulate";
  if (!o.emits.empty() && (!o.simulate || o.command != L"listen")) return "--emit needs listen --simulate";
  if (!o.stalls.empty() && !o.simulate) return "--stall needs --simulate";
  if (o.count && o.command != L"listen") return "--count belongs to listen";
  if (o.seconds && o.command != L"listen") return "--seconds belongs to listen";
  if (o.command == L"factory" && (!o.config || o.simulate || o.trace || o.record || o.str))
    return "factory takes only --config FILE";
  if (profileCommand && (o.simulate || o.trace))
    return o.command == L"export" ? "export takes only FILE, --config, --record and --str"
                                  : "import takes only FILE, --config, --record and --str";
  return {};
}

AppPaths ResolvePaths(const Options& o, const std::wstring& modulePath, const std::wstring& defaultFolder) {
  AppPaths paths;
  paths.directory = defaultFolder;
  paths.modulePath = modulePath;
  paths.configBin = o.config.value_or(defaultFolder + L"config.bin");
  paths.recordIni = o.record.value_or(defaultFolder + L"record.ini");
  paths.strIni = o.str.value_or(defaultFolder + L"str.ini");
  return paths;
}

// "Profiles" beside the configuration file kvctl works on, unless named.
std::wstring ProfilesFolder(const Options& o, const AppPaths& paths) {
  if (o.profiles) return *o.profiles;
  const size_t slash = paths.configBin.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring() : paths.configBin.substr(0, slash + 1)) + kProfileFolderName;
}

// The marker of what the mouse was last sent, beside the configuration file
// kvctl works on, as the program keeps it beside config.bin: both write it,
// so neither takes the mouse to hold the Desktop settings when it may not.
std::wstring SentMarkerPath(const AppPaths& paths) {
  const size_t slash = paths.configBin.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring() : paths.configBin.substr(0, slash + 1)) + kSentMarkerName;
}

// The default folder and the folders above it that are missing, made before
// the first file in it is written.
std::string MakeDefaultFolder(ConfigFileSystem& files, const std::wstring& folder) {
  std::vector<std::wstring> missing;
  std::wstring at = folder;
  while (!at.empty() && (at.back() == L'/' || at.back() == L'\\')) at.pop_back();
  while (!at.empty() && !files.Exists(at)) {
    missing.push_back(at);
    const size_t slash = at.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0) break;
    at.erase(slash);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it)
    if (const int error = files.CreateFolder(*it); error != 0)
      return "cannot create the folder " + Utf8(*it) + " (error " + std::to_string(error) + ")";
  return {};
}

// config.bin must be there and whole: kvctl never falls back to the factory
// record, since sending or describing a record the user did not give would mislead.
// Its size is asked first, so a large file, a device or a pipe named by
// --config costs neither memory nor a wait.
std::string CheckConfigFile(ConfigFileSystem& files, const std::wstring& path) {
  if (!files.Exists(path)) return "config file not found: " + Utf8(path);
  const FileRead read = files.Read(path, kConfigFileSize);
  switch (read.status) {
    case FileRead::Status::kNotAFile: return "config file cannot be read (not a regular file): " + Utf8(path);
    case FileRead::Status::kUnreadable: return "config file cannot be read: " + Utf8(path);
    case FileRead::Status::kTooLarge:
    case FileRead::Status::kRead: break;
  }
  if (read.size != kConfigFileSize)
    return "config file has " + std::to_string(read.size) + " bytes, not " + std::to_string(kConfigFileSize) +
           ": " + Utf8(path);
  return {};
}

// record.ini is optional when it is the default one; a file named on the
// command line must exist and be readable. Opening it and reading at most a
// byte tells that; what it holds is read by the INI store.
std::string CheckRecordFile(ConfigFileSystem& files, const std::wstring& path, bool named) {
  if (!files.Exists(path)) return named ? "record file not found: " + Utf8(path) : std::string();
  const FileRead read = files.Read(path, 0);
  if (read.status == FileRead::Status::kNotAFile)
    return "record file cannot be read (not a regular file): " + Utf8(path);
  if (read.status == FileRead::Status::kUnreadable) return "record file cannot be read: " + Utf8(path);
  return {};
}

// Everything a command needs to reach the mouse: the platform, the link and
// the optional trace, owned together so they go away in the right order.
class MouseConnection {
 public:
  MouseConnection(const Options& o, MessageSink& messages) : clock_(MakeSystemClock()) {
    if (o.simulate) {
      SimOptions sim;
      sim.sensorType = static_cast<uint8_t>(o.sensorType.value_or(0));
      mouse_ = std::make_unique<SimMouse>(*clock_, sim);
      for (auto [position, ms] : o.stalls)
        mouse_->StallExchange(static_cast<size_t>(position), std::chrono::milliseconds(ms));
      platform_ = std::make_unique<SimHidPlatform>(*mouse_);
    } else {
      platform_ = MakeSystemHidPlatform();
    }
    link_ = std::make_unique<DeviceLink>(*platform_, messages, *clock_);
    CreateReadEvent(*link_);
    if (o.trace) {
      traceFile_.open(std::filesystem::path(*o.trace), std::ios::binary | std::ios::trunc);
      if (!traceFile_) {
        error_ = "cannot write the trace file: " + Utf8(*o.trace);
        return;
      }
      trace_ = std::make_unique<HidTrace>(traceFile_, *clock_);
      link_->trace = trace_.get();
    }
  }
  ~MouseConnection() {
    if (link_) CloseDevice(*link_);
  }
  MouseConnection(const MouseConnection&) = delete;
  MouseConnection& operator=(const MouseConnection&) = delete;

  const std::string& error() const { return error_; }
  DeviceLink& link() { return *link_; }
  SimMouse* simulated() { return mouse_.get(); }

  // Opens the mouse and runs the handshake; its outcome (14 or 15) reaches
  // the link's notify callback.
  bool Connect() {
    ConnectDevice(*link_);
    return link_->ready.load() != 0;
  }

 private:
  std::unique_ptr<Clock> clock_;
  std::unique_ptr<SimMouse> mouse_;
  std::unique_ptr<HidPlatform> platform_;
  std::unique_ptr<DeviceLink> link_;
  std::ofstream traceFile_;
  std::unique_ptr<HidTrace> trace_;
  std::string error_;
};

// The macros as the program lists them: slot order, at most twelve.
std::vector<std::wstring> MacroNamesOf(IniStore& ini, ConfigFileSystem& files, const std::wstring& recordIni) {
  if (!files.Exists(recordIni)) return {};
  return MacroNames(ini, recordIni);
}

// "SYS" follows the display language, as the program does; off Windows there
// is none to ask, and the texts are English.
uint16_t SystemLanguageId() {
#ifdef _WIN32
  return GetUserDefaultUILanguage();
#else
  return 0x0409;
#endif
}

UiLanguage LanguageOf(SettingsSession& session) {
  return EffectiveLanguage(LanguageChoiceFromCode(session.ReadLanguageCode()), SystemLanguageId());
}

int Show(const Options& o, KvctlIo& io, SettingsSession& session, ConfigFileSystem& files, IniStore& ini) {
  session.Load();
  const auto names = MacroNamesOf(ini, files, session.paths().recordIni);
  io.out << Utf8(DescribeConfig(session.config, session.firstRunFlag,
                                static_cast<uint8_t>(o.sensorType.value_or(0)), names));
  return kExitOk;
}

// Opens the mouse for a command that sends to it: the exit code and what is
// wrong when the options name no usable mouse or none answers, else kExitOk.
int ConnectOrSay(MouseConnection& mouse, KvctlIo& io) {
  if (!mouse.error().empty()) {
    io.err << "kvctl: " << mouse.error() << "\n";
    return kExitUsage;
  }
  if (!mouse.Connect()) {
    io.err << "kvctl: " << Utf8(MainTextsFor(UiLanguage::English).mouseMissingNotice) << "\n";
    return kExitDevice;
  }
  return kExitOk;
}

int Apply(const Options& o, KvctlIo& io, SettingsSession& session, MessageSink& messages) {
  session.Load();
  const UiLanguage language = LanguageOf(session);
  session.SetLanguage(language);
  session.ReadInterfaceSettings();
  MouseConnection mouse(o, messages);
  if (const int refused = ConnectOrSay(mouse, io); refused != kExitOk) return refused;
  DeviceImage image{};
  RefreshSensor(mouse.link(), image);
  // A file the program never saved gets the factory button texts, as the
  // program's first showing of its key page does before the user applies.
  if (session.firstRunFlag == 0) session.SetFirstRunButtonTexts(MainTextsFor(language));
  // This sequence brackets Apply's own, so whether it was cut short by a
  // mouse that stopped answering can still be asked once the saves are done.
  ExchangeSequence sequence(mouse.link());
  SentMarker marker(session.files(), SentMarkerPath(session.paths()));
  marker.Sending(L"");
  if (!ApplyAndSave(mouse.link(), image, session)) return kExitUsage;
  if (!sequence.Stalled() && mouse.link().lastSent) marker.DesktopHeld();
  session.Commit();
  if (sequence.Stalled()) {
    io.err << "kvctl: the mouse stopped answering in time, so it did not get the whole record; saved "
           << Utf8(session.paths().configBin) << " and " << Utf8(session.paths().strIni)
           << "; apply again once the mouse answers\n";
    return kExitDevice;
  }
  io.out << "applied to the " << (o.simulate ? "simulated " : "") << "mouse (sensor type "
         << int(image.activeSensorType) << "); saved " << Utf8(session.paths().configBin) << " and "
         << Utf8(session.paths().strIni) << "\n";
  return kExitOk;
}

int Listen(const Options& o, KvctlIo& io, SettingsSession& session, MessageSink& messages) {
  session.Load();
  const UiLanguage language = LanguageOf(session);
  MouseConnection mouse(o, messages);
  if (!mouse.error().empty()) {
    io.err << "kvctl: " << mouse.error() << "\n";
    return kExitUsage;
  }
  DeviceLink& link = mouse.link();
  DeviceImage image{};

  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::pair<int, int>> pending;
  link.notify = [&](int code, int value) {
    std::lock_guard lock(mutex);
    pending.emplace_back(code, value);
    changed.notify_all();
  };
  auto print = [&](int code, int value) {
    const auto balloon = NoticeBalloon(language, static_cast<uint64_t>(code), value, session.config,
                                       image.activeSensorType);
    if (balloon) io.out << Utf8(balloon->title) << ": " << Utf8(balloon->text) << "\n";
    io.out.flush();
  };

  const bool ready = mouse.Connect();
  {
    std::lock_guard lock(mutex);
    for (auto [code, value] : pending) print(code, value);  // the handshake's outcome
    pending.clear();
  }
  if (!ready) return kExitDevice;
  RefreshSensor(link, image);

  std::thread reader([&] { NotifyReaderLoop(link); });
  if (SimMouse* sim = mouse.simulated())
    for (auto [code, value] : o.emits) sim->EmitNotification(static_cast<uint8_t>(code), static_cast<uint8_t>(value));

  // With the simulated mouse the notices to wait for are known; a real mouse
  // is listened to until --count notices arrived, --seconds passed or the
  // tool is stopped.
  int wanted = o.count ? *o.count : -1;
  if (!o.count && o.simulate) {
    wanted = 0;
    for (auto [code, value] : o.emits) wanted += IsForwardedNotification(6, static_cast<uint8_t>(code)) ? 1 : 0;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(o.seconds.value_or(0));
  int seen = 0;
  while (wanted < 0 || seen < wanted) {
    std::unique_lock lock(mutex);
    auto arrived = [&] { return !pending.empty(); };
    if (!o.seconds) {
      changed.wait(lock, arrived);
    } else if (!changed.wait_until(lock, deadline, arrived)) {
      break;
    }
    auto batch = std::move(pending);
    pending.clear();
    lock.unlock();
    for (auto [code, value] : batch) {
      print(code, value);
      ++seen;
    }
  }
  StopNotifyReader(link);
  reader.join();
  return kExitOk;
}

int Export(const Options& o, KvctlIo& io, SettingsSession& session, ConfigFileSystem& files, IniStore& ini) {
  ProfileData profile;
  session.Load();
  profile.config = session.config;
  profile.configFlag = session.firstRunFlag;
  ReadProfileFiles(ini, files, session.paths().recordIni, session.paths().strIni, profile);
  const std::string text = ExportProfile(profile);
  if (const int error = files.WriteReplace(o.profile, std::vector<uint8_t>(text.begin(), text.end())); error != 0) {
    io.err << "kvctl: cannot write " << Utf8(o.profile) << " (error " << error << ")\n";
    return kExitUsage;
  }
  io.out << "exported to " << Utf8(o.profile) << "\n";
  return kExitOk;
}

// The whole profile is checked before the first file is written, so a bad
// one leaves every file as it was. The mouse gets the record at the next Apply.
int Import(const Options& o, KvctlIo& io, const AppPaths& paths, ConfigFileSystem& files, IniStore& ini,
           ProfileLibrary& library) {
  const FileRead read = files.Read(o.profile, kProfileSizeLimit);
  switch (read.status) {
    case FileRead::Status::kRead: break;
    case FileRead::Status::kTooLarge:
      io.err << "kvctl: " << ProfileTooLarge(o.profile, read.size) << "\n";
      return kExitUsage;
    case FileRead::Status::kNotAFile:
      io.err << "kvctl: profile cannot be read (not a regular file): " << Utf8(o.profile) << "\n";
      return kExitUsage;
    case FileRead::Status::kUnreadable:
      io.err << "kvctl: profile cannot be read: " << Utf8(o.profile) << "\n";
      return kExitUsage;
  }
  const ProfileImport imported =
      ImportProfile(std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()));
  if (!imported.profile) {
    io.err << "kvctl: " << Utf8(o.profile) << ": " << imported.error << "\n";
    return kExitUsage;
  }
  const ProfileData& profile = *imported.profile;
  if (const int error = files.WriteReplace(paths.configBin, ConfigFileBytes(profile.config, profile.configFlag));
      error != 0) {
    io.err << "kvctl: cannot write " << Utf8(paths.configBin) << " (error " << error << "); nothing was imported\n";
    return kExitUsage;
  }
  if (!WriteProfileIniFiles(ini, paths.recordIni, paths.strIni, profile)) {
    io.err << "kvctl: wrote " << Utf8(paths.configBin) << " but not all of " << Utf8(paths.recordIni) << " and "
           << Utf8(paths.strIni) << "\n";
    return kExitUsage;
  }
  io.out << "imported " << Utf8(o.profile) << " into " << Utf8(paths.configBin) << ", " << Utf8(paths.recordIni)
         << " and " << Utf8(paths.strIni) << "; the mouse gets it at the next apply\n";
  // config.bin has no place for the programs; the library keeps them.
  if (const std::string kept = KeepImportedPrograms(library, o.profile, profile); !kept.empty())
    io.out << Utf8(o.profile) << ": " << kept << "\n";
  return kExitOk;
}

int ListProfiles(KvctlIo& io, ProfileLibrary& library) {
  const ProfileListing listing = library.List();
  if (!listing.problem.empty()) {
    io.err << "kvctl: " << listing.problem << "\n";
    return kExitUsage;
  }
  if (listing.profiles.empty()) io.out << "no profiles in " << Utf8(library.Folder()) << "\n";
  for (const ProfileEntry& entry : listing.profiles) {
    io.out << Utf8(entry.name) << ": ";
    if (!entry.Good()) {
      io.out << "broken: " << entry.problem << "\n";
      continue;
    }
    if (entry.programs.empty()) io.out << "(no programs)";
    for (size_t i = 0; i < entry.programs.size(); ++i) io.out << (i ? ", " : "") << Utf8(entry.programs[i]);
    io.out << "\n";
  }
  for (const ProgramConflict& conflict : listing.conflicts) {
    io.out << Utf8(conflict.program) << " is in " << Utf8(conflict.used);
    for (const std::wstring& other : conflict.ignored) io.out << ", " << Utf8(other);
    io.out << ": " << Utf8(conflict.used) << " is used\n";
  }
  return kExitOk;
}

int SaveProfile(const Options& o, KvctlIo& io, SettingsSession& session, ConfigFileSystem& files, IniStore& ini,
                ProfileLibrary& library) {
  ProfileData profile;
  session.Load();
  profile.config = session.config;
  profile.configFlag = session.firstRunFlag;
  ReadProfileFiles(ini, files, session.paths().recordIni, session.paths().strIni, profile);
  profile.programs = o.programs;
  // A replaced profile keeps the programs it is for unless new ones are given.
  if (o.programs.empty() && o.replace)
    if (const ProfileRead old = library.Read(o.profile); old.profile) profile.programs = old.profile->programs;
  if (const std::string problem = library.Save(o.profile, profile, o.replace); !problem.empty()) {
    // Only a profile the library finds by its name can be replaced; one the
    // file system alone takes for it cannot.
    std::string unlisted;
    const bool replaceable = !o.replace && library.StoredName(o.profile, unlisted);
    io.err << "kvctl: " << problem << (replaceable ? " (--replace replaces it)" : "") << "\n";
    return kExitUsage;
  }
  io.out << "saved profile " << Utf8(o.profile) << " in " << Utf8(library.Folder());
  for (size_t i = 0; i < profile.programs.size(); ++i) io.out << (i ? ", " : " for ") << Utf8(profile.programs[i]);
  io.out << "\n";
  return kExitOk;
}

std::string FamiliesInWords(const CommandFamilies& f) {
  std::string words;
  auto add = [&](bool sent, const char* what) {
    if (sent) words += (words.empty() ? "" : ", ") + std::string(what);
  };
  add(f.reportRate, "report rate");
  add(f.lighting, "lighting");
  add(f.dpiStages, "DPI stages");
  add(f.macroSlots, "macro slots");
  add(f.keyMatrices, "buttons");
  return words.empty() ? "the same as before, nothing sent" : "sent " + words;
}

// Every profile named is read and checked before the mouse is opened, so a
// broken one stops the run before anything is sent.
int SwitchProfiles(const Options& o, KvctlIo& io, const AppPaths& paths, ConfigFileSystem& files,
                   MessageSink& messages, ProfileLibrary& library) {
  std::vector<DeviceConfig> records;
  std::vector<bool> desktop;
  for (const std::wstring& name : o.names) {
    desktop.push_back(SameFileName(name, kDesktopProfileName));
    if (desktop.back()) {
      if (const std::string problem = CheckConfigFile(files, paths.configBin); !problem.empty()) {
        io.err << "kvctl: " << problem << "\n";
        return kExitUsage;
      }
      DeviceConfig config{};
      uint8_t flag = 0;
      LoadConfig(files, messages, paths.configBin, config, flag);
      records.push_back(config);
      continue;
    }
    const ProfileRead read = library.Read(name);
    if (!read.profile) {
      io.err << "kvctl: " << read.error << "; nothing was sent\n";
      return kExitUsage;
    }
    records.push_back(read.profile->config);
  }
  MouseConnection mouse(o, messages);
  if (const int refused = ConnectOrSay(mouse, io); refused != kExitOk) return refused;
  DeviceImage image{};
  int status = kExitOk;
  SentMarker marker(files, SentMarkerPath(paths));
  for (size_t i = 0; i < records.size(); ++i) {
    const auto start = std::chrono::steady_clock::now();
    marker.Sending(desktop[i] ? L"" : o.names[i]);
    const SwitchResult result = Switch(mouse.link(), records[i], image);
    if (result.complete && desktop[i]) marker.DesktopHeld();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    io.out << "switched to " << Utf8(o.names[i]) << ": "
           << (result.full ? "sensor refresh and full apply" : FamiliesInWords(result.sent)) << " (" << ms.count()
           << " ms)\n";
    if (!result.complete) {
      io.err << "kvctl: the mouse did not get the whole of " << Utf8(o.names[i])
             << "; the next switch sends everything again\n";
      status = kExitDevice;
    }
  }
  return status;
}

}  // namespace

std::wstring KvctlDefaultFolder(const std::wstring& modulePath, const std::function<const char*(const char*)>& env) {
#ifdef _WIN32
  (void)env;
  return PathsFromModulePath(modulePath).directory;
#else
  // Installed, kvctl lies in /usr/bin; its files are the user's, shared with the program.
  const std::wstring folder = UserConfigFolder(env);
  if (!folder.empty()) return folder;
  return PathsFromModulePath(modulePath).directory;
#endif
}

int RunKvctl(const std::vector<std::wstring>& args, KvctlIo& io) {
  for (const std::wstring& a : args)
    if (a == L"--help" || a == L"-h" || (a == L"help" && &a == &args.front())) {
      io.out << kUsage;
      return kExitOk;
    }
  if (!args.empty() && args[0] == L"--version") {
    io.out << "kvctl " << KOVRAL_VERSION_TEXT << "\n";
    return kExitOk;
  }
  Options o;
  if (const std::string problem = ParseOptions(args, o); !problem.empty()) {
    io.err << "kvctl: " << problem << "\n" << kUsage;
    return kExitUsage;
  }
  const std::wstring defaultFolder =
      io.defaultFolder ? *io.defaultFolder : KvctlDefaultFolder(io.modulePath, [](const char* n) { return std::getenv(n); });
  const AppPaths paths = ResolvePaths(o, io.modulePath, defaultFolder);
  const std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  // Commands that write a default file make its folder first.
  const bool writesDefault =
      (o.command == L"factory" && !o.config) || (o.command == L"apply" && (!o.config || !o.str)) ||
      (o.command == L"import" && (!o.config || !o.record || !o.str)) ||
      ((o.command == L"save" || o.command == L"import") && !o.profiles && !o.config);
  if (writesDefault && !defaultFolder.empty())
    if (const std::string problem = MakeDefaultFolder(*files, defaultFolder); !problem.empty()) {
      io.err << "kvctl: " << problem << "\n";
      return kExitUsage;
    }
  ProfileLibrary library(*files, ProfilesFolder(o, paths));
  if (o.command == L"profiles") return ListProfiles(io, library);
  if (o.command == L"factory") {
    if (const int error = files->WriteReplace(paths.configBin, ConfigFileBytes(FactoryConfig(), 0)); error != 0) {
      io.err << "kvctl: cannot write " << Utf8(paths.configBin) << " (error " << error << ")\n";
      return kExitUsage;
    }
    return kExitOk;
  }
  if (o.command == L"import") {
    const std::unique_ptr<IniStore> ini = MakeSystemIniStore();
    return Import(o, io, paths, *files, *ini, library);
  }
  // switch reads config.bin only for 'desktop', and checks it then.
  if (o.command == L"listen" ? o.config.has_value() : o.command != L"switch") {
    if (const std::string problem = CheckConfigFile(*files, paths.configBin); !problem.empty()) {
      io.err << "kvctl: " << problem << "\n";
      return kExitUsage;
    }
  }
  if (const std::string problem = CheckRecordFile(*files, paths.recordIni, o.record.has_value()); !problem.empty()) {
    io.err << "kvctl: " << problem << "\n";
    return kExitUsage;
  }
  const std::unique_ptr<IniStore> ini = MakeSystemIniStore();
  ConsoleMessageSink messages(io.err);
  SettingsSession session(paths, *ini, *files, messages);
  if (o.command == L"show") return Show(o, io, session, *files, *ini);
  if (o.command == L"save") return SaveProfile(o, io, session, *files, *ini, library);
  if (o.command == L"switch") return SwitchProfiles(o, io, paths, *files, messages, library);
  if (o.command == L"apply") return Apply(o, io, session, messages);
  if (o.command == L"export") return Export(o, io, session, *files, *ini);
  return Listen(o, io, session, messages);
}

}  // namespace kovral
