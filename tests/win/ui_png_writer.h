#pragma once
// A minimal PNG encoder for tests: stored (uncompressed) deflate blocks, one
// IDAT, no filtering. Enough to give the decoder real files of a known
// colour type without depending on an encoder under test.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kovral::testing {

inline std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0xFFFFFFFFu) {
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc;
}

inline void PutU32BE(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

inline void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  PutU32BE(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutU32BE(out, Crc32(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

// pixels: rows top to bottom, RGBA (colourType 6) or RGB (colourType 2), 8 bits.
inline std::vector<std::uint8_t> EncodePng(int width, int height, int colourType,
                                           const std::vector<std::uint8_t>& pixels) {
  const int channels = colourType == 6 ? 4 : 3;
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    const auto* row = pixels.data() + static_cast<size_t>(y) * width * channels;
    raw.insert(raw.end(), row, row + static_cast<size_t>(width) * channels);
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t len = std::min<size_t>(raw.size() - pos, 65535);
    const bool last = pos + len == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(len));
    z.push_back(static_cast<std::uint8_t>(len >> 8));
    z.push_back(static_cast<std::uint8_t>(~len));
    z.push_back(static_cast<std::uint8_t>(~len >> 8));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + len);
    pos += len;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32BE(z, (b << 16) | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> ihdr;
  PutU32BE(ihdr, static_cast<std::uint32_t>(width));
  PutU32BE(ihdr, static_cast<std::uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, static_cast<std::uint8_t>(colourType), 0, 0, 0});
  PutChunk(png, "IHDR", ihdr);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}

inline void WriteFileBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kovral::testing
