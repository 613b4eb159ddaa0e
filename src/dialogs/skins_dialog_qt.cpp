#include "dialogs/skins_dialog_qt.h"

#include <QDir>
#include <QFileInfo>

#include "settings/app_paths.h"
#include "ui/skin_path.h"

namespace kovral {
namespace {

// The skins are listed where the skin in use lies: beside the program or
// in the installed share folder, whichever the program found at start.
std::wstring SkinsRootOf(const std::wstring& skinFolder) {
  const size_t slash = skinFolder.find_last_of(L"/\\");
  if (slash != std::wstring::npos && slash > 0) return skinFolder.substr(0, slash);
  return SkinsRootFor(PathsFromModulePath(ModulePath()).directory);
}

SkinsFolder SkinsFolderOf(const std::wstring& skinFolder) {
  SkinsFolder folder;
  folder.root = SkinsRootOf(skinFolder);
  folder.list = [root = folder.root] {
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

CSkinsDialog::CSkinsDialog(DialogEnvironment environment, std::wstring currentSkinName, ColorChooser& colors)
    : CSkinDialog(std::make_unique<SkinsDialogModel>(environment, std::move(currentSkinName),
                                                     SkinsFolderOf(environment.skinFolder), colors,
                                                     static_cast<SkinsResult&>(*this))) {}

}  // namespace kovral
