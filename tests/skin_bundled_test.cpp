// The shipped skins, "Default" and "Ember": every file the program loads is
// there, carries an alpha channel, and has the size of the rectangle the
// layout gives it, at 1x and in the 1.5x and 2x sets.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/dpi_scale.h"
#include "view/layout.h"
#include "ui/skin_files.h"
#include "ui/skin_scale.h"

namespace kovral {
namespace {

constexpr const char* kBundledSkins[] = {"Default", "Ember"};

std::filesystem::path SkinDir(const char* skin) {
  // KOVRAL_TEST_DATA_DIR is <repo>/tests/data; the skins sit at <repo>/Skins/<name>.
  return std::filesystem::path(KOVRAL_TEST_DATA_DIR).parent_path().parent_path() / "Skins" / skin;
}

struct PngHeader {
  bool valid = false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  int colourType = -1;
};

std::uint32_t ReadU32BE(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// The signature and the first chunk, which must be IHDR.
PngHeader PngHeaderOf(const unsigned char* b, size_t size) {
  PngHeader h;
  if (size < 33) return h;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (!std::equal(kSignature, kSignature + 8, b)) return h;
  if (ReadU32BE(b + 8) != 13 || std::string(reinterpret_cast<const char*>(b + 12), 4) != "IHDR") return h;
  h.valid = true;
  h.width = ReadU32BE(b + 16);
  h.height = ReadU32BE(b + 20);
  h.bitDepth = b[24];
  h.colourType = b[25];
  return h;
}

PngHeader ReadPngHeader(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char b[33] = {};
  if (!in.read(reinterpret_cast<char*>(b), sizeof(b))) return {};
  return PngHeaderOf(b, sizeof(b));
}

std::string Narrow(const wchar_t* s) {
  std::string out;
  for (; *s; ++s) out += static_cast<char>(*s);
  return out;
}

// What the bundled skins carry: every file a complete skin holds and the
// optional ones.
std::vector<const wchar_t*> Bundled() {
  std::vector<const wchar_t*> files(skin::AllFiles().begin(), skin::AllFiles().end());
  files.insert(files.end(), skin::OptionalFiles().begin(), skin::OptionalFiles().end());
  return files;
}

// What size each skin file must have, from the layout tables alone.
std::map<std::string, layout::Size> ExpectedSizes() {
  std::map<std::string, layout::Size> sizes;
  auto add = [&](const wchar_t* image, layout::Size size) {
    if (image == nullptr) return;
    auto [it, inserted] = sizes.emplace(Narrow(image), size);
    EXPECT_EQ(it->second, size) << Narrow(image) << " would need two sizes";
  };
  for (auto table : {layout::CommonElements(), layout::BasicElements(), layout::AdvancedElements(),
                     layout::DialogFrameElements(), layout::macro::ModeBoxElements(),
                     layout::profiles::ButtonElements()}) {
    for (const layout::Element& e : table) {
      add(e.normalImage, e.rect.GetSize());
      add(e.overImage, e.rect.GetSize());
    }
  }
  add(skin::kMain, layout::kMainWindowSize);
  add(skin::kBasicPage, layout::kMainWindowSize);
  add(skin::kAdvancedPage, layout::kMainWindowSize);
  for (const layout::DialogFace& face : layout::DialogFaces()) add(face.background, face.size);
  return sizes;
}

TEST(BundledSkins, EveryFileHasItsLayoutSize) {
  const auto expected = ExpectedSizes();
  for (const wchar_t* file : Bundled()) {
    const std::string name = Narrow(file);
    ASSERT_TRUE(expected.count(name)) << name << " has no place in the layout tables";
  }
  EXPECT_EQ(expected.size(), Bundled().size()) << "the layout names an image the skin list lacks";
  for (const char* skin : kBundledSkins) {
    for (const auto& [name, size] : expected) {
      const auto path = SkinDir(skin) / name.substr(1);
      ASSERT_TRUE(std::filesystem::exists(path)) << path.string();
      const PngHeader h = ReadPngHeader(path);
      ASSERT_TRUE(h.valid) << skin << name << " is not a PNG";
      EXPECT_EQ(h.width, static_cast<std::uint32_t>(size.width)) << skin << name;
      EXPECT_EQ(h.height, static_cast<std::uint32_t>(size.height)) << skin << name;
    }
  }
}

TEST(BundledSkins, EveryFileCarriesAnAlphaChannel) {
  // Colour type 6 (RGBA) at 8 bits: images without alpha would draw opaque.
  for (const char* skin : kBundledSkins) {
    for (const wchar_t* file : Bundled()) {
      const PngHeader h = ReadPngHeader(SkinDir(skin) / Narrow(file).substr(1));
      ASSERT_TRUE(h.valid) << skin << Narrow(file);
      EXPECT_EQ(h.colourType, 6) << skin << Narrow(file);
      EXPECT_EQ(h.bitDepth, 8) << skin << Narrow(file);
    }
  }
}

std::string ScaledName(const std::string& unitName, skin::PictureSet set) {
  std::wstring wide(unitName.begin(), unitName.end());
  return Narrow(skin::PictureFileName(wide, set).c_str());
}

// A scaled picture has the mapped size of its 1x picture, rounded as every
// length is (halves away from zero: 105 x 21 becomes 158 x 32 at 1.5x), so
// drawn at its element's mapped rectangle it covers the whole rectangle.
TEST(BundledSkins, EveryPictureHasItsScaledSiblings) {
  for (const char* skin : kBundledSkins) {
    for (const auto& [name, size] : ExpectedSizes()) {
      for (skin::PictureSet set : {skin::PictureSet::OneAndHalf, skin::PictureSet::Double}) {
        const std::string scaled = ScaledName(name, set);
        const PngHeader h = ReadPngHeader(SkinDir(skin) / scaled.substr(1));
        ASSERT_TRUE(h.valid) << skin << scaled << " is missing or not a PNG";
        EXPECT_EQ(h.colourType, 6) << skin << scaled;
        EXPECT_EQ(h.bitDepth, 8) << skin << scaled;
        const layout::Size want = ui::DeviceSize(size, skin::DpiOf(set));
        EXPECT_EQ(h.width, static_cast<std::uint32_t>(want.width)) << skin << scaled;
        EXPECT_EQ(h.height, static_cast<std::uint32_t>(want.height)) << skin << scaled;
      }
    }
  }
}

// What the program will load at each scale, and that the file it picks
// covers just the mapped 1x size once drawn.
TEST(BundledSkins, EveryScalePicksAFileOfTheMappedSize) {
  const auto exists = [](const std::wstring& path) { return std::filesystem::exists(std::filesystem::path(path)); };
  const struct {
    int dpi;
    skin::PictureSet set;
  } expected[] = {{96, skin::PictureSet::Unit},       {120, skin::PictureSet::OneAndHalf},
                  {144, skin::PictureSet::OneAndHalf}, {168, skin::PictureSet::Double},
                  {192, skin::PictureSet::Double},     {240, skin::PictureSet::Double}};
  for (const char* skin : kBundledSkins) {
    const std::wstring folder = SkinDir(skin).wstring();
    for (const auto& [name, size] : ExpectedSizes()) {
      const std::wstring file(name.begin(), name.end());
      for (const auto& e : expected) {
        const skin::PicturePick pick = skin::PickPicture(folder, file, e.dpi, exists);
        ASSERT_EQ(pick.choice.set, e.set) << skin << name << " at " << e.dpi;
        const PngHeader h = ReadPngHeader(std::filesystem::path(pick.path));
        ASSERT_TRUE(h.valid) << skin << name << " at " << e.dpi;
        const layout::Size drawn{skin::DrawnLength(static_cast<int>(h.width), pick.choice),
                                 skin::DrawnLength(static_cast<int>(h.height), pick.choice)};
        EXPECT_EQ(drawn, ui::DeviceSize(size, e.dpi)) << skin << name << " at " << e.dpi;
      }
    }
  }
}

TEST(BundledSkins, NoStrayFiles) {
  std::vector<std::string> extra;
  std::set<std::string> expected;
  for (const auto& [name, size] : ExpectedSizes())
    for (skin::PictureSet set : skin::kPictureSets) expected.insert(ScaledName(name, set));
  for (const char* skin : kBundledSkins) {
    for (const auto& entry : std::filesystem::directory_iterator(SkinDir(skin))) {
      std::string name = "/";
      name += entry.path().filename().string();
      if (!expected.count(name)) extra.push_back(skin + name);
    }
  }
  EXPECT_TRUE(extra.empty()) << (extra.empty() ? std::string() : extra.front());
}

// The program's icon (the notification area's, the title bar's) holds a
// picture of exactly the size Windows asks for at each display scale, so
// none is stretched from a smaller one; 175 % takes the next size up.
TEST(ProgramIcon, HoldsTheSmallAndLargeIconOfEveryScale) {
  const auto file = std::filesystem::path(KOVRAL_TEST_DATA_DIR).parent_path().parent_path() / "src/app/kovral.ico";
  std::ifstream in(file, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 6u);
  const auto u16 = [&](size_t at) { return static_cast<unsigned>(bytes[at] | bytes[at + 1] << 8); };
  const auto u32 = [&](size_t at) { return static_cast<size_t>(u16(at) | u16(at + 2) << 16); };
  ASSERT_EQ(u16(2), 1u);  // an icon, not a cursor
  const unsigned count = u16(4);
  ASSERT_GE(bytes.size(), 6 + 16u * count);
  std::set<unsigned> sizes;
  for (unsigned i = 0; i < count; ++i) {
    const size_t entry = 6 + 16u * i;
    const unsigned width = bytes[entry] ? bytes[entry] : 256;
    const unsigned height = bytes[entry + 1] ? bytes[entry + 1] : 256;
    const size_t length = u32(entry + 8);
    const size_t offset = u32(entry + 12);
    ASSERT_LE(offset + length, bytes.size()) << width;
    const PngHeader h = PngHeaderOf(bytes.data() + offset, length);
    ASSERT_TRUE(h.valid) << width;
    EXPECT_EQ(h.width, width);
    EXPECT_EQ(h.height, height);
    EXPECT_EQ(h.colourType, 6) << width;  // RGBA: a see-through edge at every size
    sizes.insert(width);
  }
  for (int dpi : {96, 120, 144, 192}) {
    EXPECT_TRUE(sizes.count(static_cast<unsigned>(ui::DeviceLength(16, dpi)))) << "small icon at " << dpi;
    EXPECT_TRUE(sizes.count(static_cast<unsigned>(ui::DeviceLength(32, dpi)))) << "large icon at " << dpi;
  }
}

TEST(PngHeaderReader, RejectsWhatIsNotAPng) {
  const auto dir = std::filesystem::temp_directory_path();
  const auto file = dir / "kovral-skin-test-not.png";
  {
    std::ofstream out(file, std::ios::binary);
    out << "GIF89a and then some more bytes to pass 33 in length";
  }
  EXPECT_FALSE(ReadPngHeader(file).valid);
  std::filesystem::remove(file);
  EXPECT_FALSE(ReadPngHeader(dir / "kovral-skin-test-missing.png").valid);
}

}  // namespace
}  // namespace kovral
