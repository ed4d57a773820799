#pragma once

#include <functional>
#include <optional>
#include <string>

#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/document/kestrelLoad.h"

// A load drawn as SVG, and where its parts lie in the picture (pixels from the top left).
struct viewPicture {
    struct Area {
        double x = 0, y = 0, width = 0, height = 0;
    };

    std::string svg;
    double width = 0, height = 0;
    // The band that holds the title: the load's name and its function's description.
    Area title;
    // The colour bar of a colour field, lowest value at the bottom; empty without a field.
    std::optional<Area> colourBar;
    // The lowest and highest value the colour bar spans.
    double low = 0, high = 0;
    // Where a global position on the footprint is drawn (a box: in its first slice); false for
    // a position the picture does not show.
    std::function<bool(const pos3d&, double& x, double& y)> locate;
};

// Draws a load in its footprint's own plane: a surface load as a colour field of its limited
// value (the magnitude for vectors) with a colour bar; a line load as a load diagram along the
// line; a point load as an arrow with its value; a box as slices along its local z axis. Each
// with the footprint's outline, the load's name and description as title and axes in metres.
// Positions without a value are left blank. False, with `error`, for a load without a
// footprint or an intensity function, or of a kind that cannot be drawn.
bool viewPlot(const hostLoad& load, viewPicture& picture, std::string& error);
