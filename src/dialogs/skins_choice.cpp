#include "dialogs/skins_choice.h"

#include "dialogs/dialog_face.h"
#include "lang/dialog_texts.h"
#include "lang/main_texts.h"
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
    // Windows takes "/" too; Linux has no other separator.
    std::wstring folder(root);
    folder += L'/';
    folder += e.name;
    return folder;
  }
  return std::nullopt;
}

std::vector<std::wstring> ListSkins(const SkinsFolder& folder) {
  std::vector<std::wstring> names;
  for (const std::wstring& root : folder.roots) {
    for (std::wstring& name : SkinListEntries(folder.list(root))) {
      bool seen = false;
      for (const std::wstring& listed : names) seen = seen || EqualIgnoringCase(listed, name);
      if (!seen) names.push_back(std::move(name));
    }
  }
  return names;
}

SkinPick PickSkin(const SkinsFolder& folder, std::wstring_view entryText) {
  for (const std::wstring& root : folder.roots) {
    const std::optional<std::wstring> found = FindSkinFolder(root, folder.list(root), entryText);
    if (found && SkinIsComplete(*found, folder.exists)) return {true, std::wstring(entryText), *found};
  }
  return {};
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

SkinsDialogModel::SkinsDialogModel(DialogEnvironment environment, std::wstring currentSkinName, SkinsFolder folder,
                                   ColorChooser& colors, SkinsResult& result)
    : SkinDialogModel(layout::DialogKind::Skins, environment),
      folder_(std::move(folder)),
      colors_(colors),
      result_(result) {
  result_.chosenSkinName = std::move(currentSkinName);
  result_.chosenSkinFolder = environment.skinFolder;
  result_.chosenColor = environment.textColor;
}

void SkinsDialogModel::Open() {
  ControlRequest name;
  name.id = kSkinNameStatic;
  name.rect = layout::skins::kNameText;
  name.text = result_.chosenSkinName;
  shell().CreateControl(name);
  ControlRequest swatch;
  swatch.id = kSkinSwatchStatic;
  swatch.rect = layout::skins::kSwatch;
  swatch.centred = true;
  shell().CreateControl(swatch);
}

// The hint is in the skin's text colour, whatever colour is being chosen.
// The English one is wider than its place above the swatch: it wraps onto a
// second line there rather than losing its ends.
void SkinsDialogModel::AddOwnTexts(Scene& scene) const {
  scene.AddText(SkinsTextsFor(language()).colorHint, layout::skins::kHint, ui::kTextWrapCentre,
                environment().textColor);
}

void SkinsDialogModel::OnFieldClick(layout::Point p) {
  if (layout::skins::kField.Contains(p)) {
    if (listOpen()) {
      CloseList();
      return;
    }
    listed_ = ListSkins(folder_);
    OpenList(kSkinList, layout::skins::kList, listed_, layout::skins::kField);
    return;
  }
  if (layout::skins::kSwatch.Contains(p)) {
    // Owned by this dialog, so the dialog cannot be clicked while it is open.
    if (std::optional<ui::Rgb> color = colors_.Choose(shell().ChooserOwner(), result_.chosenColor)) {
      result_.chosenColor = *color;
      shell().RedrawControl(kSkinSwatchStatic);
    }
  }
}

// The folder is listed again: it may have changed while the list was open.
void SkinsDialogModel::OnListChoice(int, int index) {
  if (index < 0 || index >= static_cast<int>(listed_.size())) return;
  const std::wstring text = listed_[static_cast<size_t>(index)];
  CloseList();
  const SkinPick pick = PickSkin(folder_, text);
  if (!pick.taken) {
    shell().Tell(MainTextsFor(language()).skinIncomplete, kCaptionWarning);
    return;
  }
  result_.chosenSkinName = pick.name;
  result_.chosenSkinFolder = pick.folder;
  shell().SetText(kSkinNameStatic, result_.chosenSkinName);
  shell().RedrawControl(kSkinNameStatic);
}

ControlColors SkinsDialogModel::ColorsFor(int controlId, ControlType type) const {
  return SkinsDialogControlColors(controlId, type, result_.chosenColor);
}

}  // namespace kovral
