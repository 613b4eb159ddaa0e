// A stand-in for a native game in the Linux end-to-end tests: one plain X
// window at the place and size given (kvfront_a X Y WIDTH HEIGHT), titled
// and classed with its file name, which the tests copy it under twice. It
// says which process and machine it is, as every toolkit's windows do.
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void SetText(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, const std::string& text) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_STRING, 8,
                      static_cast<uint32_t>(text.size()), text.data());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT\n", argc > 0 ? argv[0] : "kvfront");
    return 2;
  }
  std::string name = argv[0];
  name = name.substr(name.find_last_of('/') + 1);
  const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
  const auto width = static_cast<uint16_t>(std::atoi(argv[3])), height = static_cast<uint16_t>(std::atoi(argv[4]));

  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t window = xcb_generate_id(c);
  // Each name its own colour, so a screenshot tells the windows apart.
  const uint32_t values[] = {name.back() == 'b' ? 0x285a28u : 0x5a2828u, XCB_EVENT_MASK_EXPOSURE};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, static_cast<int16_t>(x), static_cast<int16_t>(y),
                    width, height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  SetText(c, window, XCB_ATOM_WM_NAME, name);
  SetText(c, window, XCB_ATOM_WM_CLASS, name + '\0' + name + '\0');
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  SetText(c, window, XCB_ATOM_WM_CLIENT_MACHINE, host);
  const uint32_t pid = static_cast<uint32_t>(getpid());
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 11, "_NET_WM_PID"), nullptr);
  if (atom) xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom->atom, XCB_ATOM_CARDINAL, 32, 1, &pid);
  std::free(atom);
  // The place asked for is the user's (USPosition, USSize), which the window
  // manager keeps; the window takes the keyboard when given it.
  uint32_t sizeHints[18] = {1 | 2, static_cast<uint32_t>(x), static_cast<uint32_t>(y), width, height};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18,
                      sizeHints);
  const uint32_t wmHints[9] = {1, 1};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, wmHints);
  xcb_map_window(c, window);
  xcb_flush(c);
  while (xcb_generic_event_t* event = xcb_wait_for_event(c)) std::free(event);
  xcb_disconnect(c);
  return 0;
}
