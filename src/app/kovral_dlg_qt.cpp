#include "app/kovral_dlg_qt.h"

#include <QApplication>
#include <QDBusConnection>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLocale>
#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "device/device_link.h"
#include "settings/settings_session.h"
#include "sim/sim_mouse.h"
#include "ui/color_chooser.h"
#include "ui/file_chooser.h"
#include "ui/font_choice.h"

namespace kovral {
namespace {

constexpr uint32_t kKeyReturn = 0x0D;  // the key codes RuleForKeyDown knows
constexpr uint32_t kKeyEscape = 0x1B;

// A window places itself over the others on X (XWayland included); a native
// Wayland surface cannot, and the on-screen display would be lost behind
// the game.
bool OsdCanShow() { return QGuiApplication::platformName() != QStringLiteral("wayland"); }

}  // namespace

KovralDlgQt::KovralDlgQt(AppServices& services, MessageSink& messages, AssignmentDialogs& dialogs)
    : services_(services),
      messages_(messages),
      tray_(QIcon(QStringLiteral(":/kovral.ico")), [this](TrayClick click) { controller_.OnTrayClick(click); }),
      controller_(services, messages, *this, front_),
      pages_(PageHostQtServices{window_, controller_.settings(), controller_.link(), controller_.image(),
                                controller_.pointer(), messages, *services.colors, dialogs}) {
  window_.setWindowIcon(QIcon(QStringLiteral(":/kovral.ico")));
  notices_ = std::make_unique<DesktopNoticesQt>(
      QDBusConnection::sessionBus(), QIcon(QStringLiteral(":/kovral.ico")).pixmap(64).toImage(),
      [this](const Balloon& balloon) {
        tray_.ShowMessage(balloon.title, balloon.text, static_cast<int>(balloon.timeoutMs),
                          balloon.icon == BalloonIcon::Warning);
      });
  window_.setWindowTitle(QStringLiteral("Kovral"));
  MainWindowQt::Handlers handlers;
  // The controller runs the click's steps; a page part no element took, or
  // a bare spot, asks for the drag, which the window then does while the
  // button is held.
  handlers.press = [this](layout::Point p) {
    dragAsked_ = false;
    controller_.OnLeftClick(p);
    return !dragAsked_;
  };
  handlers.move = [this](layout::Point p) { pages_.MouseMove(p); };
  handlers.leave = [this] { pages_.MouseLeft(); };
  handlers.context = [this] { controller_.OnWindowContextMenu(); };
  window_.SetHandlers(std::move(handlers));
  // Qt has no window to ask for the closing: it only hides.
  window_.setAttribute(Qt::WA_QuitOnClose, false);
  qApp->installEventFilter(this);
}

// Reached when the program ends without Exit: the reader must be gone
// before the link it reads.
KovralDlgQt::~KovralDlgQt() {
  qApp->removeEventFilter(this);
  controller_.Shutdown();
  StopReader();
}

void KovralDlgQt::Start() { controller_.Start(); }

// A reader that does not end in time is waiting for this thread, which no
// longer answers: the process ends without it, as Exit does.
void KovralDlgQt::StopReader() {
  if (!reader_.joinable()) return;
  StopNotifyReader(controller_.link());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!readerDone_ && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!readerDone_) std::_Exit(0);
  reader_.join();
}

bool KovralDlgQt::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != &window_) return false;
  // A key the focus widget left goes on to its parents: it counts once.
  QWidget* focus = QApplication::focusWidget();
  if (focus ? widget != focus : widget != &window_) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (pages_.CapturedKey(static_cast<int>(key->nativeScanCode()) - 8, type == QEvent::KeyRelease,
                         key->isAutoRepeat()))
    return true;
  if (type != QEvent::KeyPress) return false;
  uint32_t code = 0;
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) code = kKeyReturn;
  if (key->key() == Qt::Key_Escape) code = kKeyEscape;
  const KeyDownRule rule =
      RuleForKeyDown(pages_.state().CurrentPage, pages_.Recording(), code, pages_.IsPageList(widget));
  if (rule == KeyDownRule::HideAndSwallow) HideMainWindow();
  return rule != KeyDownRule::PassOn;
}

