#include "app/shell_opener.h"

#include <filesystem>
#include <fstream>

#include "settings/text_encoding.h"

namespace kovral {

void ShellLog::Open(const std::wstring& address) {
  std::ofstream out(std::filesystem::path(file_), std::ios::out | std::ios::app | std::ios::binary);
  out << ToUtf8(address) << "\n";
}

}  // namespace kovral
