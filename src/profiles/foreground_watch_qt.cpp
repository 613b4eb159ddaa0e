#include "profiles/foreground_watch_qt.h"

#include <unistd.h>

#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <string>

#include "profiles/process_program.h"

#ifdef KOVRAL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace kovral {

#ifdef KOVRAL_HAVE_XCB
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

Reply<xcb_get_property_reply_t> Property(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
  return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(c, cookie, nullptr));
}

std::vector<uint32_t> Cardinals(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
  const Reply<xcb_get_property_reply_t> reply = Property(c, cookie);
  if (!reply || reply->format != 32) return {};
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

std::string Text(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
  const Reply<xcb_get_property_reply_t> reply = Property(c, cookie);
  if (!reply || reply->format != 8) return {};
  std::string text(static_cast<const char*>(xcb_get_property_value(reply.get())),
                   static_cast<size_t>(xcb_get_property_value_length(reply.get())));
  // WM_CLIENT_MACHINE may end in a NUL.
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// A window manager names no window for a moment while the focus moves from
// one window to the next (openbox does, between the focus leaving one and
// reaching the other): None is told once it has lasted this long, so a
// click from one game to another sends no Desktop settings between them.
constexpr int kNoWindowSettleMs = 100;

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace

struct X11ForegroundSource::State {
  xcb_connection_t* c = nullptr;
  bool tried = false;
  xcb_window_t root = 0;
  xcb_atom_t active = XCB_ATOM_NONE, pid = XCB_ATOM_NONE, clients = XCB_ATOM_NONE;
  std::string host = HostName();
  bool running = false;
  std::function<void()> changed;
  std::unique_ptr<QSocketNotifier> notifier;
  bool pending = false;  // the active window changed, not yet told
  bool posted = false;   // a telling is on its way through the event loop
  std::unique_ptr<QTimer> noWindow;  // None in front, told when it lasts

  ~State() {
    notifier.reset();
    Release();
  }

  // The first use connects; a display that refuses stays the desktop until
  // the watch starts again.
  xcb_connection_t* Connection() {
    if (tried) return c;
    tried = true;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return nullptr;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
      xcb_disconnect(c);
      c = nullptr;
      return nullptr;
    }
    root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const char* names[] = {"_NET_ACTIVE_WINDOW", "_NET_WM_PID", "_NET_CLIENT_LIST"};
    xcb_intern_atom_cookie_t cookies[3];
    for (int i = 0; i < 3; ++i)
      cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    xcb_atom_t* atoms[] = {&active, &pid, &clients};
    for (int i = 0; i < 3; ++i) {
      const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
      *atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    return c;
  }

  void Release() {
    DropNotifier();
    if (c) xcb_disconnect(c);
    c = nullptr;
  }

  // Later: the notifier may be the one whose signal runs now. A telling
  // posted to it goes with it.
  void DropNotifier() {
    if (notifier) notifier.release()->deleteLater();
    posted = false;
  }

  void Select(uint32_t mask) {
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
  }

  // Takes the events xcb holds: from the socket, or only those a reply's
  // wait read off it already, which the notifier will not see again.
  void Take(bool readSocket) {
    if (!c) return;
    while (xcb_generic_event_t* event = readSocket ? xcb_poll_for_event(c) : xcb_poll_for_queued_event(c)) {
      if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
          reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == active)
        pending = true;
      std::free(event);
    }
    if (xcb_connection_has_error(c)) {
      // The display went: the front is the desktop from now on.
      Release();
      pending = true;
    }
  }

  // The active window now, 0 for None.
  uint32_t ActiveWindow() {
    if (!Connection() || active == XCB_ATOM_NONE) return 0;
    const std::vector<uint32_t> window = Cardinals(c, xcb_get_property(c, 0, root, active, XCB_ATOM_WINDOW, 0, 1));
    AfterRequest();
    return window.empty() ? 0 : window.front();
  }

  void Tell() {
    while (pending && running) {
      pending = false;
      const uint32_t window = ActiveWindow();
      if (pending) continue;  // changed again meanwhile
      if (window == 0) {
        if (!noWindow) {
          noWindow = std::make_unique<QTimer>();
          noWindow->setSingleShot(true);
          QObject::connect(noWindow.get(), &QTimer::timeout, [this] {
            if (running && changed) changed();
          });
        }
        if (!noWindow->isActive()) noWindow->start(kNoWindowSettleMs);
        return;
      }
      if (noWindow) noWindow->stop();
      if (changed) changed();
    }
  }

  // After a request of the program's own (the controller asking what is in
  // front): an event read meanwhile is told from the event loop.
  void AfterRequest() {
    Take(false);
    if (!pending || !running || posted || !notifier) return;
    posted = true;
    QMetaObject::invokeMethod(
        notifier.get(),
        [this] {
          posted = false;
          Tell();
        },
        Qt::QueuedConnection);
  }
};

X11ForegroundSource::X11ForegroundSource() : state_(std::make_unique<State>()) {}
X11ForegroundSource::~X11ForegroundSource() = default;

bool X11ForegroundSource::running() const { return state_->running; }

void X11ForegroundSource::Start(std::function<void()> changed) {
  State& s = *state_;
  if (s.running) return;
  s.running = true;
  s.changed = std::move(changed);
  if (!s.c) s.tried = false;
  if (!s.Connection()) return;
  s.Select(XCB_EVENT_MASK_PROPERTY_CHANGE);
  s.notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(s.c), QSocketNotifier::Read);
  QObject::connect(s.notifier.get(), &QSocketNotifier::activated, [&s] {
    s.Take(true);
    s.Tell();
  });
}

