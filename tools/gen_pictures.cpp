// gen_pictures: draws every picture the game carries in its resources.
//
//   gen_pictures OUTPUT_DIR              the bitmaps and icons of game/resources/
//   gen_pictures --preview OUTPUT.bmp    six boards (three textures x two stone designs) put
//                                        together the way the game paints them, for judging
//
// Everything is computed from fixed seeds with our own integer generator and plain IEEE
// arithmetic (+ - * / and sqrt only, which are exactly rounded everywhere), so the checked-in
// files are reproduced byte for byte. No std:: distributions and no transcendental functions:
// their results differ between library versions.
//
// What the game relies on:
//   - Textures are tiled 4 x 4 under the grid, so every texture repeats seamlessly with a
//     period of 100 pixels: noise is built on lattices whose size divides 100, and everything
//     drawn near an edge wraps around to the opposite edge.
//   - Stones are drawn with a binary colour key: a source pixel that is exactly RGB(0,255,0)
//     is left out, any other is copied. So outside the disc stays exactly the key, no disc
//     pixel may be the key, and edge pixels are blended towards a dark neutral instead of
//     towards the key (blending towards the key would leave a bright green halo on the board).
//   - The stone bitmap is drawn at the cell's corner, on top of the grid line: the cell's free
//     inside is pixels 1..49, so the disc is centred on pixel 25 (25.5 in continuous
//     coordinates), not on the bitmap's geometric middle.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bitmap.h"
#include "file_io.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Colours, canvases, randomness

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour c, double f) { return {c.r * f, c.g * f, c.b * f}; }

Colour Add(Colour c, double v) { return {c.r + v, c.g + v, c.b + v}; }

uint8_t ToByte(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(static_cast<int>(v + 0.5));
}

constexpr Colour kKey{0, 255, 0};

class Canvas {
public:
    Canvas(int width, int height, Colour fill)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    Colour& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Colour& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Wrapped access: the canvas as one tile of an endless repetition.
    Colour& Wrapped(int x, int y) {
        return At(((x % width_) + width_) % width_, ((y % height_) + height_) % height_);
    }

    std::vector<uint8_t> Rgb() const {
        std::vector<uint8_t> out;
        out.reserve(pixels_.size() * 3);
        for (const Colour& c : pixels_) {
            out.push_back(ToByte(c.r));
            out.push_back(ToByte(c.g));
            out.push_back(ToByte(c.b));
        }
        return out;
    }

private:
    int width_, height_;
    std::vector<Colour> pixels_;
};

// A 32-bit counter pushed through a strong mixing function: every output depends on every bit
// of the seed and of the position in the sequence.
uint32_t Mix32(uint32_t z) {
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed) {
    return Mix32(Mix32(Mix32(seed) ^ (a * 0x9E3779B9u)) ^ (b * 0x7F4A7C15u));
}

class Random {
public:
    explicit Random(uint32_t seed) : state_(Mix32(seed)) {}
    uint32_t Next() { return Mix32(state_ += 0x9E3779B9u); }
    double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }  // [0, 1)
    double Range(double low, double high) { return low + (high - low) * Unit(); }
    // A direction, uniformly over the circle, by rejection from the square.
    void Direction(double& dx, double& dy) {
        for (;;) {
            const double x = Range(-1, 1), y = Range(-1, 1), q = x * x + y * y;
            if (q > 0.01 && q <= 1.0) {
                const double length = std::sqrt(q);
                dx = x / length;
                dy = y / length;
                return;
            }
        }
    }

private:
    uint32_t state_;
};

double SmoothStep(double t) { return t * t * (3.0 - 2.0 * t); }

double Clamp01(double t) { return t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t); }

double PowInt(double base, int exponent) {
    double result = 1.0;
    for (int i = 0; i < exponent; ++i) result *= base;
    return result;
}

