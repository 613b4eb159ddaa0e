// kvprobe: what the program's windows show, for the end-to-end tests.
//
//   kvprobe windows FILE
//     Writes to FILE, as one JSON document (ASCII, other characters escaped),
//     every visible top-level window of KALVORIN_DRX_Driver.exe with the
//     origin of its client area and its child controls: class, id, text,
//     screen rectangle, and a list box's entries and item height. Texts travel
//     in the window messages a screen reader uses (WM_GETTEXT, LB_GETTEXT), so
//     they are what the controls hold. A control's font cannot be read from
//     another process; the height a list measures its entries with can.
//
//   kvprobe render LIST PREFIX
//     Draws texts the way a window draws them and writes each one's ink as an
//     8-bit grey PGM, PREFIX0.pgm, PREFIX1.pgm, ... LIST is a UTF-8 file with
//     one text a line: face, pixel height, weight, DrawTextW format, width,
//     height and the text, separated by tabs (DT_VCENTER with DT_WORDBREAK
//     centres the wrapped lines as a block). A test lays the ink over a
//     screenshot to see that the text is there, in that font.
//
//   kvprobe watch FILE SECONDS
//     Watches, every few milliseconds, for a visible layered top-level window
//     of the program (the on-screen display) for up to SECONDS. Writes
//     FILE.ready once watching; FILE.seen when the window first shows (its
//     class, text, extended styles, rectangle, whether it is above the front
//     window, the front window's title); FILE once it has gone or the time
//     is up: the same, with how long it showed (ms), every text it had and
//     every front window seen while it showed.
//
// Exit status 0, or 2 with a message on standard error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kProgram = L"KALVORIN_DRX_Driver.exe";
constexpr UINT kTimeoutMs = 3000;

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out + "\"";
}

std::string Json(const RECT& r) {
  char text[96];
  std::snprintf(text, sizeof text, "[%ld, %ld, %ld, %ld]", r.left, r.top, r.right, r.bottom);
  return text;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &answer)) return false;
  result = static_cast<LRESULT>(answer);
  return true;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

std::wstring TextOf(HWND window) {
  LRESULT length = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, length) || length <= 0) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT copied = 0;
  Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

bool IsTheProgram(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const bool named = QueryFullProcessImageNameW(process, 0, path, &size) != 0;
  CloseHandle(process);
  if (!named) return false;
  const size_t length = wcslen(path), want = wcslen(kProgram);
  return length >= want && _wcsicmp(path + length - want, kProgram) == 0 &&
         (length == want || path[length - want - 1] == L'\\' || path[length - want - 1] == L'/');
}

std::string ListOf(HWND list) {
  LRESULT count = 0, height = 0, top = 0, selection = -1;
  if (!Send(list, LB_GETCOUNT, 0, 0, count) || count < 0) return "null";
  Send(list, LB_GETITEMHEIGHT, 0, 0, height);
  Send(list, LB_GETTOPINDEX, 0, 0, top);
  Send(list, LB_GETCURSEL, 0, 0, selection);
  std::string entries = "[";
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = 0;
    std::wstring text;
    if (Send(list, LB_GETTEXTLEN, i, 0, length) && length > 0) {
      text.assign(static_cast<size_t>(length) + 1, L'\0');
      LRESULT copied = 0;
      Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()), copied);
      text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    }
    if (i) entries += ", ";
    entries += Json(text);
  }
  entries += "]";
  return "{\"entries\": " + entries + ", \"item_height\": " + std::to_string(height) +
         ", \"top_index\": " + std::to_string(top) + ", \"selection\": " + std::to_string(selection) + "}";
}

