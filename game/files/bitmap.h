// The Windows bitmap file format: a 14-byte file header, a 40-byte information header, a
// colour table for 8 bits per pixel or fewer, and the pixel rows bottom-up, each padded with
// zero bytes to a multiple of four.
#ifndef TAVIK_GAME_FILES_BITMAP_H
#define TAVIK_GAME_FILES_BITMAP_H

#include <cstdint>
#include <optional>
#include <vector>

namespace tavik {

struct BitmapLayout {
    uint32_t rowSize;      // bytes per row, padding included
    uint32_t pixelSize;    // rowSize * height
    uint32_t pixelOffset;  // 54, plus 4 * 2^bits for a colour table
    uint32_t fileSize;
};

// Nothing for a depth other than 1, 4, 8, 16, 24 or 32 bits, or an empty or oversized picture.
std::optional<BitmapLayout> LayoutOf(int32_t width, int32_t height, int bits);

// The whole file. `pixels` are the rows bottom-up in the file's own format, `pixelSize` bytes;
// `colours` holds the 2^bits table entries (blue, green, red, 0) for 8 bits or fewer.
std::vector<uint8_t> EncodeBitmapFile(int32_t width, int32_t height, int bits,
                                      const std::vector<uint8_t>& pixels,
                                      const std::vector<uint32_t>& colours = {});

// A 24-bit file from a picture given top row first, three bytes red, green, blue per pixel.
std::vector<uint8_t> EncodeRgbPicture(int32_t width, int32_t height, const uint8_t* rgb);

}  // namespace tavik

#endif
