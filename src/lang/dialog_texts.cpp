#include "lang/dialog_texts.h"

#include <iterator>

#include "lang/main_texts.h"

namespace kovral {
namespace {

constexpr SingleKeyTexts kSingleEn{L"Please enter a key"};
constexpr SingleKeyTexts kSingleChs{L"请输入一个按键"};
constexpr SingleKeyTexts kSingleCht{L"請輸入一個按鍵"};

constexpr FireKeyTexts kFireEn{
    L"Speed",
    L"Times",
    L"Illustration:",
    L"Speed (value range 5-255, with smaller values faster)",
    L"Times (value range 0-255,0 indicates fire key to end when the key released)",
};
constexpr FireKeyTexts kFireChs{
    L"速度",
    L"次数",
    L"说明:",
    L"速度(数值范围5-255，数值越小速度越快)",
    L"次数(数值范围0-255，0表示按键放开火力键结束)",
};
constexpr FireKeyTexts kFireCht{
    L"速度",
    L"次數",
    L"說明:",
    L"速度(數值範圍5-255，數值越小速度越快)",
    L"次數(數值範圍0-255，0表示按鍵放開火力鍵結束)",
};

constexpr DelayTimeTexts kDelayEn{L"Please enter a delay", L"(value range 0-10000)"};
constexpr DelayTimeTexts kDelayChs{L"请输入一个延时", L"(数值范围 0-10000)"};
constexpr DelayTimeTexts kDelayCht{L"請輸入一個延時", L"(數值範圍 0-10000)"};

constexpr MacroKeyTexts kMacroEn{
    L"Please select a macro",
    {
        L"Repeat a specified number of times or press any key to end",
        L"Repeat until press any key to end",
        L"Repeat until the key is released",
    },
};
constexpr MacroKeyTexts kMacroChs{
    L"请从列表框选择一个宏",
    {
        L"重复指定次数或按任意键结束",
        L"重复直到按任意键结束",
        L"重复直到该按键松开结束",
    },
};
constexpr MacroKeyTexts kMacroCht{
    L"請從清單方塊選擇一個巨集",
    {
        L"重複指定次數或按任意鍵結束",
        L"重複直到按任意鍵結束",
        L"重複直到該按鍵鬆開結束",
    },
};

constexpr SkinsTexts kSkinsEn{L"Please click to set the UI text color"};
constexpr SkinsTexts kSkinsChs{L"请点击设置UI文本颜色"};
constexpr SkinsTexts kSkinsCht{L"請點擊設置UI文本顏色"};

constexpr PreferencesTexts kPreferencesEn{
    L"Language",
    L"System default",
    L"Notices",
    {L"On-screen display", L"Balloons", L"Off"},
    L"On-screen display position",
    {L"Top left", L"Top centre", L"Top right", L"Bottom left", L"Bottom right", L"Centre"},
    L"Show me",
    L"Start with Windows",
    L"Start with the desktop",
    L"Switch profiles automatically",
    L"Show profile notices",
};
constexpr PreferencesTexts kPreferencesChs{
    L"语言",
    L"系统默认",
    L"通知",
    {L"屏幕显示", L"气球提示", L"关闭"},
    L"屏幕显示位置",
    {L"左上", L"上方居中", L"右上", L"左下", L"右下", L"居中"},
    L"预览",
    L"开机时启动",
    L"登录桌面时启动",
    L"自动切换配置文件",
    L"显示配置文件通知",
};
constexpr PreferencesTexts kPreferencesCht{
    L"語言",
    L"系統預設",
    L"通知",
    {L"螢幕顯示", L"氣球提示", L"關閉"},
    L"螢幕顯示位置",
    {L"左上", L"上方置中", L"右上", L"左下", L"右下", L"置中"},
    L"預覽",
    L"開機時啟動",
    L"登入桌面時啟動",
    L"自動切換設定檔",
    L"顯示設定檔通知",
};

constexpr ProfilesTexts kProfilesEn{
    {L"Save current settings as\u2026", L"Rename", L"Add program\u2026", L"Remove program", L"Delete"},
    L"(active)",
    L"No profiles yet: type a name and save the current settings.",
    L"Browse\u2026",
    L"Programs",
    L"Type a name in the Name box first.",
    L"Choose a profile in the list first.",
    L"Choose one of the profile's programs in the list first.",
    L"Saved as \"%s\".",
    L"Renamed to \"%s\".",
    L"Deleted \"%s\".",
    L"\"%s\" added.",
    L"\"%s\" removed.",
    L"Delete the profile \"%s\"?",
    L"A profile named \"%s\" exists already. Replace its settings with the current ones? Its programs stay.",
    L"A name has up to 64 characters, none of \\ / : * ? \" < > |, and no dot at its end.",
    L"\"%s\" is the Desktop settings' name; choose another.",
    L"A profile named \"%s\" exists already.",
    L"The profile is for \"%s\" already.",
    L"Not done: %s",
};
constexpr ProfilesTexts kProfilesChs{
    {L"将当前设置另存为\u2026", L"重命名", L"添加程序\u2026", L"移除程序", L"删除"},
    L"（使用中）",
    L"还没有配置文件：输入名称并保存当前设置。",
    L"浏览\u2026",
    L"程序",
    L"请先在名称框中输入名称。",
    L"请先在列表中选择一个配置文件。",
    L"请先在列表中选择该配置文件的一个程序。",
    L"已另存为“%s”。",
    L"已重命名为“%s”。",
    L"已删除“%s”。",
    L"已添加“%s”。",
    L"已移除“%s”。",
    L"删除配置文件“%s”？",
    L"已有名为“%s”的配置文件。要用当前设置替换它的设置吗？它的程序保持不变。",
    L"名称最多 64 个字符，不含 \\ / : * ? \" < > |，且不以句点结尾。",
    L"“%s”是桌面设置的名称，请另选一个。",
    L"已有名为“%s”的配置文件。",
    L"该配置文件已用于“%s”。",
    L"未完成：%s",
};
constexpr ProfilesTexts kProfilesCht{
    {L"將目前設定另存為\u2026", L"重新命名", L"新增程式\u2026", L"移除程式", L"刪除"},
    L"（使用中）",
    L"還沒有設定檔：輸入名稱並儲存目前設定。",
    L"瀏覽\u2026",
    L"程式",
    L"請先在名稱框中輸入名稱。",
    L"請先在清單中選擇一個設定檔。",
    L"請先在清單中選擇該設定檔的一個程式。",
    L"已另存為「%s」。",
    L"已重新命名為「%s」。",
    L"已刪除「%s」。",
    L"已新增「%s」。",
    L"已移除「%s」。",
    L"刪除設定檔「%s」？",
    L"已有名為「%s」的設定檔。要用目前設定取代它的設定嗎？它的程式保持不變。",
    L"名稱最多 64 個字元，不含 \\ / : * ? \" < > |，且不以句點結尾。",
    L"「%s」是桌面設定的名稱，請另選一個。",
    L"已有名為「%s」的設定檔。",
    L"該設定檔已用於「%s」。",
    L"未完成：%s",
};

constexpr const wchar_t* kMediaEn[] = {
    L"Next", L"Previous", L"Stop", L"Play/Pause", L"Mute", L"Vol+", L"Vol-",
};
constexpr const wchar_t* kMediaChs[] = {
    L"下一首", L"上一首", L"停止", L"播放/暂停", L"静音", L"音量+", L"音量-",
};
constexpr const wchar_t* kMediaCht[] = {
    L"下一首", L"上一首", L"停止", L"播放/暫停", L"靜音", L"音量+", L"音量-",
};

constexpr const wchar_t* kWindowsEn[] = {
    L"Multimedia Player", L"Mail", L"Calculator", L"My Computer", L"Browser-Search",
    L"Browser-Home", L"Browser-Back", L"Browser-Forward", L"Browser-Stop", L"Browser-Refresh",
    L"Browser-My Favorites",
};
constexpr const wchar_t* kWindowsChs[] = {
    L"打开多媒体播放器", L"邮件", L"计算器", L"我的电脑", L"浏览器-搜索", L"浏览器-主页", L"浏览器-后退", L"浏览器-前进", L"浏览器-停止",
    L"浏览器-刷新", L"浏览器-收藏夹",
};
constexpr const wchar_t* kWindowsCht[] = {
    L"打開多媒體播放器", L"郵件", L"計算器", L"我的電腦", L"瀏覽器-搜索", L"瀏覽器-主頁", L"瀏覽器-後退", L"瀏覽器-前進", L"瀏覽器-停止",
    L"瀏覽器-刷新", L"瀏覽器-我的最愛",
};
static_assert(std::size(kMediaEn) == 7 && std::size(kMediaChs) == 7 && std::size(kMediaCht) == 7);
static_assert(std::size(kWindowsEn) == 11 && std::size(kWindowsChs) == 11 && std::size(kWindowsCht) == 11);

// One of three by language, English for anything that is not Chinese.
template <typename T>
const T& ByLanguage(UiLanguage language, const T& en, const T& chs, const T& cht) {
  switch (language) {
    case UiLanguage::SimplifiedChinese: return chs;
    case UiLanguage::TraditionalChinese: return cht;
    case UiLanguage::English: break;
  }
  return en;
}

}  // namespace

// The dialogs' buttons read exactly like the main window's.
DialogFrameTexts DialogFrameTextsFor(UiLanguage l) {
  const MainTexts& main = MainTextsFor(l);
  return {main.ok, main.cancel};
}
const SingleKeyTexts& SingleKeyTextsFor(UiLanguage l) { return ByLanguage(l, kSingleEn, kSingleChs, kSingleCht); }
const FireKeyTexts& FireKeyTextsFor(UiLanguage l) { return ByLanguage(l, kFireEn, kFireChs, kFireCht); }
const DelayTimeTexts& DelayTimeTextsFor(UiLanguage l) { return ByLanguage(l, kDelayEn, kDelayChs, kDelayCht); }
const MacroKeyTexts& MacroKeyTextsFor(UiLanguage l) { return ByLanguage(l, kMacroEn, kMacroChs, kMacroCht); }
const SkinsTexts& SkinsTextsFor(UiLanguage l) { return ByLanguage(l, kSkinsEn, kSkinsChs, kSkinsCht); }
const ProfilesTexts& ProfilesTextsFor(UiLanguage l) { return ByLanguage(l, kProfilesEn, kProfilesChs, kProfilesCht); }
const PreferencesTexts& PreferencesTextsFor(UiLanguage l) {
  return ByLanguage(l, kPreferencesEn, kPreferencesChs, kPreferencesCht);
}

std::span<const wchar_t* const> MediaEntries(UiLanguage l) {
  return ByLanguage(l, kMediaEn, kMediaChs, kMediaCht);
}
std::span<const wchar_t* const> WindowsEntries(UiLanguage l) {
  return ByLanguage(l, kWindowsEn, kWindowsChs, kWindowsCht);
}

// The titles name the dialog's class as a developer would look for it, so
// they stay English whatever the interface language.
const wchar_t* DialogImageFailedTitle(DialogKind kind) {
  switch (kind) {
    case DialogKind::Single: return L"Single Key Dialog Load background image failed!!!";
    case DialogKind::Windows: return L"Windows Dialog Load background image failed!!!";
    case DialogKind::Media: return L"Media Dialog Load background image failed!!!";
    case DialogKind::FireKey: return L"FireKey Dialog Load background image failed!!!";
    case DialogKind::MacroKey: return L"Macro Key Dialog Load background image failed!!!";
    case DialogKind::Combo: return L"Combo Dialog Load background image failed!!!";
    case DialogKind::DelayTime: return L"DelayTime Dialog Load background image failed!!!";
    case DialogKind::Skins: return L"Skins Dialog Load background image failed!!!";
    case DialogKind::Profiles: return L"Profiles Dialog Load background image failed!!!";
    case DialogKind::Preferences: return L"Preferences Dialog Load background image failed!!!";
  }
  return L"";
}

}  // namespace kovral