std::string Describe(HWND window, bool child) {
  RECT r{};
  GetWindowRect(window, &r);
  const std::wstring cls = ClassOf(window);
  std::string out = "{\"class\": " + Json(cls) + ", \"text\": " + Json(TextOf(window)) + ", \"rect\": " + Json(r) +
                    ", \"visible\": " + (IsWindowVisible(window) ? "true" : "false") +
                    ", \"enabled\": " + (IsWindowEnabled(window) ? "true" : "false");
  if (!child) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    out += ", \"client\": [" + std::to_string(origin.x) + ", " + std::to_string(origin.y) + "]";
  }
  if (child) {
    out += ", \"id\": " + std::to_string(GetDlgCtrlID(window));
    if (_wcsicmp(cls.c_str(), L"ListBox") == 0) out += ", \"list\": " + ListOf(window);
  }
  return out;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  auto* children = reinterpret_cast<std::vector<HWND>*>(param);
  children->push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && IsTheProgram(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

int Windows(const wchar_t* path) {
  std::vector<HWND> tops;
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&tops));
  std::string out = "[";
  for (size_t t = 0; t < tops.size(); ++t) {
    std::vector<HWND> children;
    EnumChildWindows(tops[t], CollectChild, reinterpret_cast<LPARAM>(&children));
    std::string window = Describe(tops[t], false) + ", \"children\": [";
    for (size_t c = 0; c < children.size(); ++c) window += (c ? ",\n    " : "\n    ") + Describe(children[c], true) + "}";
    out += (t ? ",\n" : "\n") + window + "]}";
  }
  out += "\n]\n";
  std::ofstream file(path, std::ios::binary);
  file << out;
  if (!file) {
    std::fwprintf(stderr, L"kvprobe: cannot write %ls\n", path);
    return 2;
  }
  return 0;
}

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
  std::vector<std::wstring> fields;
  std::wstringstream in(line);
  std::wstring field;
  while (std::getline(in, field, L'\t')) fields.push_back(field);
  return fields;
}

// White on black in a 32-bit surface: the green channel is the ink.
bool RenderOne(const std::vector<std::wstring>& f, const std::wstring& path) {
  const int height = std::stoi(f[1]), weight = std::stoi(f[2]);
  const UINT format = static_cast<UINT>(std::stoul(f[3]));
  const int w = std::stoi(f[4]), h = std::stoi(f[5]);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return false;
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  RECT all{0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HFONT font = CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, 0x20, f[0].c_str());
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT box = all;
  if ((format & DT_WORDBREAK) && (format & DT_VCENTER)) {
    // Wrapped lines centred as a block: measured first, the box shrunk to
    // them evenly above and below.
    RECT measured = all;
    DrawTextW(dc, f[6].c_str(), static_cast<int>(f[6].size()), &measured, (format & ~DT_VCENTER) | DT_CALCRECT);
    const int spare = h - (measured.bottom - measured.top);
    box.top += spare / 2;
    box.bottom -= spare - spare / 2;
  }
  DrawTextW(dc, f[6].c_str(), static_cast<int>(f[6].size()), &box, format);
  GdiFlush();
  std::vector<unsigned char> grey(static_cast<size_t>(w) * h);
  const auto* pixels = static_cast<const unsigned char*>(bits);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = pixels[i * 4 + 1];
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(dc);
  std::ofstream out(path.c_str(), std::ios::binary);
  out << "P5\n" << w << " " << h << "\n255\n";
  out.write(reinterpret_cast<const char*>(grey.data()), static_cast<std::streamsize>(grey.size()));
  return static_cast<bool>(out);
}

int Render(const wchar_t* listPath, const std::wstring& prefix) {
  std::ifstream in(listPath, std::ios::binary);
  if (!in) {
    std::fwprintf(stderr, L"kvprobe: cannot read %ls\n", listPath);
    return 2;
  }
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::vector<std::wstring> fields = Fields(Wide(line));
    if (fields.size() != 7) {
      std::fwprintf(stderr, L"kvprobe: line %d has %d fields, not 7\n", n + 1, static_cast<int>(fields.size()));
      return 2;
    }
    bool drawn = false;
    try {
      drawn = RenderOne(fields, prefix + std::to_wstring(n) + L".pgm");
    } catch (const std::exception&) {  // a number field that is not a number
    }
    if (!drawn) {
      std::fwprintf(stderr, L"kvprobe: could not draw line %d\n", n + 1);
      return 2;
    }
    ++n;
  }
  return 0;
}

