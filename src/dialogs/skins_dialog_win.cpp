#include "dialogs/skins_dialog_win.h"

#include "lang/dialog_texts.h"
#include "lang/main_texts.h"
#include "settings/app_paths.h"
#include "ui/skin_path.h"

namespace kovral {

CSkinsDialog::CSkinsDialog(DialogEnvironment environment, std::wstring currentSkinName, ColorChooser& colors)
    : CSkinDialog(layout::DialogKind::Skins, environment),
      chosenSkinName(std::move(currentSkinName)),
      chosenSkinFolder(environment.skinFolder),
      chosenColor(environment.textColor),
      skinsRoot_(SkinsRootFor(PathsFromModulePath(ModulePath()).directory)),
      colors_(colors) {}

void CSkinsDialog::CreateControls() {
  nameText_ = MakeControl(L"STATIC", kSkinNameStatic, layout::skins::kNameText, SS_LEFT | SS_CENTERIMAGE,
                          chosenSkinName);
  swatch_ = MakeControl(L"STATIC", kSkinSwatchStatic, layout::skins::kSwatch, SS_CENTER, L"");
}

// The hint is in the skin's text colour, whatever colour is being chosen.
// The English one is wider than its place above the swatch: it wraps onto a
// second line there rather than losing its ends.
void CSkinsDialog::AddOwnTexts(Scene& scene) const {
  scene.AddText(SkinsTextsFor(language()).colorHint, layout::skins::kHint, ui::kTextWrapCentre,
                environment().textColor);
}

std::vector<FolderEntry> CSkinsDialog::ListSkinsRoot() const {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((skinsRoot_ + L"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

bool CSkinsDialog::OnFieldClick(layout::Point p) {
  if (layout::skins::kField.Contains(p)) {
    if (list()) CloseList();
    else OpenList(kSkinList, layout::skins::kList, SkinListEntries(ListSkinsRoot()), layout::skins::kField);
    return true;
  }
  if (layout::skins::kSwatch.Contains(p)) {
    // Owned by this dialog, so the dialog cannot be clicked while it is open.
    if (std::optional<ui::Rgb> color = colors_.Choose(hwnd_, chosenColor)) {
      chosenColor = *color;
      InvalidateRect(swatch_, nullptr, TRUE);
    }
    return true;
  }
  return false;
}

bool CSkinsDialog::OnControlCommand(int id, int code) {
  if (id != kSkinList) return false;
  if (ListChooses(code)) ChooseListed();
  return true;
}

void CSkinsDialog::ChooseListed() {
  const int selection = list() ? static_cast<int>(SendMessageW(list(), LB_GETCURSEL, 0, 0)) : LB_ERR;
  if (selection < 0) return;
  const LRESULT length = SendMessageW(list(), LB_GETTEXTLEN, selection, 0);
  if (length < 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(list(), LB_GETTEXT, selection, reinterpret_cast<LPARAM>(text.data()))));
  CloseList();
  const SkinPick pick = PickSkin(skinsRoot_, ListSkinsRoot(), text, [](const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  });
  if (!pick.taken) {
    messages().Show(MainTextsFor(language()).skinIncomplete, kCaptionWarning);
    return;
  }
  chosenSkinName = pick.name;
  chosenSkinFolder = pick.folder;
  SetWindowTextW(nameText_, chosenSkinName.c_str());
  InvalidateRect(nameText_, nullptr, TRUE);
}

void CSkinsDialog::OnWheel(int delta) {
  if (!list()) return;
  const WPARAM step = delta > 0 ? SB_LINEUP : SB_LINEDOWN;
  for (int i = 0; i < 3; ++i) SendMessageW(list(), WM_VSCROLL, step, 0);
}

ControlColors CSkinsDialog::ColorsFor(int controlId, ControlType type) const {
  return SkinsDialogControlColors(controlId, type, chosenColor);
}

}  // namespace kovral
