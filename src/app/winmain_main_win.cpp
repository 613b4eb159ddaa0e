// KALVORIN_DRX_Driver.exe: the program's entry point.
#include <windows.h>

#include "app/kovral_app_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return kovral::CKovralApp::Main(); }
