#pragma once
// Where the program's files are: beside the executable.
#include <string>

namespace kovral {

// The file name the program ships under; its data files are found by
// replacing this name in the module path.
inline constexpr wchar_t kExecutableName[] = L"KALVORIN_DRX_Driver.exe";

struct AppPaths {
  std::wstring modulePath;
  std::wstring configBin;
  std::wstring recordIni;
  std::wstring strIni;
  std::wstring directory;  // with its trailing separator (empty for a bare file name)
};

AppPaths PathsFromModulePath(const std::wstring& modulePath);

// The running executable's full path (Win32: GetModuleFileNameW; elsewhere /proc/self/exe).
std::wstring ModulePath();

// The executable's file name without its extension: the default message caption.
std::wstring ApplicationName(const std::wstring& modulePath);

}  // namespace kovral
