#pragma once
// A skin may carry each picture drawn for 150 % and 200 % display scale
// beside the 1x file: "/main.png", "/main@1.5x.png", "/main@2x.png". Only
// the 1x files make a skin complete (skin_path.h); the others are optional,
// picture by picture.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kovral::skin {

enum class PictureSet : unsigned char { Unit, OneAndHalf, Double };

inline constexpr PictureSet kPictureSets[] = {PictureSet::Unit, PictureSet::OneAndHalf, PictureSet::Double};

// The DPI a set is drawn for: 96, 144, 192.
int DpiOf(PictureSet set);
// What the set's files add before ".png": "", "@1.5x", "@2x".
const wchar_t* SuffixOf(PictureSet set);

// A file name of skin_files.h in a set: "/main.png" -> "/main@2x.png".
std::wstring PictureFileName(std::wstring_view fileName, PictureSet set);

// Which of a picture's three files exist.
struct SetsPresent {
  bool unit = true;
  bool oneAndHalf = false;
  bool twice = false;
  bool Has(PictureSet set) const;
};

struct PictureChoice {
  PictureSet set = PictureSet::Unit;
  int fileDpi = 96;  // what the chosen file is drawn for
  int dpi = 96;      // what it is drawn at
  bool Exact() const { return fileDpi == dpi; }
};

// The file to load at a window's DPI: the set drawn for that DPI; else the
// nearest set drawn larger, reduced; else the largest there is, enlarged.
PictureChoice ChoosePictureSet(int dpi, SetsPresent present);
// Every present set in the order the rule above prefers them, the 1x set
// always among them: a file that exists but cannot be read (empty, cut
// short) gives way to the next one, as a missing file does.
std::vector<PictureChoice> PictureSetsInOrder(int dpi, SetsPresent present);

// The same for one picture of a skin folder, asking `exists` about its files.
struct PicturePick {
  std::wstring path;
  PictureChoice choice;
};
PicturePick PickPicture(std::wstring_view skinFolder, std::wstring_view fileName, int dpi,
                        const std::function<bool(const std::wstring&)>& exists);
// All the files worth trying, best first (PictureSetsInOrder).
std::vector<PicturePick> PicturePicks(std::wstring_view skinFolder, std::wstring_view fileName, int dpi,
                                      const std::function<bool(const std::wstring&)>& exists);

// The device pixels a file's width or height covers when drawn at the
// choice's DPI: its own length for the exact set, otherwise the length of
// the 1x picture it stands for, mapped like every other length.
int DrawnLength(int fileLength, const PictureChoice& choice);

}  // namespace kovral::skin
