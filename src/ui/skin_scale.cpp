#include "ui/skin_scale.h"

#include <iterator>

#include "ui/dpi_scale.h"
#include "ui/skin_path.h"

namespace kovral::skin {

int DpiOf(PictureSet set) {
  switch (set) {
    case PictureSet::Unit: return 96;
    case PictureSet::OneAndHalf: return 144;
    case PictureSet::Double: return 192;
  }
  return 96;
}

const wchar_t* SuffixOf(PictureSet set) {
  switch (set) {
    case PictureSet::Unit: return L"";
    case PictureSet::OneAndHalf: return L"@1.5x";
    case PictureSet::Double: return L"@2x";
  }
  return L"";
}

// The suffix goes before the extension, so the scaled files sort beside
// their 1x file and keep the ".png" an editor opens them by.
std::wstring PictureFileName(std::wstring_view fileName, PictureSet set) {
  const std::size_t dot = fileName.rfind(L'.');
  const std::size_t slash = fileName.find_last_of(L"/\\");
  const bool hasExtension = dot != std::wstring_view::npos && (slash == std::wstring_view::npos || dot > slash);
  const std::size_t stem = hasExtension ? dot : fileName.size();
  std::wstring name(fileName.substr(0, stem));
  name += SuffixOf(set);
  name += fileName.substr(stem);
  return name;
}

bool SetsPresent::Has(PictureSet set) const {
  switch (set) {
    case PictureSet::Unit: return unit;
    case PictureSet::OneAndHalf: return oneAndHalf;
    case PictureSet::Double: return twice;
  }
  return false;
}

// Reducing a picture keeps it sharper than enlarging a smaller one, so a
// larger set wins over a smaller one that is nearer. The 1x set stands in
// when nothing else is there, even when it is missing: its load then fails
// as it would without scaling, and the incomplete-skin rule speaks for it.
PictureChoice ChoosePictureSet(int dpi, SetsPresent present) { return PictureSetsInOrder(dpi, present).front(); }

// The sets drawn at least as large as the DPI, nearest first, then the
// smaller ones, largest first.
std::vector<PictureChoice> PictureSetsInOrder(int dpi, SetsPresent present) {
  dpi = ui::UsableDpi(dpi);
  present.unit = true;
  std::vector<PictureChoice> order;
  for (PictureSet set : kPictureSets) {
    if (present.Has(set) && DpiOf(set) >= dpi) order.push_back({set, DpiOf(set), dpi});
  }
  for (auto set = std::rbegin(kPictureSets); set != std::rend(kPictureSets); ++set) {
    if (present.Has(*set) && DpiOf(*set) < dpi) order.push_back({*set, DpiOf(*set), dpi});
  }
  return order;
}

std::vector<PicturePick> PicturePicks(std::wstring_view skinFolder, std::wstring_view fileName, int dpi,
                                      const std::function<bool(const std::wstring&)>& exists) {
  const auto pathOf = [&](PictureSet set) { return SkinImagePath(skinFolder, PictureFileName(fileName, set)); };
  SetsPresent present;
  // At 96 DPI or below the 1x file is the answer whatever else exists: no
  // file system calls for the common case.
  if (ui::UsableDpi(dpi) > ui::kUnitDpi) {
    present.oneAndHalf = exists(pathOf(PictureSet::OneAndHalf));
    present.twice = exists(pathOf(PictureSet::Double));
  }
  std::vector<PicturePick> picks;
  for (const PictureChoice& choice : PictureSetsInOrder(dpi, present)) picks.push_back({pathOf(choice.set), choice});
  return picks;
}

PicturePick PickPicture(std::wstring_view skinFolder, std::wstring_view fileName, int dpi,
                        const std::function<bool(const std::wstring&)>& exists) {
  return PicturePicks(skinFolder, fileName, dpi, exists).front();
}

int DrawnLength(int fileLength, const PictureChoice& choice) {
  if (choice.Exact()) return fileLength;
  const int units = ui::MulDivRound(fileLength, ui::kUnitDpi, choice.fileDpi);
  return ui::DeviceLength(units, choice.dpi);
}

}  // namespace kovral::skin
