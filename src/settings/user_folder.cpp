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

std::wstring XdgBaseFolder(const std::function<const char*(const char*)>& env, const char* variable,
                           const wchar_t* inHome) {
  const char* base = env(variable);
  if (base && base[0] == '/') return WithSeparator(base);
  const char* home = env("HOME");
  if (home && home[0] == '/') return WithSeparator(home) + inHome;
  return std::wstring();
}

std::wstring UserConfigFolder(const std::function<const char*(const char*)>& env) {
  const std::wstring base = XdgBaseFolder(env, "XDG_CONFIG_HOME", L".config/");
  return base.empty() ? base : base + L"kovral/";
}

std::wstring UserDataFolder(const std::function<const char*(const char*)>& env) {
  const std::wstring base = XdgBaseFolder(env, "XDG_DATA_HOME", L".local/share/");
  return base.empty() ? base : base + L"kovral/";
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
