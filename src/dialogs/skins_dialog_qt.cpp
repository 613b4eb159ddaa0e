#include "dialogs/skins_dialog_qt.h"

#include <QDir>
#include <QFileInfo>

#include "ui/skin_path.h"

namespace kovral {
namespace {

SkinsFolder SkinsFolderOf(const std::vector<std::wstring>& skinsHomes) {
  SkinsFolder folder;
  for (const std::wstring& home : skinsHomes) folder.roots.push_back(SkinsRootFor(home));
  folder.list = [](const std::wstring& root) {
    std::vector<FolderEntry> entries;
    const QDir dir(QString::fromStdWString(root));
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
      entries.push_back({entry.fileName().toStdWString(), entry.isDir()});
    return entries;
  };
  folder.exists = [](const std::wstring& path) { return QFileInfo::exists(QString::fromStdWString(path)); };
  return folder;
}

}  // namespace

CSkinsDialog::CSkinsDialog(DialogEnvironment environment, std::wstring currentSkinName, ColorChooser& colors,
                           const std::vector<std::wstring>& skinsHomes)
    : CSkinDialog(std::make_unique<SkinsDialogModel>(environment, std::move(currentSkinName),
                                                     SkinsFolderOf(skinsHomes), colors,
                                                     static_cast<SkinsResult&>(*this))) {}

}  // namespace kovral
