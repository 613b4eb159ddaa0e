#include "lang/main_texts.h"

#include <iterator>

namespace kovral {
namespace {

// Texts that read the same in every language.
constexpr const wchar_t* kTrayTip = L"Gaming Mouse Setting";
constexpr const wchar_t* kModeA = L"Mode A";
constexpr const wchar_t* kModeB = L"Mode B";
constexpr const wchar_t* kDpiUp = L"DPI +";
constexpr const wchar_t* kDpiDown = L"DPI -";
constexpr const wchar_t* kDpiLoop = L"DPI Loop";
constexpr const wchar_t* kColor = L"Color";
constexpr const wchar_t* kSelect = L"Select";
constexpr const wchar_t* k125 = L"125";
constexpr const wchar_t* k250 = L"250";
constexpr const wchar_t* k500 = L"500";
constexpr const wchar_t* k1000 = L"1000";

// The English effect name "Non-Disolay" is kept as the program has always
// shown it.
constexpr MainTexts kEnglish{
    .basicTitle = L"Basic Settings",
    .advancedTitle = L"Advanced Settings",
    .ok = L"OK",
    .apply = L"Apply",
    .cancel = L"Cancel",
    .keyDefault = L"Default",
    .advancedDefault = L"Default",
    .functionList = {
        L"Left Click", L"Right Click", L"Mid Click", L"Forward", L"Backward", L"Triple-click",
        L"DPI Switch", L"RGB On/Off", L"Windows", L"Multimedia", L"Fire Key", L"Single Key",
        L"Combo Key", L"Macro Key", L"Shift", L"Key Off"
    },
    .leftKeyRequired = L"Left key must be selected!",
    .keySetting = L"Key Setting",
    .reportRateSetting = L"Report Rate Setting",
    .dpiSetting = L"DPI Setting",
    .dpiEffect = L"DPI Effect",
    .lightModeLabel = L"Mode",
    .lightParameterLabel = L"Parameter",
    .lightEffectLabel = L"Effect",
    .lightModeNames = {L"Off", L"Standard", L"Respiration", L"Neon"},
    .lightEffectNames = {L"Non-Disolay", L"RGB Effect", L"RGB Flash", L"RGB Fixed On"},
    .reportRateNotices = {
        L"Switch report rate into 1000HZ", L"Switch report rate into 500HZ",
        L"Switch report rate into 250HZ", L"Switch report rate into 125HZ"
    },
    .dpiStageNotices = {
        L"Switch DPI into the first stage ", L"Switch DPI into the second stage ",
        L"Switch DPI into the third stage ", L"Switch DPI into the fourth stage "
    },
    .keyMatrixNotices = {L"Switch to key matrix 1", L"Switch to key matrix 2"},
    .macroKeyNotice = L"Switch to macro key",
    .mouseMissingNotice = L"The system did not detect the gaming mouse!",
    .mouseFoundNotice = L"The system detect the gaming mouse.",
    .trayExit = L"Exit",
    .trayStartWithWindows = L"Start with Windows",
    .trayStartWithDesktop = L"Start with the desktop",
    .trayExportProfile = L"Export profile…",
    .trayImportProfile = L"Import profile…",
    .trayPreferences = L"Preferences…",
    .trayProfiles = L"Profiles",
    .trayDesktop = L"Desktop",
    .traySwitchAutomatically = L"Switch automatically",
    .trayShowSwitchNotices = L"Show switch notices",
    .trayManageProfiles = L"Manage profiles…",
    .profileSwitchNotice = L"Profile: %s",
    .desktopSwitchNotice = L"Desktop settings",
    .profileFileType = L"Kovral profile",
    .allFilesType = L"All files",
    .mouseSpeed = L"Mouse Speed",
    .scrollingSpeed = L"Scrolling Speed",
    .doubleClickSpeed = L"Double-Click Speed",
    .enhancePrecision = L"Enhance Pointer Precision",
    .scrollOneScreen = L"Scroll One Screen",
    .macroSetting = L"Macro Setting",
    .selectMacro = L"Select Macro",
    .keyPressSequence = L"Key Press Sequence",
    .recordOption = L"Record Option",
    .macroName = L"Macro Name",
    .loopTimes = L"Loop Times",
    .insertMouseEvent = L"Insert A Mouse Event",
    .startRecording = L"Start Recording",
    .stopRecording = L"Stop Recording",
    .newMacro = L"New",
    .deleteMacro = L"Delete",
    .confirmMacro = L"Confirm",
    .macroNameBlank = L"Macro name is blank",
    .macroNameExists = L"Macro name already exists",
    .macroNameInvalid = L"Macro name is invalid",
    .macroTooLong = L"Macro is too long; the mouse keeps the first %d events.",
    .skinIncomplete = L"This skin is incomplete.",
    .recordingHint = L"Press Ctrl+Break key to stop recording",
    .notRecording = L"It doesn’t start recording, unnecessary to press Stop key!",
    .settingsSaveFailed = L"Could not save the settings to %s.",
    .startWithWindowsFailed = L"Start with Windows could not be changed.",
    .startWithDesktopFailed = L"Start with the desktop could not be changed.",
    .profileWriteFailed = L"Could not write the profile to %s.",
    .profileReadFailed = L"Could not read the profile %s.",
    .profileRefused = L"This profile cannot be imported:\n%s",
    .profileImported = L"The profile is loaded. Click Apply to send it to the mouse and save it, or Cancel to discard it.",
    .noWheelSetting = L"This desktop has no setting for the lines a wheel notch scrolls; each program decides.",
    .webLink = kMakerWebAddress,
    .trayTip = kTrayTip,
    .modeNames = {kModeA, kModeB},
    .dpiActions = {kDpiUp, kDpiDown, kDpiLoop},
    .colorLabel = kColor,
    .selectLabel = kSelect,
    .reportRateLabels = {k125, k250, k500, k1000},
};

constexpr MainTexts kSimplified{
    .basicTitle = L"基本设置",
    .advancedTitle = L"高级设置",
    .ok = L"确定",
    .apply = L"应用",
    .cancel = L"取消",
    .keyDefault = L"按键恢复",
    .advancedDefault = L"恢复默认",
    .functionList = {
        L"左键", L"右键", L"中键", L"前进方向键", L"后退方向键", L"三连发", L"DPI切换", L"RGB打开/关闭", L"Windows", L"多媒体",
        L"火力键", L"单键", L"组合键", L"宏", L"Shift", L"按键关闭"
    },
    .leftKeyRequired = L"左键功能必须选择！",
    .keySetting = L"按键设置",
    .reportRateSetting = L"报告率设置",
    .dpiSetting = L"DPI设置",
    .dpiEffect = L"DPI显示特效",
    .lightModeLabel = L"模式",
    .lightParameterLabel = L"参数",
    .lightEffectLabel = L"效果",
    .lightModeNames = {L"关闭模式", L"标准模式", L"呼吸模式", L"霓虹模式"},
    .lightEffectNames = {L"关闭", L"RGB效果", L"RGB闪烁", L"RGB常亮"},
    .reportRateNotices = {L"报告率切换到1000HZ", L"报告率切换到500HZ", L"报告率切换到250HZ", L"报告率切换到125HZ"},
    .dpiStageNotices = {L"DPI切换到第一段", L"DPI切换到第二段", L"DPI切换到第三段", L"DPI切换到第四段"},
    .keyMatrixNotices = {L"切换到按键组1", L"切换到按键组2"},
    .macroKeyNotice = L"切换到宏",
    .mouseMissingNotice = L"系统没有检测到游戏鼠标！",
    .mouseFoundNotice = L"系统检测到游戏鼠标。",
    .trayExit = L"退出",
    .trayStartWithWindows = L"开机时启动",
    .trayStartWithDesktop = L"登录桌面时启动",
    .trayExportProfile = L"导出配置文件…",
    .trayImportProfile = L"导入配置文件…",
    .trayPreferences = L"首选项…",
    .trayProfiles = L"配置文件",
    .trayDesktop = L"桌面",
    .traySwitchAutomatically = L"自动切换",
    .trayShowSwitchNotices = L"显示切换通知",
    .trayManageProfiles = L"管理配置文件…",
    .profileSwitchNotice = L"配置文件：%s",
    .desktopSwitchNotice = L"桌面设置",
    .profileFileType = L"Kovral 配置文件",
    .allFilesType = L"所有文件",
    .mouseSpeed = L"鼠标移动速度",
    .scrollingSpeed = L"鼠标滚动速度",
    .doubleClickSpeed = L"鼠标双击速度",
    .enhancePrecision = L"提高指针准确度",
    .scrollOneScreen = L"一次滚动一个屏幕",
    .macroSetting = L"宏设置",
    .selectMacro = L"选择宏",
    .keyPressSequence = L"按键序列",
    .recordOption = L"录制选项",
    .macroName = L"宏名称",
    .loopTimes = L"循环次数",
    .insertMouseEvent = L"插入一个鼠标事件",
    .startRecording = L"开始录制",
    .stopRecording = L"停止录制",
    .newMacro = L"新建",
    .deleteMacro = L"删除",
    .confirmMacro = L"确认",
    .macroNameBlank = L"宏名称为空",
    .macroNameExists = L"宏名称已经存在",
    .macroNameInvalid = L"宏名称无效",
    .macroTooLong = L"宏过长，鼠标只保存前 %d 个事件。",
    .skinIncomplete = L"该皮肤不完整。",
    .recordingHint = L"按Ctrl+Break可以停止录制",
    .notRecording = L"没有开始录制,点击停止录制按钮没有意义！",
    .settingsSaveFailed = L"无法将设置保存到 %s。",
    .startWithWindowsFailed = L"无法更改开机时启动设置。",
    .startWithDesktopFailed = L"无法更改登录桌面时启动设置。",
    .profileWriteFailed = L"无法将配置文件写入 %s。",
    .profileReadFailed = L"无法读取配置文件 %s。",
    .profileRefused = L"无法导入此配置文件：\n%s",
    .profileImported = L"配置文件已载入。点击“应用”将其写入鼠标并保存，点击“取消”则放弃。",
    .noWheelSetting = L"此桌面没有滚轮每格滚动行数的设置，由各程序自行决定。",
    .webLink = kMakerWebAddress,
    .trayTip = kTrayTip,
    .modeNames = {kModeA, kModeB},
    .dpiActions = {kDpiUp, kDpiDown, kDpiLoop},
    .colorLabel = kColor,
    .selectLabel = kSelect,
    .reportRateLabels = {k125, k250, k500, k1000},
};

constexpr MainTexts kTraditional{
    .basicTitle = L"基本設置",
    .advancedTitle = L"高級設置",
    .ok = L"確定",
    .apply = L"應用",
    .cancel = L"取消",
    .keyDefault = L"按鍵恢復",
    .advancedDefault = L"恢復默認",
    .functionList = {
        L"左鍵", L"右鍵", L"中鍵", L"前進方向鍵", L"後退方向鍵", L"三連發", L"DPI切換", L"RGB打開/關閉", L"Windows", L"多媒體",
        L"火力鍵", L"單鍵", L"複合鍵", L"巨集", L"Shift", L"按鍵關閉"
    },
    .leftKeyRequired = L"左鍵功能必須選擇！",
    .keySetting = L"按鍵設置",
    .reportRateSetting = L"報告率設置",
    .dpiSetting = L"DPI設置",
    .dpiEffect = L"DPI顯示特效",
    .lightModeLabel = L"模式",
    .lightParameterLabel = L"參數",
    .lightEffectLabel = L"效果",
    .lightModeNames = {L"關閉模式", L"標準模式", L"呼吸模式", L"霓虹模式"},
    .lightEffectNames = {L"關閉", L"RGB效果", L"RGB閃爍", L"RGB常亮"},
    .reportRateNotices = {L"報告率切換到1000HZ", L"報告率切換到500HZ", L"報告率切換到250HZ", L"報告率切換到125HZ"},
    .dpiStageNotices = {L"DPI切換到第一段", L"DPI切換到第二段", L"DPI切換到第三段", L"DPI切換到第四段"},
    .keyMatrixNotices = {L"切換到按鍵群組1", L"切換到按鍵群組2"},
    .macroKeyNotice = L"切換到巨集",
    .mouseMissingNotice = L"系統沒有檢測到遊戲滑鼠！",
    .mouseFoundNotice = L"系統檢測到遊戲滑鼠。",
    .trayExit = L"退出",
    .trayStartWithWindows = L"開機時啟動",
    .trayStartWithDesktop = L"登入桌面時啟動",
    .trayExportProfile = L"匯出設定檔…",
    .trayImportProfile = L"匯入設定檔…",
    .trayPreferences = L"偏好設定…",
    .trayProfiles = L"設定檔",
    .trayDesktop = L"桌面",
    .traySwitchAutomatically = L"自動切換",
    .trayShowSwitchNotices = L"顯示切換通知",
    .trayManageProfiles = L"管理設定檔…",
    .profileSwitchNotice = L"設定檔：%s",
    .desktopSwitchNotice = L"桌面設定",
    .profileFileType = L"Kovral 設定檔",
    .allFilesType = L"所有檔案",
    .mouseSpeed = L"滑鼠移動速度",
    .scrollingSpeed = L"滑鼠滾動速度",
    .doubleClickSpeed = L"滑鼠雙擊速度",
    .enhancePrecision = L"提高指針準確度",
    .scrollOneScreen = L"一次滾動一個螢幕",
    .macroSetting = L"巨集設置",
    .selectMacro = L"選擇巨集",
    .keyPressSequence = L"按鍵序列",
    .recordOption = L"錄製選項",
    .macroName = L"巨集名稱",
    .loopTimes = L"迴圈次數",
    .insertMouseEvent = L"插入一個滑鼠事件",
    .startRecording = L"開始錄製",
    .stopRecording = L"停止錄製",
    .newMacro = L"新建",
    .deleteMacro = L"刪除",
    .confirmMacro = L"確認",
    .macroNameBlank = L"巨集名稱為空",
    .macroNameExists = L"巨集名稱已經存在",
    .macroNameInvalid = L"巨集名稱無效",
    .macroTooLong = L"巨集過長，滑鼠只保存前 %d 個事件。",
    .skinIncomplete = L"該皮膚不完整。",
    .recordingHint = L"按Ctrl+Break可以停止錄製",
    .notRecording = L"沒有開始錄製，點擊停止錄製按鈕沒有意義！",
    .settingsSaveFailed = L"無法將設置儲存到 %s。",
    .startWithWindowsFailed = L"無法變更開機時啟動設定。",
    .startWithDesktopFailed = L"無法變更登入桌面時啟動設定。",
    .profileWriteFailed = L"無法將設定檔寫入 %s。",
    .profileReadFailed = L"無法讀取設定檔 %s。",
    .profileRefused = L"無法匯入此設定檔：\n%s",
    .profileImported = L"設定檔已載入。點擊「應用」將其寫入滑鼠並儲存，點擊「取消」則放棄。",
    .noWheelSetting = L"此桌面沒有滾輪每格捲動行數的設定，由各程式自行決定。",
    .webLink = kMakerWebAddress,
    .trayTip = kTrayTip,
    .modeNames = {kModeA, kModeB},
    .dpiActions = {kDpiUp, kDpiDown, kDpiLoop},
    .colorLabel = kColor,
    .selectLabel = kSelect,
    .reportRateLabels = {k125, k250, k500, k1000},
};

constexpr const wchar_t* kBrightness[] = {L"5%", L"15%", L"25%", L"35%", L"45%",
                                          L"55%", L"65%", L"75%", L"85%", L"100%"};

// Slow to fast.
constexpr const wchar_t* kRespirationPeriods[] = {L"8S", L"7S", L"6S", L"5S", L"4S"};

// Period v lasts (v + 1) half seconds.
constexpr const wchar_t* kNeonPeriods[] = {
    L"0.5S", L"1S",  L"1.5S", L"2S",  L"2.5S",  L"3S",  L"3.5S",  L"4S",  L"4.5S",  L"5S",
    L"5.5S", L"6S",  L"6.5S", L"7S",  L"7.5S",  L"8S",  L"8.5S",  L"9S",  L"9.5S",  L"10S",
    L"10.5S", L"11S", L"11.5S", L"12S", L"12.5S", L"13S", L"13.5S", L"14S", L"14.5S", L"15S",
};

constexpr const wchar_t* kMouseEvents[] = {
    L"L-Button Click", L"R-Button Click", L"M-Button Click",
    L"L-Button   Dn",  L"L-Button   Up",  L"R-Button   Dn",
    L"R-Button   Up",  L"M-Button   Dn",  L"M-Button   Up",
};

template <std::size_t N>
const wchar_t* Pick(const wchar_t* const (&list)[N], uint8_t value) {
  return value < N ? list[value] : L"";
}

}  // namespace

const MainTexts& MainTextsFor(UiLanguage language) {
  switch (language) {
    case UiLanguage::SimplifiedChinese: return kSimplified;
    case UiLanguage::TraditionalChinese: return kTraditional;
    case UiLanguage::English: break;
  }
  return kEnglish;
}

const wchar_t* LightModeText(const MainTexts& texts, uint8_t lightMode) {
  return Pick(texts.lightModeNames, lightMode);
}
const wchar_t* LightEffectText(const MainTexts& texts, uint8_t effect) {
  return Pick(texts.lightEffectNames, effect);
}
const wchar_t* BrightnessText(uint8_t value) { return Pick(kBrightness, value); }
const wchar_t* RespirationPeriodText(uint8_t value) { return Pick(kRespirationPeriods, value); }
const wchar_t* NeonPeriodText(uint8_t value) { return Pick(kNeonPeriods, value); }
std::span<const wchar_t* const> BrightnessTexts() { return kBrightness; }
std::span<const wchar_t* const> RespirationPeriodTexts() { return kRespirationPeriods; }
std::span<const wchar_t* const> NeonPeriodTexts() { return kNeonPeriods; }
std::span<const wchar_t* const> MouseEventChoices() { return kMouseEvents; }

const wchar_t* StartWithText(const MainTexts& texts, StartupPlace place) {
  return place == StartupPlace::Desktop ? texts.trayStartWithDesktop : texts.trayStartWithWindows;
}

const wchar_t* StartWithFailedText(const MainTexts& texts, StartupPlace place) {
  return place == StartupPlace::Desktop ? texts.startWithDesktopFailed : texts.startWithWindowsFailed;
}

}  // namespace kovral
