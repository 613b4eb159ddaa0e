#include "device/hidraw_nodes.h"

#include <cwctype>

namespace kovral {

// The identifiers are the last four digits of each eight-digit field.
std::wstring HidrawInterfaceName(std::string_view uevent, const std::string& node) {
  size_t start = 0;
  while (start < uevent.size()) {
    size_t end = uevent.find('\n', start);
    if (end == std::string_view::npos) end = uevent.size();
    std::string_view line = uevent.substr(start, end - start);
    start = end + 1;
    if (!line.starts_with("HID_ID=")) continue;
    line.remove_prefix(7);
    const size_t first = line.find(':');
    const size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) return {};
    const std::string_view vendor = line.substr(first + 1, second - first - 1);
    const std::string_view product = line.substr(second + 1);
    if (vendor.size() < 4 || product.size() < 4) return {};
    std::wstring name = L"\\\\?\\HID#VID_";
    for (char c : vendor.substr(vendor.size() - 4)) name += static_cast<wchar_t>(std::towupper(c));
    name += L"&PID_";
    for (char c : product.substr(product.size() - 4)) name += static_cast<wchar_t>(std::towupper(c));
    name += L"#";
    name.append(node.begin(), node.end());
    return name;
  }
  return {};
}

std::vector<HidrawChange> HidrawChanges(std::map<std::string, std::wstring>& known,
                                        const std::set<std::string>& now,
                                        const std::function<std::wstring(const std::string&)>& nameOf) {
  std::vector<HidrawChange> changes;
  for (auto it = known.begin(); it != known.end();) {
    if (now.contains(it->first)) {
      ++it;
      continue;
    }
    if (!it->second.empty()) changes.push_back({false, it->second});
    it = known.erase(it);
  }
  for (const std::string& node : now) {
    if (known.contains(node)) continue;
    const std::wstring name = nameOf(node);
    known[node] = name;
    if (!name.empty()) changes.push_back({true, name});
  }
  return changes;
}

}  // namespace kovral
