// The checked-in pictures, read back as the game reads them: what board painting, the colour
// key and the icon loader rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadResource(const std::string& name) {
    std::ifstream in(std::string(TAVIK_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct Pixel {
    int r, g, b;
    bool IsKey() const { return r == 0 && g == 255 && b == 0; }
    double Luminance() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
};

// A 24-bit bitmap file, its header checked; pixels top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;
    const Pixel& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture LoadBitmap(const std::string& name) {
    const std::vector<uint8_t> file = ReadResource(name);
    Picture picture;
    EXPECT_GE(file.size(), 54u) << name;
    if (file.size() < 54) return picture;
    EXPECT_EQ(file[0], 'B') << name;
    EXPECT_EQ(file[1], 'M') << name;
    EXPECT_EQ(Le32(file, 2), file.size()) << name;
    EXPECT_EQ(Le32(file, 10), 54u) << name;
    EXPECT_EQ(Le32(file, 14), 40u) << name;
    EXPECT_EQ(Le16(file, 26), 1u) << name;
    EXPECT_EQ(Le16(file, 28), 24u) << name;
    EXPECT_EQ(Le32(file, 30), 0u) << name;  // uncompressed
    const int32_t width = static_cast<int32_t>(Le32(file, 18)),
                  height = static_cast<int32_t>(Le32(file, 22));
    EXPECT_GT(height, 0) << name << ": rows must be bottom-up";
    const size_t rowSize = (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
    EXPECT_EQ(file.size(), 54 + rowSize * height) << name;
    if (width <= 0 || height <= 0 || file.size() != 54 + rowSize * height) return picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &file[54 + rowSize * (height - 1 - y)];
        for (int x = 0; x < width; ++x)
            picture.pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return picture;
}

TEST(PicturesTest, BitmapsAre24BitAtTheSizesTheGameUses) {
    const struct {
        const char* name;
        int width, height;
    } cases[] = {
        {"board_green.bmp", 100, 100},    {"board_bluegreen.bmp", 100, 100},
        {"board_grass.bmp", 100, 100},    {"stone_go_black.bmp", 50, 50},
        {"stone_go_white.bmp", 50, 50},   {"stone_flat_black.bmp", 50, 50},
        {"stone_flat_white.bmp", 50, 50}, {"banner.bmp", 88, 31},
    };
    for (const auto& c : cases) {
        const Picture picture = LoadBitmap(c.name);
        EXPECT_EQ(picture.width, c.width) << c.name;
        EXPECT_EQ(picture.height, c.height) << c.name;
    }
}

// ---------------------------------------------------------------------------------------------
// Stones: drawn at a cell's corner over the grid lines, with every RGB(0,255,0) pixel left out.

// The cell's free inside is pixels 1..49, so its middle is the centre of pixel 25.
constexpr double kCentre = 25.5;

double DistanceFromCentre(int x, int y) {
    const double dx = x + 0.5 - kCentre, dy = y + 0.5 - kCentre;
    return std::sqrt(dx * dx + dy * dy);
}

struct Box {
    int left = 1000, top = 1000, right = -1, bottom = -1;  // inclusive
};

Box OpaqueBox(const Picture& p) {
    Box box;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.At(x, y).IsKey()) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

const struct {
    const char* name;
    bool black;
} kStones[] = {
    {"stone_go_black.bmp", true},
    {"stone_go_white.bmp", false},
    {"stone_flat_black.bmp", true},
    {"stone_flat_white.bmp", false},
};

TEST(PicturesTest, StonesAreSolidDiscsCentredInTheCellOnTheKeyColour) {
    for (const auto& stone : kStones) {
        SCOPED_TRACE(stone.name);
        const Picture p = LoadBitmap(stone.name);
        ASSERT_EQ(p.width, 50);
        ASSERT_EQ(p.height, 50);
        EXPECT_TRUE(p.At(0, 0).IsKey() && p.At(49, 0).IsKey() && p.At(0, 49).IsKey() &&
                    p.At(49, 49).IsKey());
        int strays = 0, holes = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 50; ++x) {
                const double d = DistanceFromCentre(x, y);
                if (d > 21.5 && !p.At(x, y).IsKey()) ++strays;  // would show as specks on the board
                if (d < 19.5 && p.At(x, y).IsKey()) ++holes;    // the board would show through
            }
        }
        EXPECT_EQ(strays, 0);
        EXPECT_EQ(holes, 0);
        const Box box = OpaqueBox(p);
        for (const int extent : {box.right - box.left + 1, box.bottom - box.top + 1}) {
            EXPECT_GE(extent, 38);
            EXPECT_LE(extent, 44);
        }
        // centred on pixel 25 to within half a pixel
        EXPECT_LE(std::abs(box.left + box.right - 50), 1);
        EXPECT_LE(std::abs(box.top + box.bottom - 50), 1);
    }
}

TEST(PicturesTest, StoneEdgesHaveNoGreenHaloAndColoursReadAtAGlance) {
    for (const auto& stone : kStones) {
        SCOPED_TRACE(stone.name);
        const Picture p = LoadBitmap(stone.name);
        ASSERT_EQ(p.width, 50);
        double sum = 0;
        int count = 0, greenish = 0;
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 50; ++x) {
                const Pixel& px = p.At(x, y);
                if (px.IsKey()) continue;
                // an edge pixel blended towards the key turns into a bright green fringe
                if (px.g - std::max(px.r, px.b) > 24) ++greenish;
                if (DistanceFromCentre(x, y) < 18) {
                    sum += px.Luminance();
                    ++count;
                }
            }
        }
        EXPECT_EQ(greenish, 0);
        ASSERT_GT(count, 0);
        if (stone.black)
            EXPECT_LT(sum / count, 70);
        else
            EXPECT_GT(sum / count, 170);
    }
}

