#include "dialogs/profiles_dialog_qt.h"

#include <QGuiApplication>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#ifdef KOVRAL_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace kovral {
namespace {

// A process's program file name: the executable's, else the name the
// kernel keeps (another user's process hides its executable).
std::wstring ProgramOfProcess(uint32_t pid) {
  std::error_code error;
  const std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  if (!error) return exe.filename().wstring();
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return std::filesystem::path(name).wstring();
}

#ifdef KOVRAL_HAVE_XCB
struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  const Reply<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<uint32_t> Cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
  if (property == XCB_ATOM_NONE) return {};
  const Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 4096), nullptr));
  if (!reply || reply->format != 32) return {};
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

// The windows a window manager lists as its clients; without one, the
// root's children on the screen. Each is described by the process that
// says it owns it.
std::vector<FrontWindow> OpenWindows() {
  auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
  if (c == nullptr) return {};
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  std::vector<uint32_t> windows = Cardinals(c, root, Atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
  if (windows.empty()) {
    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (tree) {
      const xcb_window_t* children = xcb_query_tree_children(tree.get());
      for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) windows.push_back(children[i]);
      }
    }
  }
  const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID");
  const auto self = static_cast<uint32_t>(getpid());
  std::vector<FrontWindow> described;
  for (const uint32_t window : windows) {
    const std::vector<uint32_t> pid = Cardinals(c, window, pidAtom, XCB_ATOM_CARDINAL);
    if (pid.empty()) continue;
    described.push_back({window, ProgramOfProcess(pid.front()), pid.front() == self, true});
  }
  return described;
}
#else
std::vector<FrontWindow> OpenWindows() { return {}; }
#endif

}  // namespace

CProfilesDialog::CProfilesDialog(DialogEnvironment environment, ProfilesDialogServices services)
    : CSkinDialog(std::make_unique<ProfilesDialogModel>(std::move(environment), std::move(services), OpenWindows)) {}

}  // namespace kovral
