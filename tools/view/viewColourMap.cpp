#include "tools/view/viewColourMap.h"

#include <cmath>
#include <cstdio>

namespace {
// Ten samples, evenly spaced from 0 to 1; the map is linear between them.
constexpr std::array<std::array<int, 3>, 10> kViridis{{
    {0x44, 0x01, 0x54},
    {0x48, 0x28, 0x78},
    {0x3e, 0x4a, 0x89},
    {0x31, 0x68, 0x8e},
    {0x26, 0x82, 0x8e},
    {0x1f, 0x9e, 0x89},
    {0x35, 0xb7, 0x79},
    {0x6d, 0xcd, 0x59},
    {0xb4, 0xde, 0x2c},
    {0xfd, 0xe7, 0x25},
}};
}  // namespace

std::string viewColour::hex() const {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", r, g, b);
    return text;
}

viewColour viewViridis(double position) {
    const double t = std::isnan(position) ? 0.0 : std::fmin(std::fmax(position, 0.0), 1.0);
    const double scaled = t * static_cast<double>(kViridis.size() - 1);
    const auto low = static_cast<std::size_t>(std::fmin(std::floor(scaled), kViridis.size() - 2.0));
    const double f = scaled - static_cast<double>(low);
    const auto channel = [&](int c) {
        return static_cast<unsigned char>(
            std::lround(kViridis[low][c] + f * (kViridis[low + 1][c] - kViridis[low][c])));
    };
    return {channel(0), channel(1), channel(2)};
}
