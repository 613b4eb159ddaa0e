#include "device/hidraw_nodes.h"

#include <cwctype>

namespace kovral {
namespace {

void AppendUpper(std::wstring& name, std::string_view digits) {
  for (char c : digits) name += static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(c)));
}

// "usb-0000:00:14.0-2/input1" -> "01"; empty for a device not on USB or
// without an interface number.
std::string_view InterfaceNumber(std::string_view phys) {
  const size_t slash = phys.rfind("/input");
  if (slash == std::string_view::npos) return {};
  const std::string_view number = phys.substr(slash + 6);
  if (number.empty() || number.size() > 2) return {};
  for (char c : number)
    if (c < '0' || c > '9') return {};
  return number;
}

}  // namespace

// The identifiers are the last four digits of each eight-digit field.
std::wstring HidrawInterfaceName(std::string_view hidId, std::string_view hidPhys, std::string_view node) {
  const size_t first = hidId.find(':');
  const size_t second = first == std::string_view::npos ? first : hidId.find(':', first + 1);
  if (second == std::string_view::npos) return {};
  const std::string_view vendor = hidId.substr(first + 1, second - first - 1);
  const std::string_view product = hidId.substr(second + 1);
  if (vendor.size() < 4 || product.size() < 4) return {};
  std::wstring name = L"\\\\?\\HID#VID_";
  AppendUpper(name, vendor.substr(vendor.size() - 4));
  name += L"&PID_";
  AppendUpper(name, product.substr(product.size() - 4));
  if (const std::string_view number = InterfaceNumber(hidPhys); !number.empty()) {
    name += number.size() == 1 ? L"&MI_0" : L"&MI_";
    AppendUpper(name, number);
  }
  name += L"#";
  name.append(node.begin(), node.end());
  return name;
}

HidrawEventMeaning HidrawEventChange(HidrawNodeNames& known, const HidrawUevent& event) {
  HidrawEventMeaning meaning;
  if (event.subsystem != "hidraw") return meaning;
  const std::string& node = event.sysname;
  if (node.empty()) return meaning;
  const auto it = known.find(node);
  if (event.action == "remove") {
    if (it == known.end()) return meaning;
    if (!it->second.empty()) meaning.change = HidrawChange{false, it->second};
    known.erase(it);
    return meaning;
  }
  if (event.action != "add") return meaning;
  const std::wstring name = HidrawInterfaceName(event.hidId, event.hidPhys, node);
  if (it != known.end() && !it->second.empty() && it->second != name)
    meaning.leftFirst = HidrawChange{false, it->second};
  known[node] = name;
  if (!name.empty()) meaning.change = HidrawChange{true, name};
  return meaning;
}

}  // namespace kovral
