#include "runtime/row_mark_pixels.h"

#include <algorithm>
#include <cmath>

namespace {

struct Colour {
    double r = 0, g = 0, b = 0, a = 0;  // 0..1, a = 0: nothing drawn
};

constexpr Colour kGrey{0.45, 0.45, 0.45, 1};
constexpr Colour kBlue{0.12, 0.44, 0.82, 1};
constexpr Colour kGreen{0.16, 0.60, 0.27, 1};
constexpr Colour kWhite{1, 1, 1, 1};

constexpr double kRadius = 0.40;  // of the ring's middle line, in icon widths
constexpr int kSamples = 4;       // per pixel and axis, for smooth edges

double distanceToSegment(double x, double y, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
}

// The colour at a point of the icon, in icon widths from its top left. Lines
// stay at least about a pixel wide however small the icon is.
Colour colourAt(RowMark mark, double x, double y, int size) {
    const double fromCentre = std::hypot(x - 0.5, y - 0.5);
    const double ring = std::max(1.3 / size, 0.09);
    const bool onRing = std::abs(fromCentre - kRadius) <= ring / 2;
    switch (mark) {
        case RowMark::NotPractised:
            return onRing ? kGrey : Colour{};
        case RowMark::Practised:
            return onRing || (fromCentre <= kRadius && x <= 0.5) ? kBlue : Colour{};
        case RowMark::Mastered: {
            if (fromCentre > kRadius + ring / 2) return Colour{};
            const double tick = std::max(1.6 / size, 0.13);
            const double toTick = std::min(distanceToSegment(x, y, 0.29, 0.52, 0.44, 0.67),
                                           distanceToSegment(x, y, 0.44, 0.67, 0.72, 0.36));
            return toTick <= tick / 2 ? kWhite : kGreen;
        }
        case RowMark::None:
            break;
    }
    return Colour{};
}

std::uint32_t channel(double value) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

}  // namespace

std::vector<std::uint32_t> rowMarkPixels(RowMark mark, int size) {
    if (mark == RowMark::None || size < 1) return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            // Premultiplied sums over the samples, straight colour at the end.
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Colour c = colourAt(mark, (column + (sx + 0.5) / kSamples) / size,
                                              (row + (sy + 0.5) / kSamples) / size, size);
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
                }
            }
            std::uint32_t pixel = 0;
            if (a > 0)
                pixel = channel(a / (kSamples * kSamples)) << 24 | channel(r / a) << 16 |
                        channel(g / a) << 8 | channel(b / a);
            pixels[static_cast<std::size_t>(row) * size + column] = pixel;
        }
    }
    return pixels;
}
