#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "ui/font_choice.h"
#include "ui/premultiply.h"
#include "ui/skin_files.h"
#include "ui/skin_path.h"
#include "ui/skin_scale.h"
#include "ui/text_fit.h"
#include "ui/text_style.h"

namespace kovral {
namespace {

TEST(Premultiply, ColourTimesAlphaOver255Truncated) {
  // B, G, R, A per pixel.
  std::vector<std::uint8_t> px = {
      200, 200, 200, 128,  // 200*128/255 = 100.39 -> 100
      17,  99,  250, 255,  // opaque: unchanged
      255, 255, 255, 0,    // transparent: all colour gone
      255, 1,   254, 1,    // 255*1/255 = 1, 1/255 = 0, 254/255 = 0
      10,  20,  30,  254,  // 9.96 -> 9, 19.92 -> 19, 29.88 -> 29
  };
  PremultiplyBgra(px.data(), 5, 1, 20);
  const std::vector<std::uint8_t> expected = {
      100, 100, 100, 128, 17, 99, 250, 255, 0, 0, 0, 0, 1, 0, 0, 1, 9, 19, 29, 254,
  };
  EXPECT_EQ(px, expected);
}

TEST(Premultiply, WalksRowsByPitchAndLeavesPaddingAlone) {
  // Two rows of one pixel, each row padded to 8 bytes.
  std::vector<std::uint8_t> px = {200, 100, 50, 128, 0xEE, 0xEE, 0xEE, 0x10,
                                  90,  60,  30, 85,  0xEE, 0xEE, 0xEE, 0x10};
  PremultiplyBgra(px.data(), 1, 2, 8);
  const std::vector<std::uint8_t> expected = {100, 50, 25, 128, 0xEE, 0xEE, 0xEE, 0x10,
                                              30,  20, 10, 85,  0xEE, 0xEE, 0xEE, 0x10};
  EXPECT_EQ(px, expected);
}

TEST(Premultiply, NegativePitchStartsAtTheLastRowInMemory) {
  std::vector<std::uint8_t> px = {100, 100, 100, 51,    // second row (lower address)
                                  255, 255, 255, 102};  // first row
  PremultiplyBgra(px.data() + 4, 1, 2, -4);
  const std::vector<std::uint8_t> expected = {20, 20, 20, 51, 102, 102, 102, 102};
  EXPECT_EQ(px, expected);
}

TEST(FontChoice, ByLanguageCodeAndVersion) {
  using ui::FontsForLanguageCode;
  auto chs62 = FontsForLanguageCode(L"CHS", {6, 2});
  EXPECT_EQ(std::wstring(chs62.normal.face), L"黑体");
  EXPECT_EQ(chs62.normal.height, 13);
  EXPECT_EQ(chs62.normal.weight, 400);
  EXPECT_EQ(std::wstring(chs62.title.face), L"黑体");
  EXPECT_EQ(chs62.title.height, 18);
  EXPECT_EQ(chs62.title.weight, 700);
  for (ui::WindowsVersion v : {ui::WindowsVersion{6, 1}, ui::WindowsVersion{10, 0}, ui::WindowsVersion{5, 2}}) {
    auto chs = FontsForLanguageCode(L"CHS", v);
    EXPECT_EQ(std::wstring(chs.normal.face), L"宋体");
    EXPECT_EQ(std::wstring(chs.title.face), L"宋体");
    EXPECT_EQ(chs.normal.height, 13);
  }
  auto cht = FontsForLanguageCode(L"CHT", {6, 1});
  EXPECT_EQ(std::wstring(cht.normal.face), L"黑体");
  EXPECT_EQ(cht.normal.height, 14);
  EXPECT_EQ(cht.title.height, 18);
  EXPECT_EQ(std::wstring(FontsForLanguageCode(L"CHT", {6, 2}).normal.face), L"黑体");
  for (const wchar_t* other : {L"", L"chs", L"CHS ", L"EN", L"CH"}) {
    auto en = FontsForLanguageCode(other, {6, 2});
    EXPECT_EQ(std::wstring(en.normal.face), L"Arial") << other;
    EXPECT_EQ(en.normal.height, 14);
    EXPECT_EQ(en.normal.weight, 400);
    EXPECT_EQ(std::wstring(en.title.face), L"Tahoma");
    EXPECT_EQ(en.title.height, 18);
    EXPECT_EQ(en.title.weight, 700);
  }
}

TEST(TextStyle, FormatsAreTheDrawTextFlags) {
  // DT_SINGLELINE 0x20, DT_VCENTER 0x04, DT_RIGHT 0x02, DT_CENTER 0x01, DT_TOP 0.
  EXPECT_EQ(ui::kTextLeft, 0x20u | 0x04u);
  EXPECT_EQ(ui::kTextCentre, 0x20u | 0x04u | 0x01u);
  EXPECT_EQ(ui::kTextRight, 0x20u | 0x04u | 0x02u);
  EXPECT_EQ(ui::kTextTopCentre, 0x20u | 0x01u);
  EXPECT_EQ(ui::ColorRefOf({0x12, 0x34, 0x56}), 0x563412u);
}

TEST(SkinPath, JoinsThePiecesAsGiven) {
  EXPECT_EQ(SkinFolderFor(L"C:\\Games\\Kovral\\", L"Default"), L"C:\\Games\\Kovral\\/Skins/Default");
  EXPECT_EQ(SkinsRootFor(L"C:\\Games\\Kovral\\"), L"C:\\Games\\Kovral\\/Skins");
  EXPECT_EQ(SkinImagePath(SkinFolderFor(L"D:\\k\\", L"Red"), skin::kMain), L"D:\\k\\/Skins/Red/main.png");
  // An empty skin name leaves the images directly under the Skins folder.
  EXPECT_EQ(SkinImagePath(SkinFolderFor(L"D:\\k\\", L""), skin::kPane), L"D:\\k\\/Skins//Pane.png");
}

TEST(SkinScale, ScaledFilesSitBesideTheUnitFile) {
  using skin::PictureSet;
  EXPECT_EQ(skin::PictureFileName(skin::kMain, PictureSet::Unit), L"/main.png");
  EXPECT_EQ(skin::PictureFileName(skin::kMain, PictureSet::OneAndHalf), L"/main@1.5x.png");
  EXPECT_EQ(skin::PictureFileName(skin::kBasicTabOver, PictureSet::Double), L"/button-PrePage-over@2x.png");
  // Only the last dot of the file name itself starts the extension.
  EXPECT_EQ(skin::PictureFileName(L"/a.b/pane", PictureSet::Double), L"/a.b/pane@2x");
  EXPECT_EQ(skin::PictureFileName(L"/v1.2.png", PictureSet::OneAndHalf), L"/v1.2@1.5x.png");
  EXPECT_EQ(skin::DpiOf(PictureSet::Unit), 96);
  EXPECT_EQ(skin::DpiOf(PictureSet::OneAndHalf), 144);
  EXPECT_EQ(skin::DpiOf(PictureSet::Double), 192);
}

TEST(SkinScale, ExactSetElseNearestLargerElseLargestEnlarged) {
  using skin::PictureSet;
  struct Case {
    int dpi;
    skin::SetsPresent present;
    PictureSet expected;
  };
  const skin::SetsPresent all{true, true, true}, unitOnly{true, false, false};
  const skin::SetsPresent noHalf{true, false, true}, noDouble{true, true, false}, noUnit{false, true, true};
  const Case cases[] = {
      {96, all, PictureSet::Unit},          {120, all, PictureSet::OneAndHalf},
      {144, all, PictureSet::OneAndHalf},   {168, all, PictureSet::Double},
      {192, all, PictureSet::Double},       {288, all, PictureSet::Double},
      {72, all, PictureSet::Unit},          {0, all, PictureSet::Unit},  // DPI unknown: 96
      // Reducing the 2x pictures keeps them sharper than enlarging the 1x ones.
      {120, noHalf, PictureSet::Double},    {144, noHalf, PictureSet::Double},
      {168, noDouble, PictureSet::OneAndHalf}, {192, noDouble, PictureSet::OneAndHalf},
      {120, noDouble, PictureSet::OneAndHalf},
      {96, noUnit, PictureSet::Unit},  // the 1x file is still what is loaded, and fails as before
      {120, noUnit, PictureSet::OneAndHalf},
  };
  for (const Case& c : cases) {
    const skin::PictureChoice choice = skin::ChoosePictureSet(c.dpi, c.present);
    EXPECT_EQ(choice.set, c.expected) << c.dpi;
    EXPECT_EQ(choice.fileDpi, skin::DpiOf(c.expected)) << c.dpi;
  }
  // A skin of 1x pictures only serves every scale from them.
  for (int dpi : {96, 120, 144, 168, 192, 240}) {
    const skin::PictureChoice choice = skin::ChoosePictureSet(dpi, unitOnly);
    EXPECT_EQ(choice.set, PictureSet::Unit);
    EXPECT_EQ(choice.dpi, dpi);
    EXPECT_EQ(choice.Exact(), dpi == 96);
  }
}

TEST(SkinScale, PickAsksForTheFilesOfOnePicture) {
  const std::wstring folder = SkinFolderFor(L"C:\\K\\", L"Blue");
  std::set<std::wstring> present = {SkinImagePath(folder, L"/main.png"), SkinImagePath(folder, L"/main@2x.png"),
                                    SkinImagePath(folder, L"/Pane.png"), SkinImagePath(folder, L"/Pane@1.5x.png")};
  std::vector<std::wstring> asked;
  const auto exists = [&](const std::wstring& path) {
    asked.push_back(path);
    return present.count(path) != 0;
  };
  skin::PicturePick pick = skin::PickPicture(folder, skin::kMain, 144, exists);
  EXPECT_EQ(pick.path, L"C:\\K\\/Skins/Blue/main@2x.png");
  EXPECT_EQ(pick.choice.fileDpi, 192);
  pick = skin::PickPicture(folder, skin::kPane, 144, exists);
  EXPECT_EQ(pick.path, L"C:\\K\\/Skins/Blue/Pane@1.5x.png");
  EXPECT_TRUE(pick.choice.Exact());
  pick = skin::PickPicture(folder, skin::kPane, 192, exists);
  EXPECT_EQ(pick.path, L"C:\\K\\/Skins/Blue/Pane@1.5x.png");
  pick = skin::PickPicture(folder, skin::kButtonOver, 168, exists);
  EXPECT_EQ(pick.path, L"C:\\K\\/Skins/Blue/button-over.png");  // missing everywhere: the 1x load fails as before
  // At 100 % the file system is not asked: the 1x file is the answer.
  asked.clear();
  pick = skin::PickPicture(folder, skin::kMain, 96, exists);
  EXPECT_EQ(pick.path, L"C:\\K\\/Skins/Blue/main.png");
  EXPECT_TRUE(asked.empty());
  // Completeness is about the 1x files alone.
  EXPECT_FALSE(SkinIsComplete(folder, [](const std::wstring& p) { return p.find(L'@') != std::wstring::npos; }));
}

// What is tried when a file of the preferred set cannot be read: the rest in
// the rule's order, ending with the 1x file, which is always there to try.
TEST(SkinScale, EveryPresentSetInTheOrderOfPreference) {
  using skin::PictureSet;
  const auto sets = [](int dpi, skin::SetsPresent present) {
    std::vector<PictureSet> order;
    for (const skin::PictureChoice& c : skin::PictureSetsInOrder(dpi, present)) order.push_back(c.set);
    return order;
  };
  using V = std::vector<PictureSet>;
  const skin::SetsPresent all{true, true, true};
  EXPECT_EQ(sets(192, all), (V{PictureSet::Double, PictureSet::OneAndHalf, PictureSet::Unit}));
  EXPECT_EQ(sets(120, all), (V{PictureSet::OneAndHalf, PictureSet::Double, PictureSet::Unit}));
  EXPECT_EQ(sets(192, (skin::SetsPresent{false, false, true})), (V{PictureSet::Double, PictureSet::Unit}));
  EXPECT_EQ(sets(144, (skin::SetsPresent{true, false, false})), (V{PictureSet::Unit}));
}

TEST(SkinScale, DrawnSizeIsTheMappedUnitSize) {
  using skin::PictureSet;
  // A 105 x 21 button: 158 x 32 in the 1.5x set, 210 x 42 in the 2x set.
  const skin::PictureChoice exact{PictureSet::OneAndHalf, 144, 144};
  EXPECT_EQ(skin::DrawnLength(158, exact), 158);
  EXPECT_EQ(skin::DrawnLength(157, exact), 157);  // a file of its own size is never stretched by a pixel
  const skin::PictureChoice reduced{PictureSet::OneAndHalf, 144, 120};
  EXPECT_EQ(skin::DrawnLength(158, reduced), 131);  // 105 units at 125 %, not 158 * 120 / 144 = 132
  EXPECT_EQ(skin::DrawnLength(32, reduced), 26);    // 21 units: 26.25
  const skin::PictureChoice twiceReduced{PictureSet::Double, 192, 168};
  EXPECT_EQ(skin::DrawnLength(210, twiceReduced), 184);  // 105 * 1.75 = 183.75
  const skin::PictureChoice enlarged{PictureSet::Unit, 96, 168};
  EXPECT_EQ(skin::DrawnLength(105, enlarged), 184);
  EXPECT_EQ(skin::DrawnLength(21, enlarged), 37);  // 36.75
  const skin::PictureChoice beyond{PictureSet::Double, 192, 288};
  EXPECT_EQ(skin::DrawnLength(210, beyond), 315);
}

TEST(SkinFiles, ThirtyThreeDistinctPngNames) {
  const auto files = skin::AllFiles();
  EXPECT_EQ(files.size(), 33u);
  std::set<std::wstring> distinct;
  for (const wchar_t* f : files) {
    const std::wstring name(f);
    EXPECT_EQ(name.front(), L'/');
    EXPECT_EQ(name.substr(name.size() - 4), L".png");
    distinct.insert(name);
  }
  EXPECT_EQ(distinct.size(), files.size());
  EXPECT_TRUE(distinct.count(L"/button-PrePage-over.png"));
  EXPECT_TRUE(distinct.count(L"/PaneMakingTick.png"));
  EXPECT_TRUE(distinct.count(L"/slider-RP-dark.png"));
}

}  // namespace
}  // namespace kovral

