#pragma once
// The application: prepares the process (common controls, the main window's
// class, GDI+), chooses the real mouse or the simulated one, and runs the
// main dialog, whose modal loop is the program's only message loop.
#include <windows.h>

namespace kovral {

class CKovralApp {
 public:
  // The process's exit code.
  static int Main();
};

}  // namespace kovral
