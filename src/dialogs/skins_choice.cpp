#include "dialogs/skins_choice.h"

#include "dialogs/dialog_face.h"
#include "lang/text_format.h"
#include "view/layout.h"
#include "ui/skin_path.h"

namespace kovral {

std::vector<std::wstring> SkinListEntries(std::span<const FolderEntry> entries) {
  std::vector<std::wstring> names;
  for (const FolderEntry& e : entries)
    if (e.directory && e.name != L"." && e.name != L"..") names.push_back(e.name);
  return names;
}

std::optional<std::wstring> FindSkinFolder(std::wstring_view root, std::span<const FolderEntry> entries,
                                           std::wstring_view name) {
  for (const FolderEntry& e : entries) {
    if (!e.directory || e.name == L"." || e.name == L"..") continue;
    if (!EqualIgnoringCase(e.name, name)) continue;
    std::wstring folder(root);
    folder += L'\\';
    folder += e.name;
    return folder;
  }
  return std::nullopt;
}

SkinPick PickSkin(std::wstring_view root, std::span<const FolderEntry> entries, std::wstring_view entryText,
                  const std::function<bool(const std::wstring&)>& exists) {
  const std::optional<std::wstring> folder = FindSkinFolder(root, entries, entryText);
  if (!folder || !SkinIsComplete(*folder, exists)) return {};
  return {true, std::wstring(entryText), *folder};
}

ControlColors SkinsDialogControlColors(int controlId, ControlType type, ui::Rgb chosen) {
  if (controlId == kSkinSwatchStatic && type == ControlType::Static) {
    ControlColors swatch;
    swatch.background = ControlColors::Background::Transparent;
    swatch.brush = ControlColors::Brush::Solid;
    swatch.brushColor = chosen;
    return swatch;
  }
  return DialogControlColors(layout::DialogKind::Skins, type);
}

}  // namespace kovral