// Value noise in -1..1 on a lattice of `cell`-pixel squares that repeats every `period`
// pixels: lattice indices are taken modulo period / cell, so the noise is seamless at the
// tile edge as long as `cell` divides `period`.
double TileNoise(double x, double y, int cell, int period, uint32_t seed) {
    const int n = period / cell;
    const double fx = x / cell, fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const double tx = SmoothStep(fx - ix), ty = SmoothStep(fy - iy);
    auto value = [&](int i, int j) {
        const uint32_t u = static_cast<uint32_t>(((i % n) + n) % n);
        const uint32_t v = static_cast<uint32_t>(((j % n) + n) % n);
        return Hash(u, v, seed) * (2.0 / 4294967296.0) - 1.0;
    };
    const double top = value(ix, iy) + (value(ix + 1, iy) - value(ix, iy)) * tx;
    const double bottom = value(ix, iy + 1) + (value(ix + 1, iy + 1) - value(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

// ---------------------------------------------------------------------------------------------
// Coverage by supersampling

constexpr int kSamples = 8;  // 8 x 8 samples per pixel

using Inside = std::function<bool(double x, double y)>;

struct Coverage {
    double fraction;  // 0..1
    double x, y;      // centroid of the covered samples (the pixel centre when none is)
};

Coverage CoverageOf(int px, int py, const Inside& inside) {
    int hits = 0;
    double sx = 0, sy = 0;
    for (int j = 0; j < kSamples; ++j) {
        for (int i = 0; i < kSamples; ++i) {
            const double x = px + (i + 0.5) / kSamples, y = py + (j + 0.5) / kSamples;
            if (inside(x, y)) {
                ++hits;
                sx += x;
                sy += y;
            }
        }
    }
    if (hits == 0) return {0.0, px + 0.5, py + 0.5};
    return {hits / double(kSamples * kSamples), sx / hits, sy / hits};
}

Inside Disc(double cx, double cy, double radius) {
    return [=](double x, double y) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

// ---------------------------------------------------------------------------------------------
// Board textures

// Felt: a deep base colour, soft cloudiness at four scales, short curly fibres a shade lighter
// or darker than the felt, and a fine grain. The shading is multiplicative so the hue of the
// base colour is kept everywhere.
Canvas Felt(Colour base, uint32_t seed) {
    constexpr int kSize = 100;
    std::vector<double> shade(kSize * kSize, 0.0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double fx = x + 0.5, fy = y + 0.5;
            shade[y * kSize + x] = 2.2 * TileNoise(fx, fy, 50, kSize, seed + 1) +
                                   1.8 * TileNoise(fx, fy, 25, kSize, seed + 2) +
                                   1.3 * TileNoise(fx, fy, 10, kSize, seed + 3) +
                                   0.9 * TileNoise(fx, fy, 5, kSize, seed + 4);
        }
    }
    auto splat = [&](double x, double y, double amount) {
        // bilinear deposit, wrapped around the tile
        const int ix = static_cast<int>(std::floor(x - 0.5)),
                  iy = static_cast<int>(std::floor(y - 0.5));
        const double tx = x - 0.5 - ix, ty = y - 0.5 - iy;
        auto at = [&](int i, int j) -> double& {
            return shade[((j % kSize + kSize) % kSize) * kSize + ((i % kSize + kSize) % kSize)];
        };
        at(ix, iy) += amount * (1 - tx) * (1 - ty);
        at(ix + 1, iy) += amount * tx * (1 - ty);
        at(ix, iy + 1) += amount * (1 - tx) * ty;
        at(ix + 1, iy + 1) += amount * tx * ty;
    };
    Random random(seed);
    for (int fibre = 0; fibre < 420; ++fibre) {
        double x = random.Range(0, kSize), y = random.Range(0, kSize), dx, dy;
        random.Direction(dx, dy);
        const double length = random.Range(3.0, 9.0);
        const double bend = random.Range(-0.25, 0.25);  // turn per pixel, in radians roughly
        const double amount = (random.Unit() < 0.6 ? 1.0 : -1.0) * random.Range(2.0, 4.5);
        constexpr double kStep = 0.5;
        for (double walked = 0; walked < length; walked += kStep) {
            splat(x, y, amount * kStep);
            x += dx * kStep;
            y += dy * kStep;
            // turn by a small angle without trigonometry: step along the normal, renormalise
            const double nx = dx - dy * bend * kStep, ny = dy + dx * bend * kStep;
            const double norm = std::sqrt(nx * nx + ny * ny);
            dx = nx / norm;
            dy = ny / norm;
        }
    }
    Canvas tile(kSize, kSize, base);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double grain = random.Range(-1.3, 1.3);
            tile.At(x, y) = Scale(base, 1.0 + (shade[y * kSize + x] + grain) * 0.012);
        }
    }
    return tile;
}

// A meadow seen from above: a dark, earthy undergrowth covered by many tapering blades, each
// darker at its root and lit towards its tip, painted back to front. Blades that cross the
// tile edge continue on the opposite side.
Canvas Meadow(uint32_t seed) {
    constexpr int kSize = 100;
    Canvas tile(kSize, kSize, Colour{0, 0, 0});
    const Colour undergrowth{34, 74, 30};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double n = TileNoise(x + 0.5, y + 0.5, 20, kSize, seed + 7) +
                             0.5 * TileNoise(x + 0.5, y + 0.5, 5, kSize, seed + 8);
            tile.At(x, y) = Scale(undergrowth, 1.0 + 0.15 * n);
        }
    }

    struct Blade {
        double x, y, height, lean, width;
        Colour root, tip;
    };
    Random random(seed);
    std::vector<Blade> blades;
    const std::array<Colour, 4> tips = {Colour{92, 150, 52}, Colour{108, 160, 58},
                                        Colour{78, 138, 50}, Colour{122, 162, 66}};
    for (int i = 0; i < 1500; ++i) {
        Blade b;
        b.x = random.Range(0, kSize);
        b.y = random.Range(0, kSize);
        b.height = random.Range(5.0, 12.0);
        b.lean = random.Range(-3.5, 3.5);
        b.width = random.Range(1.0, 1.7);
        // patches of lighter and darker grass follow a slow noise, so the meadow is not uniform
        const double patch = TileNoise(b.x, b.y, 25, kSize, seed + 9);
        const Colour tip = tips[random.Next() % tips.size()];
        b.tip = Scale(tip, 0.9 + 0.12 * patch + random.Range(-0.05, 0.05));
        b.root = Scale(b.tip, 0.5);
        blades.push_back(b);
    }
    // back to front: a blade whose root is lower on the picture is nearer the viewer
    std::stable_sort(blades.begin(), blades.end(),
                     [](const Blade& a, const Blade& b) { return a.y < b.y; });

    constexpr int kSegments = 6;
    for (const Blade& b : blades) {
        // the blade bends more towards its tip: x = root + lean * t^2, y = root - height * t
        std::array<double, kSegments + 1> px, py;
        for (int k = 0; k <= kSegments; ++k) {
            const double t = k / double(kSegments);
            px[k] = b.x + b.lean * t * t;
            py[k] = b.y - b.height * t;
        }
        const int x0 = static_cast<int>(std::floor(std::min(b.x, b.x + b.lean) - 2));
        const int x1 = static_cast<int>(std::ceil(std::max(b.x, b.x + b.lean) + 2));
        const int y0 = static_cast<int>(std::floor(b.y - b.height - 2));
        const int y1 = static_cast<int>(std::ceil(b.y + 2));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double cx = x + 0.5, cy = y + 0.5;
                double best = 1e9, bestT = 0;
                for (int k = 0; k < kSegments; ++k) {
                    const double sx = px[k + 1] - px[k], sy = py[k + 1] - py[k];
                    const double u =
                        Clamp01(((cx - px[k]) * sx + (cy - py[k]) * sy) / (sx * sx + sy * sy));
                    const double ex = px[k] + sx * u - cx, ey = py[k] + sy * u - cy;
                    const double d = std::sqrt(ex * ex + ey * ey);
                    if (d < best) {
                        best = d;
                        bestT = (k + u) / kSegments;
                    }
                }
                const double halfWidth = b.width * (1.0 - 0.75 * bestT) * 0.5;
                const double cover = Clamp01(halfWidth + 0.5 - best);
                if (cover <= 0) continue;
                Colour& pixel = tile.Wrapped(x, y);
                pixel = Mix(pixel, Mix(b.root, b.tip, SmoothStep(bestT)), cover * 0.9);
            }
        }
    }
    // a fine grain, so flat stretches of blade colour do not look painted
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) tile.At(x, y) = Add(tile.At(x, y), random.Range(-1.5, 1.5));
    return tile;
}

