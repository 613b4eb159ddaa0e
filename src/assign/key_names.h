#pragma once
// The name of a pressed key as the key-name table spells it. The system's
// own key names follow its language and, under Wine, X11 ("Caps_Lock",
// "Return", "Control" for both Ctrl keys), so a name taken from the system
// would often match no entry of the table and store usage 0. The key's scan
// code with its extended flag says which key it is on every layout.
#include <cstdint>
#include <string>

namespace kovral {

// The table's name for a scan code (set 1) and extended flag; nullptr for a
// key the table does not name.
const wchar_t* KeyNameOfScanCode(unsigned scanCode, bool extended);

// The table's name for a Linux input event code (linux/input-event-codes.h:
// KEY_A is 30; an X11 key code is this plus 8); nullptr for a key the table
// does not name. The codes of the main block are the set-1 scan codes; the
// keys Windows marks extended have codes of their own.
const wchar_t* KeyNameOfEvdevCode(unsigned code);

// The name of the key of a keystroke, from its key data (the lParam of a
// key message or of the keyboard hook: scan code in bits 16..23, extended
// flag in bit 24): the table's name when it has one, otherwise the system's.
std::wstring KeyNameOfKeystroke(uint32_t keyData, const std::wstring& systemName);

}  // namespace kovral
