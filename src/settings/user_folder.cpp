#include "settings/user_folder.h"

#include "settings/text_encoding.h"

namespace kovral {
namespace {

std::wstring WithSeparator(const char* path) {
  std::wstring folder = FromUtf8(path);
  if (folder.back() != L'/') folder += L'/';
  return folder;
}

}  // namespace

std::wstring UserConfigFolder(const std::function<const char*(const char*)>& env) {
  const char* config = env("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return WithSeparator(config) + L"kovral/";
  const char* home = env("HOME");
  if (home && home[0] == '/') return WithSeparator(home) + L".config/kovral/";
  return std::wstring();
}

std::wstring UserDataFolder(const std::function<const char*(const char*)>& env) {
  const char* data = env("XDG_DATA_HOME");
  if (data && data[0] == '/') return WithSeparator(data) + L"kovral/";
  const char* home = env("HOME");
  if (home && home[0] == '/') return WithSeparator(home) + L".local/share/kovral/";
  return std::wstring();
}

}  // namespace kovral

namespace kovral {

std::string SessionSocketPath(const char* name, const std::function<const char*(const char*)>& env,
                              unsigned uid) {
  const char* runtime = env("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') {
    std::string folder = runtime;
    if (folder.back() != '/') folder += '/';
    return folder + name + ".sock";
  }
  return std::string("/tmp/") + name + "-" + std::to_string(uid) + ".sock";
}

}  // namespace kovral
