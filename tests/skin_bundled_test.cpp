// The shipped skins, "Default" and "Ember": every file the program loads is
// there, carries an alpha channel, and has the size of the rectangle the
// layout gives it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "view/layout.h"
#include "ui/skin_files.h"

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
PngHeader ReadPngHeader(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char b[33] = {};
  PngHeader h;
  if (!in.read(reinterpret_cast<char*>(b), sizeof(b))) return h;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (!std::equal(kSignature, kSignature + 8, b)) return h;
  if (ReadU32BE(b + 8) != 13 || std::string(reinterpret_cast<char*>(b + 12), 4) != "IHDR") return h;
  h.valid = true;
  h.width = ReadU32BE(b + 16);
  h.height = ReadU32BE(b + 20);
  h.bitDepth = b[24];
  h.colourType = b[25];
  return h;
}

std::string Narrow(const wchar_t* s) {
  std::string out;
  for (; *s; ++s) out += static_cast<char>(*s);
  return out;
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
                     layout::DialogFrameElements(), layout::macro::ModeBoxElements()}) {
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
  for (const wchar_t* file : skin::AllFiles()) {
    const std::string name = Narrow(file);
    ASSERT_TRUE(expected.count(name)) << name << " has no place in the layout tables";
  }
  EXPECT_EQ(expected.size(), skin::AllFiles().size()) << "the layout names an image the skin list lacks";
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
    for (const wchar_t* file : skin::AllFiles()) {
      const PngHeader h = ReadPngHeader(SkinDir(skin) / Narrow(file).substr(1));
      ASSERT_TRUE(h.valid) << skin << Narrow(file);
      EXPECT_EQ(h.colourType, 6) << skin << Narrow(file);
      EXPECT_EQ(h.bitDepth, 8) << skin << Narrow(file);
    }
  }
}

TEST(BundledSkins, NoStrayFiles) {
  std::vector<std::string> extra;
  const auto expected = ExpectedSizes();
  for (const char* skin : kBundledSkins) {
    for (const auto& entry : std::filesystem::directory_iterator(SkinDir(skin))) {
      std::string name = "/";
      name += entry.path().filename().string();
      if (!expected.count(name)) extra.push_back(skin + name);
    }
  }
  EXPECT_TRUE(extra.empty()) << (extra.empty() ? std::string() : extra.front());
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