// ---------------------------------------------------------------------------------------------
// Stones

// Shaders take the position relative to the disc's centre in units of its radius.
using Shader = std::function<Colour(double dx, double dy)>;

// A go stone is lens shaped: its top is a flat spherical cap (sphere radius kCap times the
// stone's), lit from the upper left.
constexpr double kCap = 1.35;
struct Vector {
    double x, y, z;
};

Vector Normalised(Vector v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

const Vector kLight = Normalised({-0.46, -0.58, 0.56});
const Vector kHalf = Normalised({kLight.x, kLight.y, kLight.z + 1.0});  // between light and eye

struct Lighting {
    double diffuse;  // n . l, clamped at 0
    double facing;   // n . h (half vector between light and view), clamped at 0
    double nz;       // how much the surface faces the viewer: 1 at the top, lowest at the rim
};

Lighting LightCap(double dx, double dy) {
    const double q = std::max(0.0, kCap * kCap - dx * dx - dy * dy);
    const double nx = dx / kCap, ny = dy / kCap, nz = std::sqrt(q) / kCap;
    const double diffuse = nx * kLight.x + ny * kLight.y + nz * kLight.z;
    const double facing = nx * kHalf.x + ny * kHalf.y + nz * kHalf.z;
    return {std::max(0.0, diffuse), std::max(0.0, facing), nz};
}

// Slate: nearly black with a cool tint, a broad soft sheen and a small brighter highlight.
Colour GoBlack(double dx, double dy) {
    const Lighting l = LightCap(dx, dy);
    const Colour base{14, 14, 18};
    Colour c = Add(base, 30 * l.diffuse * l.diffuse);
    c = Add(c, 46 * PowInt(l.facing, 12) + 78 * PowInt(l.facing, 90));
    return Scale(c, 0.8 + 0.2 * l.nz);
}

// Shell: warm white with faint growth bands running across the stone, shaded darker towards
// the lower right, a gentle highlight.
Colour GoWhite(double dx, double dy) {
    const Lighting l = LightCap(dx, dy);
    const Colour albedo{240, 237, 228};
    // bands: a 1-D noise along a gently curved coordinate
    const double band = TileNoise(40 * (dy + 0.18 * dx * dx) + 100, 0.5, 2, 200, 0x5E11u);
    Colour c = Scale(albedo, (0.62 + 0.38 * l.diffuse) * (1.0 + 0.012 * band));
    c = Add(c, 26 * PowInt(l.facing, 40));
    return Scale(c, 0.9 + 0.1 * l.nz);
}

// Flat discs: one colour with a narrow rounded edge (lighter on black, darker on white), which
// keeps the disc crisp against any texture.
Shader FlatDisc(Colour face, double edge, double radiusPixels) {
    return [=](double dx, double dy) {
        const double fromRim = (1.0 - std::sqrt(dx * dx + dy * dy)) * radiusPixels;
        const double t = 1.0 - Clamp01(fromRim / 2.5);
        // darker or lighter mostly on the lower right, as if the edge were bevelled
        const double side = 0.6 + 0.4 * Clamp01(0.5 + 0.7 * (dx + dy));
        return Add(face, edge * t * t * side);
    };
}

constexpr int kStoneSize = 50;
constexpr double kStoneCentre = 25.5;
constexpr double kStoneRadius = 20.5;  // 41 pixels across
// Edge pixels blend towards this, never towards the key: on any of the boards it reads as the
// thin contact shadow around a stone.
constexpr Colour kRim{34, 38, 36};
// A pixel covered less than this stays transparent; the disc's outline is then a little
// inside the true circle rather than a ragged ring of almost-rim pixels.
constexpr double kOpaqueFrom = 0.3;

Canvas StoneImage(const Shader& shade) {
    Canvas image(kStoneSize, kStoneSize, kKey);
    const Inside inside = Disc(kStoneCentre, kStoneCentre, kStoneRadius);
    for (int y = 0; y < kStoneSize; ++y) {
        for (int x = 0; x < kStoneSize; ++x) {
            const Coverage c = CoverageOf(x, y, inside);
            if (c.fraction < kOpaqueFrom) continue;
            const Colour face =
                shade((c.x - kStoneCentre) / kStoneRadius, (c.y - kStoneCentre) / kStoneRadius);
            Colour pixel = Mix(kRim, face, c.fraction);
            // a disc pixel must never read as the key (it cannot with these colours, but the
            // shaders are free to change)
            if (ToByte(pixel.r) == 0 && ToByte(pixel.g) == 255 && ToByte(pixel.b) == 0)
                pixel.g = 254;
            image.At(x, y) = pixel;
        }
    }
    return image;
}

// A disc blended over what is already there (banner, icons).
void PaintDisc(Canvas& canvas, double cx, double cy, double radius, const Shader& shade,
               double opacity = 1.0) {
    const Inside inside = Disc(cx, cy, radius);
    const int left = std::max(0, int(cx - radius) - 1);
    const int right = std::min(canvas.Width() - 1, int(cx + radius) + 1);
    const int top = std::max(0, int(cy - radius) - 1);
    const int bottom = std::min(canvas.Height() - 1, int(cy + radius) + 1);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const Coverage c = CoverageOf(x, y, inside);
            if (c.fraction <= 0) continue;
            const Colour face = shade((c.x - cx) / radius, (c.y - cy) / radius);
            canvas.At(x, y) = Mix(canvas.At(x, y), face, c.fraction * opacity);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Banner

// Our own pixel letters, 12 rows from the top of a capital to the baseline; lower-case letters
// use the bottom 8. Vertical strokes are two pixels wide, horizontal ones one (the T's bar two).
struct Glyph {
    std::array<const char*, 12> rows;
};

// clang-format off
const Glyph kT = {{"##########",
                   "##########",
                   "....##....",
                   "....##....",
                   "....##....",
                   "....##....",
                   "....##....",
                   "....##....",
                   "....##....",
                   "....##....",
                   "....##....",
                   "....##...."}};
const Glyph kA = {{".......",
                   ".......",
                   ".......",
                   ".......",
                   ".#####.",
                   ".....##",
                   ".....##",
                   ".######",
                   "##...##",
                   "##...##",
                   "##..###",
                   ".###.##"}};
const Glyph kV = {{"........",
                   "........",
                   "........",
                   "........",
                   "##....##",
                   "##....##",
                   "##....##",
                   ".##..##.",
                   ".##..##.",
                   "..####..",
                   "..####..",
                   "...##..."}};
const Glyph kI = {{"..",
                   "##",
                   "##",
                   "..",
                   "##",
                   "##",
                   "##",
                   "##",
                   "##",
                   "##",
                   "##",
                   "##"}};
const Glyph kK = {{"##.....",
                   "##.....",
                   "##.....",
                   "##.....",
                   "##...##",
                   "##..##.",
                   "##.##..",
                   "####...",
                   "####...",
                   "##.##..",
                   "##..##.",
                   "##...##"}};
// clang-format on

// Draws a word and answers the x after its last letter.
int DrawWord(Canvas& canvas, int x, int top, const std::vector<const Glyph*>& word, int gap,
             const std::function<Colour(int row)>& ink) {
    for (const Glyph* glyph : word) {
        int width = 0;
        for (int row = 0; row < 12; ++row) {
            const std::string line = glyph->rows[row];
            width = std::max<int>(width, static_cast<int>(line.size()));
            for (size_t i = 0; i < line.size(); ++i)
                if (line[i] == '#') canvas.At(x + static_cast<int>(i), top + row) = ink(row);
        }
        x += width + gap;
    }
    return x - gap;
}

// 88 x 31: a strip of the green felt in a bevelled frame, a black and a white stone side by
// side, and the name in cream letters with a soft shadow.
Canvas Banner(const Canvas& felt) {
    constexpr int kWidth = 88, kHeight = 31;
    Canvas banner(kWidth, kHeight, Colour{0, 0, 0});
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            banner.At(x, y) =
                Scale(felt.At(x, y + 30), 1.12 - 0.3 * y / kHeight);  // lit from above
    for (int x = 0; x < kWidth; ++x) {
        banner.At(x, 0) = Colour{10, 40, 24};
        banner.At(x, kHeight - 1) = Colour{6, 26, 16};
        banner.At(x, 1) = Mix(banner.At(x, 1), Colour{140, 200, 160}, 0.35);
    }
    for (int y = 0; y < kHeight; ++y) {
        banner.At(0, y) = Colour{10, 40, 24};
        banner.At(kWidth - 1, y) = Colour{6, 26, 16};
        if (y > 0 && y < kHeight - 1)
            banner.At(1, y) = Mix(banner.At(1, y), Colour{140, 200, 160}, 0.25);
    }

    // contact shadows first, then the stones over them
    const double stoneY = 15.5, radius = 8.5;
    const Shader shadow = [](double, double) { return Colour{0, 30, 14}; };
    PaintDisc(banner, 12.5 + 0.8, stoneY + 1.2, radius, shadow, 0.45);
    PaintDisc(banner, 30.0 + 0.8, stoneY + 1.2, radius, shadow, 0.45);
    PaintDisc(banner, 12.5, stoneY, radius, GoBlack);
    PaintDisc(banner, 30.0, stoneY, radius, GoWhite);

    const std::vector<const Glyph*> word = {&kT, &kA, &kV, &kI, &kK};
    const int textX = 42, textTop = 10;
    DrawWord(banner, textX + 1, textTop + 1, word, 2, [](int) { return Colour{4, 36, 18}; });
    DrawWord(banner, textX, textTop, word, 2, [](int row) {
        return Mix(Colour{255, 252, 236}, Colour{226, 218, 186}, row / 11.0);
    });
    return banner;
}

// ---------------------------------------------------------------------------------------------
// Icons: 32-bit pictures with alpha, drawn with coverage like the stones

struct Rgba {
    double r, g, b, a;  // premultiplied
};

class IconCanvas {
public:
    explicit IconCanvas(int size)
        : size_(size), pixels_(static_cast<size_t>(size) * size, Rgba{0, 0, 0, 0}) {}
    int Size() const { return size_; }
    const Rgba& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * size_ + x]; }

    // Paints `colour` (straight alpha `opacity`) where `inside` holds, "over" what is there.
    void Fill(const Inside& inside, const std::function<Colour(double x, double y)>& colour,
              double opacity = 1.0) {
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                const Coverage c = CoverageOf(x, y, inside);
                if (c.fraction <= 0) continue;
                const double a = c.fraction * opacity;
                const Colour s = colour(c.x, c.y);
                Rgba& d = pixels_[static_cast<size_t>(y) * size_ + x];
                d = {s.r * a + d.r * (1 - a), s.g * a + d.g * (1 - a), s.b * a + d.b * (1 - a),
                     a + d.a * (1 - a)};
            }
        }
    }