#include <set>

#include "ui/skin_files.h"

namespace kovral {
namespace {

TEST(StartSkin, AnIncompleteChoiceFallsBackToDefaultOnce) {
  std::set<std::wstring> present;
  for (const wchar_t* file : skin::AllFiles()) {
    present.insert(SkinImagePath(SkinFolderFor(L"C:\\K\\", L"Default"), file));
    if (std::wstring(file) != skin::kSkinsDialog) present.insert(SkinImagePath(SkinFolderFor(L"C:\\K\\", L"Blue"), file));
  }
  const auto exists = [&](const std::wstring& path) { return present.count(path) != 0; };
  EXPECT_TRUE(SkinIsComplete(SkinFolderFor(L"C:\\K\\", L"Default"), exists));
  // One picture short: the skins dialog could not even be shown to choose again.
  const StartSkin blue = ChooseStartSkin({L"C:\\K\\"}, L"Blue", exists);
  EXPECT_TRUE(blue.fellBack);
  EXPECT_EQ(blue.name, L"Default");
  EXPECT_EQ(blue.folder, SkinFolderFor(L"C:\\K\\", L"Default"));
  EXPECT_TRUE(ChooseStartSkin({L"C:\\K\\"}, L"Missing", exists).fellBack);
  present.insert(SkinImagePath(SkinFolderFor(L"C:\\K\\", L"Blue"), skin::kSkinsDialog));
  EXPECT_FALSE(ChooseStartSkin({L"C:\\K\\"}, L"Blue", exists).fellBack);
  // No name chosen (a str.ini without "Path") is Default, and nothing to tell.
  const StartSkin unnamed = ChooseStartSkin({L"C:\\K\\"}, L"", exists);
  EXPECT_FALSE(unnamed.fellBack);
  EXPECT_EQ(unnamed.name, L"Default");
  EXPECT_EQ(unnamed.folder, SkinFolderFor(L"C:\\K\\", L"Default"));
  // Default itself is never replaced: there is nothing to fall back to.
  present.clear();
  EXPECT_FALSE(ChooseStartSkin({L"C:\\K\\"}, L"Default", exists).fellBack);
  EXPECT_FALSE(ChooseStartSkin({L"C:\\K\\"}, L"", exists).fellBack);
}

// An installed program finds its skins in the share folder beside its bin
// folder, a build or an unpacked folder beside itself; a user's own come
// first either way.
TEST(StartSkin, TheSkinsHomesAreTheUsersThenTheProgramsOrTheInstalledShare) {
  std::set<std::wstring> folders;
  const auto isFolder = [&](const std::wstring& path) { return folders.count(path) != 0; };
  const std::wstring user = L"/home/u/.local/share/kovral/";
  EXPECT_EQ(SkinsHomesFor(L"/usr/bin/", user, isFolder), (std::vector<std::wstring>{user, L"/usr/bin/"}))
      << "nothing anywhere: reported where it was looked for first";
  folders.insert(SkinFolderFor(L"/usr/bin/../share/kovral/", L"Default"));
  EXPECT_EQ(SkinsHomesFor(L"/usr/bin/", user, isFolder),
            (std::vector<std::wstring>{user, L"/usr/bin/../share/kovral/"}));
  EXPECT_EQ(SkinsHomesFor(L"/usr/bin/", L"", isFolder), (std::vector<std::wstring>{L"/usr/bin/../share/kovral/"}));
  folders.insert(SkinFolderFor(L"/usr/bin/", L"Default"));
  EXPECT_EQ(SkinsHomesFor(L"/usr/bin/", user, isFolder), (std::vector<std::wstring>{user, L"/usr/bin/"}))
      << "skins beside the program win over an installation's";
}

// A user's skin is found by the name str.ini keeps, before an installed
// one of that name; an incomplete copy does not hide the installed one.
TEST(StartSkin, AUsersSkinIsFoundFirstAndAnIncompleteCopyHidesNothing) {
  const std::wstring user = L"/home/u/.local/share/kovral/";
  const std::wstring share = L"/usr/bin/../share/kovral/";
  const std::vector<std::wstring> homes{user, share};
  std::set<std::wstring> present;
  for (const wchar_t* file : skin::AllFiles()) {
    present.insert(SkinImagePath(SkinFolderFor(share, L"Default"), file));
    present.insert(SkinImagePath(SkinFolderFor(share, L"Ember"), file));
    present.insert(SkinImagePath(SkinFolderFor(user, L"Mine"), file));
    if (std::wstring(file) != skin::kMain) present.insert(SkinImagePath(SkinFolderFor(user, L"Ember"), file));
  }
  const auto exists = [&](const std::wstring& path) { return present.count(path) != 0; };
  const StartSkin mine = ChooseStartSkin(homes, L"Mine", exists);
  EXPECT_FALSE(mine.fellBack);
  EXPECT_EQ(mine.folder, SkinFolderFor(user, L"Mine"));
  EXPECT_EQ(ChooseStartSkin(homes, L"Ember", exists).folder, SkinFolderFor(share, L"Ember"));
  EXPECT_EQ(ChooseStartSkin(homes, L"", exists).folder, SkinFolderFor(share, L"Default"));
  const StartSkin gone = ChooseStartSkin(homes, L"Gone", exists);
  EXPECT_TRUE(gone.fellBack);
  EXPECT_EQ(gone.folder, SkinFolderFor(share, L"Default"));
  // Mine lacks the optional pictures: the dialogs take the installed Default's.
  EXPECT_EQ(OptionalPicturesFolder(homes, SkinFolderFor(user, L"Mine"), exists), SkinFolderFor(share, L"Default"));
  present.insert(SkinImagePath(SkinFolderFor(user, L"Ember"), skin::kMain));
  EXPECT_EQ(ChooseStartSkin(homes, L"Ember", exists).folder, SkinFolderFor(user, L"Ember"));
}

// Every character 10 pixels wide but the wide W (20) and the ellipsis (10).
int Measure(std::wstring_view text) {
  int width = 0;
  for (wchar_t c : text) width += c == L'W' ? 20 : 10;
  return width;
}

// Narrowed no further than the box (rounded down) and no more than a fifth.
TEST(FitLines, ALineALittleTooWideIsNarrowedToItsBox) {
  EXPECT_EQ(ui::StretchToFit(100, 100), 100);
  EXPECT_EQ(ui::StretchToFit(114, 105), 92);  // 114 * 0.92 = 104.9
  EXPECT_EQ(ui::StretchToFit(125, 100), 80);
  EXPECT_EQ(ui::StretchToFit(126, 100), 100);  // would need more: cut as it was
  EXPECT_EQ(ui::StretchToFit(50, 0), 100);
}

TEST(FitLines, BreaksAtSpacesThenWithinWordsAndCutsWithAnEllipsis) {
  using V = std::vector<std::wstring>;
  EXPECT_EQ(ui::FitLines(L"Saved as \"A\".", 200, 3, Measure), (V{L"Saved as \"A\"."}));
  EXPECT_EQ(ui::FitLines(L"Saved as \"Alpha\".", 100, 3, Measure), (V{L"Saved as", L"\"Alpha\"."}));
  // A name longer than the line breaks within itself.
  EXPECT_EQ(ui::FitLines(L"abcdefghijklmn", 50, 3, Measure), (V{L"abcde", L"fghij", L"klmn"}));
  // Sixty-four wide letters in three lines of 100: the last line cut with "…".
  const V cut = ui::FitLines(L"Saved as \"" + std::wstring(64, L'W') + L"\".", 100, 3, Measure);
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[0], L"Saved as");
  EXPECT_EQ(cut[1], L"\"WWWW");
  EXPECT_EQ(cut[2], L"WWWW\u2026");
  EXPECT_EQ(ui::FitLines(L"已另存为配置", 30, 2, Measure), (V{L"已另存", L"为配置"}));  // Chinese, no spaces
  EXPECT_EQ(ui::FitLines(L"ab", 5, 3, Measure), (V{L"a", L"b"}));
}

}  // namespace
}  // namespace kovral