TEST(PicturesTest, BothStonesOfADesignAndBothDesignsHaveTheSameSize) {
    const char* const names[] = {"stone_go_black.bmp", "stone_go_white.bmp", "stone_flat_black.bmp",
                                 "stone_flat_white.bmp"};
    const Box first = OpaqueBox(LoadBitmap(names[0]));
    for (const char* name : names) {
        const Box box = OpaqueBox(LoadBitmap(name));
        EXPECT_LE(std::abs(box.left - first.left), 1) << name;
        EXPECT_LE(std::abs(box.right - first.right), 1) << name;
        EXPECT_LE(std::abs(box.top - first.top), 1) << name;
        EXPECT_LE(std::abs(box.bottom - first.bottom), 1) << name;
    }
}

// ---------------------------------------------------------------------------------------------
// Textures: tiled 4 x 4 under black grid lines and both stone colours.

int Difference(const Pixel& a, const Pixel& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// The mean difference between neighbouring columns x and x + 1 (x + 1 taken modulo the width,
// so x = width - 1 is the seam between two tiles); rows likewise.
double ColumnStep(const Picture& p, int x) {
    double sum = 0;
    for (int y = 0; y < p.height; ++y) sum += Difference(p.At(x, y), p.At((x + 1) % p.width, y));
    return sum / p.height;
}

double RowStep(const Picture& p, int y) {
    double sum = 0;
    for (int x = 0; x < p.width; ++x) sum += Difference(p.At(x, y), p.At(x, (y + 1) % p.height));
    return sum / p.width;
}

enum class Hue { kGreen, kBlueGreen };

TEST(PicturesTest, TexturesTileSeamlesslyAndKeepGridAndStonesVisible) {
    const struct {
        const char* name;
        Hue hue;
    } cases[] = {
        {"board_green.bmp", Hue::kGreen},
        {"board_bluegreen.bmp", Hue::kBlueGreen},
        {"board_grass.bmp", Hue::kGreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture p = LoadBitmap(c.name);
        ASSERT_EQ(p.width, 100);
        ASSERT_EQ(p.height, 100);
        // Across the seam the texture may change no more than between any two inner
        // neighbours: the largest inner step bounds it, with a little room for the grain.
        double columns = 0, rows = 0;
        for (int i = 0; i + 1 < 100; ++i) {
            columns = std::max(columns, ColumnStep(p, i));
            rows = std::max(rows, RowStep(p, i));
        }
        EXPECT_LE(ColumnStep(p, 99), columns * 1.1) << "left and right edges do not meet";
        EXPECT_LE(RowStep(p, 99), rows * 1.1) << "top and bottom edges do not meet";

        double r = 0, g = 0, b = 0, luminance = 0;
        for (const Pixel& px : p.pixels) {
            r += px.r;
            g += px.g;
            b += px.b;
            luminance += px.Luminance();
        }
        const double n = static_cast<double>(p.pixels.size());
        r /= n, g /= n, b /= n, luminance /= n;
        // dark enough for white stones to stand out, light enough for black lines and stones
        EXPECT_GT(luminance, 40);
        EXPECT_LT(luminance, 140);
        EXPECT_GT(g, r + 30);
        if (c.hue == Hue::kGreen)
            EXPECT_GT(g, b + 30);
        else
            EXPECT_GT(b, r + 30);
    }
}

// ---------------------------------------------------------------------------------------------
// Icons: the directory, and every image as the loader reads it.

TEST(PicturesTest, IconsHoldTheirSizesAs32BitImagesWithAMatchingMask) {
    const struct {
        const char* name;
        std::vector<int> sizes;
    } cases[] = {
        {"tavik.ico", {16, 32, 48}},
        {"tavik_small.ico", {16, 32}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> file = ReadResource(c.name);
        ASSERT_GE(file.size(), 6 + 16 * c.sizes.size());
        EXPECT_EQ(Le16(file, 0), 0u);
        EXPECT_EQ(Le16(file, 2), 1u);  // an icon, not a cursor
        ASSERT_EQ(Le16(file, 4), c.sizes.size());
        size_t expectedOffset = 6 + 16 * c.sizes.size();  // images follow one another, in order
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            const int s = c.sizes[i];
            SCOPED_TRACE(s);
            const size_t entry = 6 + 16 * i;
            EXPECT_EQ(file[entry], s);
            EXPECT_EQ(file[entry + 1], s);
            EXPECT_EQ(Le16(file, entry + 4), 1u);
            EXPECT_EQ(Le16(file, entry + 6), 32u);
            const size_t maskRow = (s + 31) / 32 * 4;
            const size_t bytes = Le32(file, entry + 8), offset = Le32(file, entry + 12);
            ASSERT_EQ(bytes, 40 + 4u * s * s + maskRow * s);
            ASSERT_EQ(offset, expectedOffset);
            ASSERT_LE(offset + bytes, file.size());
            expectedOffset += bytes;

            EXPECT_EQ(Le32(file, offset), 40u);
            EXPECT_EQ(Le32(file, offset + 4), static_cast<uint32_t>(s));
            EXPECT_EQ(Le32(file, offset + 8),
                      static_cast<uint32_t>(2 * s));  // colour rows + mask rows
            EXPECT_EQ(Le16(file, offset + 12), 1u);
            EXPECT_EQ(Le16(file, offset + 14), 32u);
            EXPECT_EQ(Le32(file, offset + 16), 0u);
            const size_t colours = offset + 40, mask = colours + 4u * s * s;
            int mismatches = 0, opaque = 0;
            for (int row = 0; row < s; ++row) {
                for (int x = 0; x < s; ++x) {
                    const uint8_t alpha =
                        file[colours + 4 * (static_cast<size_t>(row) * s + x) + 3];
                    const bool masked = file[mask + row * maskRow + x / 8] & (0x80 >> (x % 8));
                    if (masked != (alpha == 0)) ++mismatches;
                    if (alpha == 255) ++opaque;
                }
            }
            // paths that ignore alpha draw through the mask: it must cut the same outline
            EXPECT_EQ(mismatches, 0);
            EXPECT_GT(opaque, s * s / 2);
        }
        EXPECT_EQ(expectedOffset, file.size());
    }
}

}  // namespace