private:
    int size_;
    std::vector<Rgba> pixels_;
};

Inside RoundedRect(double x0, double y0, double x1, double y1, double radius) {
    return [=](double x, double y) {
        if (x < x0 || x > x1 || y < y0 || y > y1) return false;
        const double cx = std::clamp(x, x0 + radius, x1 - radius);
        const double cy = std::clamp(y, y0 + radius, y1 - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Inside Rect(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

std::function<Colour(double, double)> Solid(Colour c) {
    return [=](double, double) { return c; };
}

// The felt tile the icons share: a rounded green square in a dark frame, lit from above.
void BoardTile(IconCanvas& icon, double border) {
    const double s = icon.Size(), corner = std::max(2.0, s * 0.14);
    icon.Fill(RoundedRect(0, 0, s, s, corner), Solid(Colour{14, 62, 34}));
    icon.Fill(RoundedRect(border, border, s - border, s - border, std::max(1.0, corner - border)),
              [s](double, double y) {
                  return Mix(Colour{58, 150, 84}, Colour{24, 108, 58}, y / s);
              });
}

// A stone on an icon: shaded like the go stones where there is room, plain on the 16 x 16.
void IconStone(IconCanvas& icon, double cx, double cy, double radius, bool black) {
    const int size = icon.Size();
    if (size >= 32) {
        const double drop = size / 48.0 * 1.2;
        icon.Fill(Disc(cx + drop, cy + drop, radius), Solid(Colour{0, 24, 10}), 0.4);
    }
    const Shader shade = black ? Shader(GoBlack) : Shader(GoWhite);
    const Colour flat = black ? Colour{24, 24, 28} : Colour{242, 240, 232};
    icon.Fill(Disc(cx, cy, radius), [&](double x, double y) {
        return size >= 32 ? shade((x - cx) / radius, (y - cy) / radius) : flat;
    });
}

// The application icon: the middle of a board at the start of a game, four stones in the
// crossed opening pattern around one grid crossing. The grid lines are snapped to whole
// pixels so they stay sharp at 16 x 16.
IconCanvas AppIcon(int size) {
    IconCanvas icon(size);
    const double border = std::max(1.0, std::floor(size / 24.0));
    BoardTile(icon, border);
    const int line = std::max(1, size / 24);
    const double lineStart = size / 2 - line / 2, lineEnd = lineStart + line;
    const Colour ink{10, 40, 22};
    icon.Fill(Rect(lineStart, border, lineEnd, size - border), Solid(ink));
    icon.Fill(Rect(border, lineStart, size - border, lineEnd), Solid(ink));
    const double near = (border + lineStart) / 2, far = (lineEnd + size - border) / 2;
    const double radius =
        std::min(lineStart - border, size - border - lineEnd) * (size < 32 ? 0.48 : 0.45);
    IconStone(icon, near, near, radius, false);
    IconStone(icon, far, near, radius, true);
    IconStone(icon, near, far, radius, true);
    IconStone(icon, far, far, radius, false);
    return icon;
}

// The tool windows' icon: the same tile with just one black and one white stone.
IconCanvas SmallIcon(int size) {
    IconCanvas icon(size);
    const double border = std::max(1.0, std::floor(size / 24.0));
    BoardTile(icon, border);
    const double radius = size * 0.26;
    IconStone(icon, size * 0.35, size * 0.35, radius, true);
    IconStone(icon, size * 0.65, size * 0.65, radius, false);
    return icon;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// An icon file: a 6-byte directory header, one 16-byte entry per image, then each image as a
// 40-byte information header (height doubled: colour rows and mask rows), the 32-bit colour
// rows bottom-up in blue, green, red, alpha, and the 1-bit AND mask bottom-up with rows padded
// to 4 bytes. The mask is set exactly where alpha is 0, for the drawing paths that ignore alpha.
std::vector<uint8_t> EncodeIcon(const std::vector<IconCanvas>& images) {
    std::vector<std::vector<uint8_t>> bodies;
    for (const IconCanvas& icon : images) {
        const int s = icon.Size();
        const uint32_t maskRow = static_cast<uint32_t>((s + 31) / 32 * 4);
        std::vector<uint8_t> body;
        Put32(body, 40);
        Put32(body, static_cast<uint32_t>(s));
        Put32(body, static_cast<uint32_t>(2 * s));
        Put16(body, 1);
        Put16(body, 32);
        Put32(body, 0);
        Put32(body, static_cast<uint32_t>(s * s * 4) + maskRow * s);
        for (int i = 0; i < 4; ++i) Put32(body, 0);
        std::vector<uint8_t> mask(maskRow * s, 0);
        for (int y = s - 1; y >= 0; --y) {
            for (int x = 0; x < s; ++x) {
                const Rgba& p = icon.At(x, y);
                const uint8_t alpha = ToByte(p.a * 255);
                if (alpha == 0) {
                    Put32(body, 0);
                    mask[(s - 1 - y) * maskRow + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                    continue;
                }
                const double a = p.a;  // back from premultiplied to straight colour
                body.push_back(ToByte(p.b / a));
                body.push_back(ToByte(p.g / a));
                body.push_back(ToByte(p.r / a));
                body.push_back(alpha);
            }
        }
        body.insert(body.end(), mask.begin(), mask.end());
        bodies.push_back(std::move(body));
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // type: icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int s = images[i].Size();
        out.push_back(static_cast<uint8_t>(s));  // 0 would mean 256
        out.push_back(static_cast<uint8_t>(s));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);   // planes
        Put16(out, 32);  // bits per pixel
        Put32(out, static_cast<uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies) out.insert(out.end(), body.begin(), body.end());
    return out;
}

// ---------------------------------------------------------------------------------------------
// The pictures and the preview

struct Pictures {
    Canvas green = Felt(Colour{22, 104, 56}, 0x7A11u);
    Canvas blueGreen = Felt(Colour{14, 82, 92}, 0xB1E5u);
    Canvas grass = Meadow(0x6A55u);
    Canvas goBlack = StoneImage(GoBlack);
    Canvas goWhite = StoneImage(GoWhite);
    Canvas flatBlack = StoneImage(FlatDisc(Colour{26, 26, 28}, 26, kStoneRadius));
    Canvas flatWhite = StoneImage(FlatDisc(Colour{244, 243, 238}, -40, kStoneRadius));
};

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty() ||
        tavik::WriteFileReplacing(path, bytes.data(), bytes.size()) != tavik::FileError::kNone) {
        std::fprintf(stderr, "gen_pictures: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WriteBitmap(const std::string& path, const Canvas& canvas) {
    const std::vector<uint8_t> rgb = canvas.Rgb();
    return Write(path, tavik::EncodeRgbPicture(canvas.Width(), canvas.Height(), rgb.data()));
}

// One board as the game paints it: texture tiles from x, y = 0 to 399, black grid lines at 0,
// 50, ..., 400, a few legal-move frames, stones through the colour key, then the star points.
void PaintBoard(std::vector<uint8_t>& out, int outWidth, int left, int top, const Canvas& texture,
                const Canvas& black, const Canvas& white) {
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &out[(static_cast<size_t>(top + y) * outWidth + left + x) * 3];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    };
    // the bytes as they are in the files, so the key test below is exactly the game's
    const std::vector<uint8_t> tex = texture.Rgb(), blackBytes = black.Rgb(),
                               whiteBytes = white.Rgb();
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 400; ++x) {
            const uint8_t* t =
                &tex[((y % texture.Height()) * texture.Width() + x % texture.Width()) * 3];
            put(x, y, t[0], t[1], t[2]);
        }
    }
    for (int i = 0; i <= 400; i += 50) {
        for (int j = 0; j <= 400; ++j) {
            put(i, j, 0, 0, 0);
            put(j, i, 0, 0, 0);
        }
    }
    // a middle-game position; '+' marks a legal move for the side to move
    static const char* const kPosition[8] = {"........", "..+..X..", "..OOOX+.", "..XOXX..",
                                             "..XXOO+.", "..XO.O..", ".+..O...", "........"};
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            const char cell = kPosition[r][c];
            if (cell == '+') {
                for (int k = 1; k <= 49; ++k) {
                    put(50 * c + k, 50 * r + 1, 0, 255, 0);
                    put(50 * c + k, 50 * r + 49, 0, 255, 0);
                    put(50 * c + 1, 50 * r + k, 0, 255, 0);
                    put(50 * c + 49, 50 * r + k, 0, 255, 0);
                }
            }
            if (cell != 'X' && cell != 'O') continue;
            const std::vector<uint8_t>& stone = cell == 'X' ? blackBytes : whiteBytes;
            for (int y = 0; y < kStoneSize; ++y) {
                for (int x = 0; x < kStoneSize; ++x) {
                    const uint8_t* s = &stone[(y * kStoneSize + x) * 3];
                    if (s[0] == 0 && s[1] == 255 && s[2] == 0) continue;
                    put(50 * c + x, 50 * r + y, s[0], s[1], s[2]);
                }
            }
        }
    }
    for (int cy = 100; cy <= 300; cy += 200)
        for (int cx = 100; cx <= 300; cx += 200)
            for (int y = -4; y <= 4; ++y)
                for (int x = -4; x <= 4; ++x)
                    if (x * x + y * y <= 20) put(cx + x, cy + y, 0, 0, 0);
}

int Preview(const std::string& path) {
    const Pictures p;
    constexpr int kGap = 12, kBoard = 401;
    const int width = 3 * kBoard + 4 * kGap, height = 2 * kBoard + 3 * kGap;
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3, 200);
    const Canvas* textures[3] = {&p.green, &p.blueGreen, &p.grass};
    for (int t = 0; t < 3; ++t) {
        const int left = kGap + t * (kBoard + kGap);
        PaintBoard(out, width, left, kGap, *textures[t], p.goBlack, p.goWhite);
        PaintBoard(out, width, left, 2 * kGap + kBoard, *textures[t], p.flatBlack, p.flatWhite);
    }
    return Write(path, tavik::EncodeRgbPicture(width, height, out.data())) ? 0 : 1;
}