void X11ForegroundSource::Stop() {
  State& s = *state_;
  if (!s.running) return;
  s.running = false;
  s.pending = false;
  s.DropNotifier();
  if (s.noWindow) s.noWindow->stop();
  if (s.c) s.Select(0);
}

uint64_t X11ForegroundSource::FrontWindowId() { return state_->ActiveWindow(); }

FrontWindow X11ForegroundSource::Describe(uint64_t window) {
  State& s = *state_;
  FrontWindow front;
  xcb_connection_t* c = s.Connection();
  if (!c || window == 0 || s.pid == XCB_ATOM_NONE) return front;
  const auto id = static_cast<xcb_window_t>(window);
  const auto pidCookie = xcb_get_property(c, 0, id, s.pid, XCB_ATOM_CARDINAL, 0, 1);
  const auto machineCookie = xcb_get_property(c, 0, id, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 0, 256);
  const auto attributesCookie = xcb_get_window_attributes(c, id);
  const std::vector<uint32_t> pid = Cardinals(c, pidCookie);
  const std::string machine = Text(c, machineCookie);
  const Reply<xcb_get_window_attributes_reply_t> attributes(
      xcb_get_window_attributes_reply(c, attributesCookie, nullptr));
  s.AfterRequest();
  // A window of another machine (a remote client) names a process that is
  // not this machine's.
  if (pid.empty() || (!machine.empty() && !s.host.empty() && machine != s.host)) return front;
  if (pid.front() == static_cast<uint32_t>(getpid())) {
    front.own = true;
    front.shown = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    return front;
  }
  front.program = ProgramOfProcess(ReadProcessFacts(pid.front()));
  return front;
}

std::vector<FrontWindow> X11ForegroundSource::OpenWindows() {
  State& s = *state_;
  xcb_connection_t* c = s.Connection();
  if (!c) return {};
  std::vector<uint32_t> windows;
  if (s.clients != XCB_ATOM_NONE)
    windows = Cardinals(c, xcb_get_property(c, 0, s.root, s.clients, XCB_ATOM_WINDOW, 0, 4096));
  if (windows.empty()) {
    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, s.root), nullptr));
    if (tree) {
      const xcb_window_t* children = xcb_query_tree_children(tree.get());
      for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) windows.push_back(children[i]);
      }
    }
  }
  s.AfterRequest();
  std::vector<FrontWindow> described;
  for (const uint32_t window : windows) {
    FrontWindow front = Describe(window);
    front.window = window;
    described.push_back(std::move(front));
  }
  return described;
}

#else  // no xcb: the front is always the desktop

struct X11ForegroundSource::State {
  bool running = false;
};
X11ForegroundSource::X11ForegroundSource() : state_(std::make_unique<State>()) {}
X11ForegroundSource::~X11ForegroundSource() = default;
bool X11ForegroundSource::running() const { return state_->running; }
void X11ForegroundSource::Start(std::function<void()>) { state_->running = true; }
void X11ForegroundSource::Stop() { state_->running = false; }
uint64_t X11ForegroundSource::FrontWindowId() { return 0; }
FrontWindow X11ForegroundSource::Describe(uint64_t) { return {}; }
std::vector<FrontWindow> X11ForegroundSource::OpenWindows() { return {}; }

#endif

}  // namespace kovral