double Millis(LARGE_INTEGER from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Layered {
  HWND found = nullptr;
  int z = 0;       // its place from the top among the top-level windows
  int frontZ = -1;  // the front window's place
  HWND front = nullptr;
  int index = 0;
};

BOOL CALLBACK FindLayered(HWND window, LPARAM param) {
  auto* l = reinterpret_cast<Layered*>(param);
  if (window == l->front) l->frontZ = l->index;
  if (!l->found && IsWindowVisible(window) && (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) &&
      IsTheProgram(window)) {
    l->found = window;
    l->z = l->index;
  }
  ++l->index;
  return TRUE;
}

bool WriteText(const std::wstring& path, const std::string& text) {
  std::ofstream file(path.c_str(), std::ios::binary);
  file << text;
  return static_cast<bool>(file);
}

int Watch(const std::wstring& path, double seconds) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!WriteText(path + L".ready", "watching\n")) {
    std::fwprintf(stderr, L"kvprobe: cannot write %ls.ready\n", path.c_str());
    return 2;
  }
  double seenMs = -1, goneMs = -1;
  std::string first;
  std::vector<std::wstring> texts, fronts;
  const auto remember = [](std::vector<std::wstring>& list, const std::wstring& value) {
    for (const std::wstring& v : list)
      if (v == value) return;
    list.push_back(value);
  };
  while (Millis(start) < seconds * 1000) {
    Layered l;
    l.front = GetForegroundWindow();
    EnumWindows(FindLayered, reinterpret_cast<LPARAM>(&l));
    if (!l.found) {
      if (seenMs >= 0) {
        goneMs = Millis(start);
        break;
      }
      Sleep(2);
      continue;
    }
    const std::wstring text = TextOf(l.found);
    wchar_t title[256] = {};
    if (l.front) GetWindowTextW(l.front, title, 256);
    // A window on its way out answers no message: no text, not an empty one.
    if (!text.empty()) remember(texts, text);
    remember(fronts, title);
    if (seenMs < 0) {
      seenMs = Millis(start);
      RECT r{};
      GetWindowRect(l.found, &r);
      char style[32];
      std::snprintf(style, sizeof style, "%lu", static_cast<unsigned long>(GetWindowLongPtrW(l.found, GWL_EXSTYLE)));
      first = "\"class\": " + Json(ClassOf(l.found)) + ", \"text\": " + Json(text) + ", \"ex_style\": " + style +
              ", \"rect\": " + Json(r) + ", \"above_front\": " + (l.frontZ < 0 || l.z < l.frontZ ? "true" : "false") +
              ", \"front\": " + Json(title);
      WriteText(path + L".seen", "{" + first + "}\n");
    }
    Sleep(2);
  }
  std::string list = "[", frontList = "[";
  for (size_t i = 0; i < texts.size(); ++i) list += (i ? ", " : "") + Json(texts[i]);
  for (size_t i = 0; i < fronts.size(); ++i) frontList += (i ? ", " : "") + Json(fronts[i]);
  char times[96];
  std::snprintf(times, sizeof times, "\"seen\": %s, \"shown_ms\": %.1f", seenMs >= 0 ? "true" : "false",
                seenMs >= 0 && goneMs >= 0 ? goneMs - seenMs : -1.0);
  const std::string out = "{" + std::string(times) + (first.empty() ? "" : ", " + first) + ", \"texts\": " + list +
                          "], \"fronts\": " + frontList + "]}\n";
  if (!WriteText(path, out)) {
    std::fwprintf(stderr, L"kvprobe: cannot write %ls\n", path.c_str());
    return 2;
  }
  return 0;
}

// What Windows sends every top-level window after a wake from sleep.
int Wake() {
  LRESULT answer = 0;
  HWND window = FindWindowW(L"KV-305GMClass", nullptr);
  return window && Send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, answer) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wcscmp(argv[1], L"wake") == 0) return Wake();
  if (argc == 3 && std::wcscmp(argv[1], L"windows") == 0) return Windows(argv[2]);
  if (argc == 4 && std::wcscmp(argv[1], L"render") == 0) return Render(argv[2], argv[3]);
  if (argc == 4 && std::wcscmp(argv[1], L"watch") == 0) return Watch(argv[2], _wtof(argv[3]));
  std::fwprintf(stderr, L"usage: kvprobe windows FILE | kvprobe render LIST PREFIX | kvprobe watch FILE SECONDS | kvprobe wake\n");
  return 2;
}
