#include "bitmap.h"

#include <algorithm>

namespace tavik {

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::optional<BitmapLayout> LayoutOf(int32_t width, int32_t height, int bits) {
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    // anything larger than 16384 x 16384 at 32 bits would not fit the 32-bit size fields
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return std::nullopt;
    BitmapLayout layout;
    layout.rowSize = static_cast<uint32_t>((static_cast<uint64_t>(bits) * width + 31) / 32 * 4);
    layout.pixelSize = layout.rowSize * static_cast<uint32_t>(height);
    layout.pixelOffset = 54 + (bits <= 8 ? 4u << bits : 0u);
    layout.fileSize = layout.pixelOffset + layout.pixelSize;
    return layout;
}

std::vector<uint8_t> EncodeBitmapFile(int32_t width, int32_t height, int bits,
                                      const std::vector<uint8_t>& pixels,
                                      const std::vector<uint32_t>& colours) {
    const std::optional<BitmapLayout> layout = LayoutOf(width, height, bits);
    if (!layout || pixels.size() != layout->pixelSize) return {};
    std::vector<uint8_t> out(layout->fileSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, layout->fileSize);
    Put32(out, 10, layout->pixelOffset);
    Put32(out, 14, 40);
    Put32(out, 18, static_cast<uint32_t>(width));
    Put32(out, 22, static_cast<uint32_t>(height));  // positive: rows bottom-up
    Put16(out, 26, 1);
    Put16(out, 28, static_cast<uint32_t>(bits));
    // compression, image size, resolutions and colour counts stay 0
    if (bits <= 8) {
        const size_t entries = std::min<size_t>(colours.size(), size_t{1} << bits);
        for (size_t i = 0; i < entries; ++i) Put32(out, 54 + 4 * i, colours[i]);
    }
    std::copy(pixels.begin(), pixels.end(), out.begin() + layout->pixelOffset);
    return out;
}

std::vector<uint8_t> EncodeRgbPicture(int32_t width, int32_t height, const uint8_t* rgb) {
    const std::optional<BitmapLayout> layout = LayoutOf(width, height, 24);
    if (!layout) return {};
    std::vector<uint8_t> pixels(layout->pixelSize, 0);  // pad bytes stay zero
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* source = rgb + static_cast<size_t>(height - 1 - y) * width * 3;
        uint8_t* row = pixels.data() + static_cast<size_t>(y) * layout->rowSize;
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = source[3 * x + 2];  // blue
            row[3 * x + 1] = source[3 * x + 1];
            row[3 * x + 2] = source[3 * x];  // red
        }
    }
    return EncodeBitmapFile(width, height, 24, pixels);
}

}  // namespace tavik
