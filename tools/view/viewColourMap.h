#pragma once

#include <array>
#include <string>

// A colour of eight bits per channel.
struct viewColour {
    unsigned char r = 0, g = 0, b = 0;

    // "#rrggbb"
    std::string hex() const;
};

// The viridis colour map, perceptually uniform and readable in grey and by most colour-blind
// readers: dark purple at 0, through blue and green, to yellow at 1. Positions outside [0, 1]
// take the nearer end; NaN takes 0.
viewColour viewViridis(double position);
