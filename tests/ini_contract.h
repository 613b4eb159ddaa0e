#pragma once
// Behaviour every INI store must share with the Windows profile functions.
// The suite is defined in ini_contract_test.cpp and instantiated there for
// FileIniStore; the Windows test build instantiates it for Win32IniStore too.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "settings/config_file.h"
#include "settings/ini_store.h"
#include "settings_temp_dir.h"

namespace kovral::testing {

struct IniStoreKind {
  std::string name;
  std::function<std::unique_ptr<IniStore>(ConfigFileSystem&)> make;
};

inline void PrintTo(const IniStoreKind& kind, std::ostream* out) { *out << kind.name; }

inline std::string IniStoreKindName(const ::testing::TestParamInfo<IniStoreKind>& info) { return info.param.name; }

class IniStoreContract : public ::testing::TestWithParam<IniStoreKind> {
 protected:
  void SetUp() override {
    files_ = MakeSystemFileSystem();
    store_ = GetParam().make(*files_);
  }
  IniStore& store() { return *store_; }
  ConfigFileSystem& files() { return *files_; }

  TempDir dir_;

 private:
  std::unique_ptr<ConfigFileSystem> files_;
  std::unique_ptr<IniStore> store_;
};

// Every Chinese text of the main window, Simplified and Traditional, as the
// button texts and messages that end up in str.ini and record.ini.
inline const wchar_t* const kChineseInterfaceTexts[] = {
    L"基本设置", L"基本設置", L"高级设置", L"高級設置",
    L"确定", L"確定", L"应用", L"應用",
    L"取消", L"取消", L"按键恢复", L"按鍵恢復",
    L"恢复默认", L"恢復默認", L"左键", L"左鍵",
    L"右键", L"右鍵", L"中键", L"中鍵",
    L"前进方向键", L"前進方向鍵", L"后退方向键", L"後退方向鍵",
    L"三连发", L"三連發", L"DPI切换", L"DPI切換",
    L"RGB打开/关闭", L"RGB打開/關閉", L"Windows", L"Windows",
    L"多媒体", L"多媒體", L"火力键", L"火力鍵",
    L"单键", L"單鍵", L"组合键", L"複合鍵",
    L"宏", L"巨集", L"Shift", L"Shift",
    L"按键关闭", L"按鍵關閉", L"左键功能必须选择！", L"左鍵功能必須選擇！",
    L"按键设置", L"按鍵設置", L"报告率设置", L"報告率設置",
    L"DPI设置", L"DPI設置", L"DPI显示特效", L"DPI顯示特效",
    L"模式", L"模式", L"参数", L"參數",
    L"效果", L"效果", L"关闭模式", L"關閉模式",
    L"标准模式", L"標準模式", L"呼吸模式", L"呼吸模式",
    L"霓虹模式", L"霓虹模式", L"关闭", L"關閉",
    L"RGB效果", L"RGB效果", L"RGB闪烁", L"RGB閃爍",
    L"RGB常亮", L"RGB常亮", L"报告率切换到1000HZ", L"報告率切換到1000HZ",
    L"报告率切换到500HZ", L"報告率切換到500HZ", L"报告率切换到250HZ", L"報告率切換到250HZ",
    L"报告率切换到125HZ", L"報告率切換到125HZ", L"DPI切换到第一段", L"DPI切換到第一段",
    L"DPI切换到第二段", L"DPI切換到第二段", L"DPI切换到第三段", L"DPI切換到第三段",
    L"DPI切换到第四段", L"DPI切換到第四段", L"切换到按键组1", L"切換到按鍵群組1",
    L"切换到按键组2", L"切換到按鍵群組2", L"切换到宏", L"切換到巨集",
    L"系统没有检测到游戏鼠标！", L"系統沒有檢測到遊戲滑鼠！", L"系统检测到游戏鼠标。", L"系統檢測到遊戲滑鼠。",
    L"退出", L"退出", L"鼠标移动速度", L"滑鼠移動速度",
    L"鼠标滚动速度", L"滑鼠滾動速度", L"鼠标双击速度", L"滑鼠雙擊速度",
    L"提高指针准确度", L"提高指針準確度", L"一次滚动一个屏幕", L"一次滾動一個螢幕",
    L"宏设置", L"巨集設置", L"选择宏", L"選擇巨集",
    L"按键序列", L"按鍵序列", L"录制选项", L"錄製選項",
    L"宏名称", L"巨集名稱", L"循环次数", L"迴圈次數",
    L"插入一个鼠标事件", L"插入一個滑鼠事件", L"开始录制", L"開始錄製",
    L"停止录制", L"停止錄製", L"新建", L"新建",
    L"删除", L"刪除", L"确认", L"確認",
    L"宏名称为空", L"巨集名稱為空", L"宏名称已经存在", L"巨集名稱已經存在",
    L"按Ctrl+Break可以停止录制", L"按Ctrl+Break可以停止錄製", L"没有开始录制,点击停止录制按钮没有意义！", L"沒有開始錄製，點擊停止錄製按鈕沒有意義！",
};

}  // namespace kovral::testing