// ---------------------------------------------------------------------------
// The window

// A dialog of the program is modal over the window while it is up.
bool KovralDlgQt::DialogUp() { return QApplication::activeModalWidget() != nullptr; }

// Nothing is left to save: the controller has ended the link and removed
// the icon. Ends at once, as Exit ends the Windows program.
void KovralDlgQt::EndProcess() {
  std::fflush(nullptr);
  std::_Exit(0);
}

bool KovralDlgQt::PictureReadable(const std::wstring& path) {
  return QImageReader(QString::fromStdWString(path)).canRead();
}

// The Windows language id of the desktop's language, which the portable
// "System default" rule takes: the Chinese of the mainland and Singapore,
// of Taiwan, Hong Kong and Macau, anything else English.
uint16_t KovralDlgQt::SystemLanguageId() {
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

// The window's size is its picture's, in units.
void KovralDlgQt::TakeWindowPicture(const std::wstring& skinFolder, const std::wstring& languageCode) {
  const QSize size = QImageReader(QString::fromStdWString(skinFolder + skin::kMain)).size();
  window_.SetBackground(skinFolder);
  window_.SetUnitSize({std::max(1, size.width()), std::max(1, size.height())});
  window_.SetSkin(skinFolder, ui::FontsForLanguageCode(languageCode, ui::WindowsVersion{6, 2}));
}

void KovralDlgQt::SetLook(const MainLook& look, bool) {
  look_ = look;
  window_.SetSkin(look.skinFolder, ui::FontsForLanguageCode(look.languageCode, ui::WindowsVersion{6, 2}));
  if (look.texts) window_.setWindowTitle(QString::fromWCharArray(look.texts->trayTip));
  pages_.SetLook({look.skinFolder, look.textColor, look.texts, look.languageCode});
}

// ---------------------------------------------------------------------------
// The tray and the on-screen display

void KovralDlgQt::ShowBalloon(const Balloon& balloon) { notices_->Show(balloon); }

// Where the display cannot be shown the controller tells the notice as a balloon.
bool KovralDlgQt::ShowOsd(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
                          const std::wstring& languageCode) {
  if (!OsdCanShow()) return false;
  osd_.ShowNotice(notice, look, position, languageCode);
  return osd_.showing();
}

// ---------------------------------------------------------------------------
// Timers, posts, choosers

// Like the Windows timers, each fires every `ms` until stopped.
void KovralDlgQt::StartTimer(MainTimer timer, int ms) {
  std::unique_ptr<QTimer>& slot = timers_[timer];
  if (!slot) {
    slot = std::make_unique<QTimer>();
    QObject::connect(slot.get(), &QTimer::timeout, &window_, [this, timer] {
      if (timer == MainTimer::FrontCheck) return FrontMaybeChanged();
      controller_.OnTimer(timer);
    });
  }
  slot->start(ms);
}

void KovralDlgQt::StopTimer(MainTimer timer) {
  if (const auto it = timers_.find(timer); it != timers_.end() && it->second) it->second->stop();
}

// ---------------------------------------------------------------------------
// The front window: the X display tells each change of its active window,
// so nothing wakes the program while the front stays.

void KovralDlgQt::StartFrontWatch() {
  front_.Start([this] { FrontMaybeChanged(); });
}

void KovralDlgQt::StopFrontWatch() {
  front_.Stop();
  StopTimer(MainTimer::FrontCheck);
}

// A page's open list holds a switch back, and its closing tells nothing:
// while one is open the front is looked at again each second, as the
// Windows program always does.
void KovralDlgQt::FrontMaybeChanged() {
  controller_.OnFrontMaybeChanged();
  if (front_.running() && pages_.ListOpen())
    StartTimer(MainTimer::FrontCheck, 1000);
  else
    StopTimer(MainTimer::FrontCheck);
}

void KovralDlgQt::PostLater(LaterWork work) {
  QMetaObject::invokeMethod(&window_, [this, work] { controller_.OnLater(work); }, Qt::QueuedConnection);
}

std::optional<std::wstring> KovralDlgQt::ChooseFile(const FileChoice& choice, bool save) {
  if (!services_.fileChooser) return std::nullopt;
  return save ? services_.fileChooser->ChooseSave(&window_, choice)
              : services_.fileChooser->ChooseOpen(&window_, choice);
}

// ---------------------------------------------------------------------------
// The device

// The reader waits until the interface thread has shown its notice, as on
// Windows; the interface thread never waits for the reader but at the end.
void KovralDlgQt::RouteDeviceEvents() {
  // The link tells the interface thread's own notices (the handshake's) at once.
  controller_.link().notify = [this](int code, int value) {
    auto tell = [this, code, value] {
      controller_.OnDeviceNotice(static_cast<uint32_t>(code), static_cast<uint32_t>(value));
    };
    if (QThread::currentThread() == window_.thread())
      tell();
    else
      QMetaObject::invokeMethod(&window_, tell, Qt::BlockingQueuedConnection);
  };
  if (!services_.sim) return;
  // Each collection of the simulated mouse comes and goes like a real one,
  // once the command that plugged or unplugged it is through.
  services_.sim->SetPlugListener([this](const SimPlugEvent& event) {
    const DeviceEvent change{event.arrival, event.arrivalName};
    QMetaObject::invokeMethod(&window_, [this, change] { controller_.OnDeviceEvent(change); }, Qt::QueuedConnection);
  });
}

void KovralDlgQt::StartReader(bool run) {
  readerHeld_ = !run;
  if (run) ResumeReader();
}

void KovralDlgQt::ResumeReader() {
  if (reader_.joinable()) return;
  readerHeld_ = false;
  readerDone_ = false;
  reader_ = std::thread([this] {
    NotifyReaderLoop(controller_.link());
    readerDone_ = true;
  });
}

// udev tells the hidraw nodes coming and going; each of the mouse's is one
// of its collections. The simulated mouse has its own events. logind tells
// the wake from sleep, for the simulated mouse too.
bool KovralDlgQt::StartDeviceNotifications() {
  sleepWatch_ = std::make_unique<SleepWatchQt>([this] { controller_.OnSystemResumed(); });
  sleepWatch_->Start(QDBusConnection::systemBus());
  if (services_.sim) return true;
  hidrawMonitor_ = std::make_unique<HidrawMonitor>();
  if (!hidrawMonitor_->Start()) {
    hidrawMonitor_.reset();
    return false;
  }
  // The nodes there already are no arrivals: the start opened what it found.
  for (const HidrawUevent& node : hidrawMonitor_->Present()) HidrawEventChange(hidrawNodes_, node);
  hidrawNotifier_ = std::make_unique<QSocketNotifier>(hidrawMonitor_->fd(), QSocketNotifier::Read);
  QObject::connect(hidrawNotifier_.get(), &QSocketNotifier::activated, &window_, [this] { OnHidrawEvents(); });
  return true;
}

void KovralDlgQt::StopDeviceNotifications() {
  sleepWatch_.reset();
  hidrawNotifier_.reset();
  hidrawMonitor_.reset();
}

// Every event waiting is taken, so the notifier fires again only for new ones.
void KovralDlgQt::OnHidrawEvents() {
  while (hidrawMonitor_) {
    const std::optional<HidrawUevent> event = hidrawMonitor_->Receive();
    if (!event) break;
    const HidrawEventMeaning meaning = HidrawEventChange(hidrawNodes_, *event);
    for (const std::optional<HidrawChange>& change : {meaning.leftFirst, meaning.change})
      if (change) controller_.OnDeviceEvent({change->arrived, change->interfaceName});
  }
}

}  // namespace kovral
