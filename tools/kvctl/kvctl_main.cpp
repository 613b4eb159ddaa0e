// kvctl's entry point: wide arguments on every system, UTF-8 output.
#include <iostream>
#include <string>
#include <vector>

#include "kvctl.h"
#include "settings/app_paths.h"

#ifdef _WIN32
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::wstring> args(argv + 1, argv + argc);
#else
#include "settings/text_encoding.h"

int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(kovral::FromUtf8(argv[i]));
#endif
  kovral::KvctlIo io{std::cout, std::cerr, kovral::ModulePath()};
  return kovral::RunKvctl(args, io);
}
