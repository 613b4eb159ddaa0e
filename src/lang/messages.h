#pragma once
// Messages that read the same in every interface language: failures of
// system calls and of files, and the macro limit. Texts with "%d" take one
// number (FormatNumber, lang/text_format.h). Captions are noted beside each;
// "application name" means the default caption.
namespace kovral {

// Start-up (application name).
inline constexpr const wchar_t* kMsgCreateEventFailed = L"CreateEvent failed.";
inline constexpr const wchar_t* kMsgDeviceNotificationFailed = L"RegisterDeviceNotification failed!!!";

// config.bin (application name, except where a caption is given).
inline constexpr const wchar_t* kMsgConfigFileMissing = L"Config file is not exist.";
inline constexpr const wchar_t* kMsgConfigWriteFailed = L"Error Code is: %d \n";
inline constexpr const wchar_t* kCaptionConfigWriteFailed = L"NULL ==fp ";

// Skin images inside a dialog (application name).
inline constexpr const wchar_t* kMsgLoadPngFailed = L"LoadPng---Load image failed.";

// Keyboard hooks (application name); the number is the system's last error.
inline constexpr const wchar_t* kMsgComboHookFailed = L"KeyboardHook_ComboDlg Install error code :%d\n";
inline constexpr const wchar_t* kMsgSingleHookFailed = L"KeyboardHook_SingleDlgKey Install error code :%d\n";
inline constexpr const wchar_t* kMsgRecorderHookFailed = L"JournalRecordHook Install error code :%d\n";

// Macro store (caption "Warning").
inline constexpr const wchar_t* kMsgMacroLimit = L"Macro numbers up to 12.";

// Operating-system pointer settings (caption "Warning").
inline constexpr const wchar_t* kMsgGetMouseSpeedFailed = L"GETMOUSESPEED failed.";
inline constexpr const wchar_t* kMsgGetWheelLinesFailed = L"GETWHEELSCROLLLINES failed.";
inline constexpr const wchar_t* kMsgGetDoubleClickTimeFailed = L"GetDoubleClickTime failed.";
inline constexpr const wchar_t* kMsgSetMouseFailed = L"SETMOUSE failed.";
inline constexpr const wchar_t* kMsgSetMouseSpeedFailed = L"SETMOUSESPEED failed.";
inline constexpr const wchar_t* kMsgSetWheelLinesFailed = L"SETWHEELSCROLLLINES failed.";
inline constexpr const wchar_t* kMsgSetDoubleClickTimeFailed = L"SPI_SETDOUBLECLICKTIME failed.";

}  // namespace kovral