int Generate(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const Pictures p;
    const std::string dir = folder + "/";
    bool ok = WriteBitmap(dir + "board_green.bmp", p.green);
    ok = WriteBitmap(dir + "stone_go_black.bmp", p.goBlack) && ok;
    ok = WriteBitmap(dir + "stone_go_white.bmp", p.goWhite) && ok;
    ok = WriteBitmap(dir + "banner.bmp", Banner(p.green)) && ok;
    ok = WriteBitmap(dir + "board_bluegreen.bmp", p.blueGreen) && ok;
    ok = WriteBitmap(dir + "stone_flat_black.bmp", p.flatBlack) && ok;
    ok = WriteBitmap(dir + "stone_flat_white.bmp", p.flatWhite) && ok;
    ok = WriteBitmap(dir + "board_grass.bmp", p.grass) && ok;
    ok = Write(dir + "tavik.ico", EncodeIcon({AppIcon(16), AppIcon(32), AppIcon(48)})) && ok;
    ok = Write(dir + "tavik_small.ico", EncodeIcon({SmallIcon(16), SmallIcon(32)})) && ok;
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--preview") return Preview(argv[2]);
    if (argc == 2 && argv[1][0] != '-') return Generate(argv[1]);
    std::fprintf(stderr, "usage: gen_pictures OUTPUT_DIR | gen_pictures --preview OUTPUT.bmp\n");
    return 2;
}
