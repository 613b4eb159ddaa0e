#include "app/app_globals.h"

namespace kovral {

AppGlobals& Globals() {
  static AppGlobals globals;
  return globals;
}

}  // namespace kovral
