#include "tools/view/viewPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "tools/view/viewColourMap.h"
#include "tools/view/viewEvaluation.h"
#include "tools/view/viewSampling.h"

namespace {

// Cells along the longer side of a colour field: fine enough for a smooth picture, few enough
// for a small file.
constexpr int kCells = 120;
// Room left of a field or diagram for the vertical axis.
constexpr double kLeft = 90;
constexpr double kGap = 20;
constexpr double kAxisRoom = 56;
constexpr double kBarWidth = 22;
constexpr double kBarRoom = 150;
const char* const kFont = "font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\"";

// A coordinate in the picture: two decimals at most, no "-0".
std::string px(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

// A number as a reader wants it on an axis or beside an arrow.
std::string shortNumber(double v, int digits = 4) {
    if (std::abs(v) < 1e-12) v = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    return text;
}

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // Control characters are not allowed in XML 1.0 text.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
    }
    return out;
}

std::string vectorText(const std::vector<double>& values, std::size_t from, std::size_t count) {
    std::string text = "(";
    for (std::size_t i = from; i < from + count && i < values.size(); ++i)
        text += (i > from ? ", " : "") + shortNumber(values[i], 6);
    return text + ")";
}

std::string positionText(const pos3d& p) {
    return "(" + shortNumber(p.x, 6) + ", " + shortNumber(p.y, 6) + ", " + shortNumber(p.z, 6) + ")";
}

// Evenly spaced round values that cover [low, high]: steps of 1, 2 or 5 times a power of ten.
std::vector<double> ticks(double low, double high, int count = 6) {
    if (!(high > low) || !std::isfinite(high - low)) return {low};
    const double raw = (high - low) / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    const double step = (norm < 1.5 ? 1 : norm < 3 ? 2 : norm < 7 ? 5 : 10) * magnitude;
    std::vector<double> result;
    const double first = std::ceil(low / step - 1e-9);
    for (int i = 0; i < 100; ++i) {
        const double t = (first + i) * step;
        if (t > high + step * 1e-9) break;
        result.push_back(std::abs(t) < step * 1e-9 ? 0.0 : t);
    }
    return result;
}

// The SVG text, written element by element.
class Svg {
public:
    void text(double x, double y, const std::string& content, const std::string& attributes = {}) {
        m_body << "<text x=\"" << px(x) << "\" y=\"" << px(y) << "\" " << kFont
               << (attributes.empty() ? "" : " " + attributes) << '>' << escape(content) << "</text>\n";
    }
    void line(double x1, double y1, double x2, double y2, const std::string& attributes) {
        m_body << "<line x1=\"" << px(x1) << "\" y1=\"" << px(y1) << "\" x2=\"" << px(x2) << "\" y2=\"" << px(y2)
               << "\" " << attributes << "/>\n";
    }
    void rect(double x, double y, double w, double h, const std::string& attributes) {
        m_body << "<rect x=\"" << px(x) << "\" y=\"" << px(y) << "\" width=\"" << px(w) << "\" height=\"" << px(h)
               << "\" " << attributes << "/>\n";
    }
    // A closed or open path through points.
    static std::string path(const std::vector<std::pair<double, double>>& points, bool closed) {
        std::string d;
        for (std::size_t i = 0; i < points.size(); ++i)
            d += (i ? " L" : "M") + px(points[i].first) + ' ' + px(points[i].second);
        return closed ? d + " Z" : d;
    }
    void raw(const std::string& text) { m_body << text; }

    std::string finish(double width, double height, const std::string& title) const {
        std::ostringstream out;
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << px(width) << "\" height=\""
            << px(height) << "\" viewBox=\"0 0 " << px(width) << ' ' << px(height) << "\">\n"
            << "<title>" << escape(title) << "</title>\n"
            << "<rect x=\"0\" y=\"0\" width=\"" << px(width) << "\" height=\"" << px(height)
            << "\" fill=\"#ffffff\"/>\n"
            << m_body.str() << "</svg>\n";
        return out.str();
    }

private:
    std::ostringstream m_body;
};

// The name, the function's description (a few lines at most) and the footprint's.
double drawTitle(Svg& svg, const hostLoad& load, const viewEvaluator& evaluator, double& width) {
    std::vector<std::string> lines;
    const lcLoad model = load.model();
    std::istringstream description(load.intensity->description(&model));
    for (std::string line; std::getline(description, line) && lines.size() < 6;) {
        if (line.size() > 100) line = line.substr(0, 97) + "...";
        lines.push_back(line);
    }
    if (evaluator.hasLimit()) lines.push_back(evaluator.limitText());
    lines.push_back(load.footprint->description());
    if (lines.back().size() > 100) lines.back() = lines.back().substr(0, 97) + "...";
    svg.text(16, 30, load.name, "font-size=\"20\" font-weight=\"bold\" fill=\"#111111\"");
    double y = 30;
    std::size_t longest = load.name.size() * 2;
    for (const std::string& line : lines) {
        y += 18;
        svg.text(16, y, line, "font-size=\"13\" fill=\"#333333\"");
        longest = std::max(longest, line.size());
    }
    width = std::max(width, 32.0 + 7.5 * static_cast<double>(longest));
    return y + 14;
}

// How an axis of a drawing reads: a global axis by its name and coordinate, any other direction
// as the distance from a named origin.
struct AxisLabel {
    std::string name;
    double offset = 0;
    double sign = 1;

    double value(double distance) const { return offset + sign * distance; }
    double distance(double value) const { return (value - offset) * sign; }
};

AxisLabel axisAlong(const vec3d& direction, const pos3d& origin, const std::string& prefix) {
    static const char* const names[] = {"x", "y", "z"};
    for (int k = 0; k < 3; ++k)
        if (std::abs(direction[k]) > 1.0 - 1e-9) return {std::string(names[k]) + " [m]", origin[k], direction[k]};
    return {prefix + " along " + positionText(pos3d(direction.x, direction.y, direction.z)) + " from " +
                positionText(origin) + " [m]",
            0.0, 1.0};
}

// Ticks of an axis over its coordinates [low, high], at round values of its label.
std::vector<std::pair<double, double>> axisTicks(const AxisLabel& axis, double low, double high) {
    const double a = axis.value(low);
    const double b = axis.value(high);
    std::vector<std::pair<double, double>> result;
    for (double t : ticks(std::min(a, b), std::max(a, b))) result.emplace_back(axis.distance(t), t);
    return result;
}

// A plane part of a footprint drawn as a colour field: a polygon, or a slice of a box.
struct Panel {
    std::string caption;
    double lowA = 0, highA = 0, lowB = 0, highB = 0;
    std::vector<std::pair<double, double>> outline;
    std::function<pos3d(double, double)> toSpace;
    std::function<bool(const pos3d&)> inside;
    AxisLabel axisA, axisB;

    double cell = 1;
    int na = 1, nb = 1;
    // What is shown per cell, row by row from the lowest; NaN where there is no value.
    std::vector<double> values;
    // Placement: the pixel of (lowA, highB), and pixels per metre.
    double x = 0, y = 0, scale = 1;

    double pixelX(double a) const { return x + (a - lowA) * scale; }
    double pixelY(double b) const { return y + (highB - b) * scale; }
};

double shownAt(const viewEvaluator& evaluator, const pos3d& position) {
    const viewEvaluation e = evaluator.at(position);
    const double shown = e.limited ? evaluator.quantity()->shown(*e.limited) : NAN;
    // A value that is not a number, or not finite, cannot take a colour: it is left blank.
    return std::isfinite(shown) ? shown : NAN;
}

// Samples a panel; widens [low, high] by the values on the footprint.
void sample(Panel& panel, const viewEvaluator& evaluator, double& low, double& high, bool& blanks) {
    const double ea = panel.highA - panel.lowA;
    const double eb = panel.highB - panel.lowB;
    panel.cell = std::max(ea, eb) / kCells;
    if (!(panel.cell > 0)) panel.cell = 1;
    panel.na = std::max(1, static_cast<int>(std::ceil(ea / panel.cell - 1e-9)));
    panel.nb = std::max(1, static_cast<int>(std::ceil(eb / panel.cell - 1e-9)));
    panel.values.assign(static_cast<std::size_t>(panel.na) * static_cast<std::size_t>(panel.nb), NAN);
    const auto widen = [&](double v) {
        if (std::isnan(v)) return;
        low = std::min(low, v);
        high = std::max(high, v);
    };
    for (int j = 0; j < panel.nb; ++j)
        for (int i = 0; i < panel.na; ++i) {
            const pos3d p = panel.toSpace(panel.lowA + (i + 0.5) * panel.cell, panel.lowB + (j + 0.5) * panel.cell);
            const double v = shownAt(evaluator, p);
            panel.values[static_cast<std::size_t>(j) * panel.na + i] = v;
            if (panel.inside(p)) {
                widen(v);
                blanks = blanks || std::isnan(v);
            }
        }
    for (const auto& [a, b] : panel.outline) widen(shownAt(evaluator, panel.toSpace(a, b)));
}

void drawAxes(Svg& svg, const Panel& panel) {
    const double bottom = panel.pixelY(panel.lowB) + 6;
    const double left = panel.pixelX(panel.lowA) - 6;
    const std::string stroke = "stroke=\"#222222\" stroke-width=\"1\"";
    svg.line(panel.pixelX(panel.lowA), bottom, panel.pixelX(panel.highA), bottom, stroke);
    for (const auto& [a, value] : axisTicks(panel.axisA, panel.lowA, panel.highA)) {
        const double x = panel.pixelX(a);
        svg.line(x, bottom, x, bottom + 5, stroke);
        svg.text(x, bottom + 18, shortNumber(value, 6), "font-size=\"11\" text-anchor=\"middle\" fill=\"#222222\"");
    }
    svg.text((panel.pixelX(panel.lowA) + panel.pixelX(panel.highA)) / 2, bottom + 36, panel.axisA.name,
             "font-size=\"12\" text-anchor=\"middle\" fill=\"#222222\"");
    svg.line(left, panel.pixelY(panel.lowB), left, panel.pixelY(panel.highB), stroke);
    for (const auto& [b, value] : axisTicks(panel.axisB, panel.lowB, panel.highB)) {
        const double y = panel.pixelY(b);
        svg.line(left - 5, y, left, y, stroke);
        svg.text(left - 8, y + 4, shortNumber(value, 6), "font-size=\"11\" text-anchor=\"end\" fill=\"#222222\"");
    }
    const double middle = (panel.pixelY(panel.lowB) + panel.pixelY(panel.highB)) / 2;
    svg.text(left - 52, middle, panel.axisB.name,
             "font-size=\"12\" text-anchor=\"middle\" fill=\"#222222\" transform=\"rotate(-90 " + px(left - 52) + ' ' +
                 px(middle) + ")\"");
}

void drawPanel(Svg& svg, const Panel& panel, int id, double low, double high) {
    std::vector<std::pair<double, double>> outline;
    for (const auto& [a, b] : panel.outline) outline.emplace_back(panel.pixelX(a), panel.pixelY(b));
    const std::string clip = "footprint" + std::to_string(id);
    svg.raw("<clipPath id=\"" + clip + "\"><path d=\"" + Svg::path(outline, true) + "\"/></clipPath>\n");
    svg.raw("<g clip-path=\"url(#" + clip + ")\" shape-rendering=\"crispEdges\">\n");
    const double size = panel.cell * panel.scale;
    // Runs of one colour in a row become one rectangle, and all rectangles of one colour one
    // path, which keeps the file small. Colours come in 128 steps, finer than the eye parts.
    std::map<std::string, std::string> shapes;
    for (int j = 0; j < panel.nb; ++j) {
        const double top = panel.pixelY(panel.lowB + (j + 1) * panel.cell);
        int start = 0;
        std::string runColour;
        for (int i = 0; i <= panel.na; ++i) {
            std::string colour;
            if (i < panel.na) {
                const double v = panel.values[static_cast<std::size_t>(j) * panel.na + i];
                if (!std::isnan(v)) colour = viewViridis(std::round((v - low) / (high - low) * 127) / 127).hex();
            }
            if (i < panel.na && colour == runColour) continue;
            if (!runColour.empty())
                // A little overlap, so that no seam of background shows between neighbours.
                shapes[runColour] += "M" + px(panel.pixelX(panel.lowA + start * panel.cell)) + ' ' + px(top) + "h" +
                                     px((i - start) * size + 0.6) + "v" + px(size + 0.6) + "h" +
                                     px(-((i - start) * size + 0.6)) + "z";
            start = i;
            runColour = colour;
        }
    }
    for (const auto& [colour, d] : shapes) svg.raw("<path fill=\"" + colour + "\" d=\"" + d + "\"/>\n");
    svg.raw("</g>\n");
    svg.raw("<path d=\"" + Svg::path(outline, true) + "\" fill=\"none\" stroke=\"#111111\" stroke-width=\"1.5\"/>\n");
    if (!panel.caption.empty())
        svg.text(panel.pixelX(panel.lowA), panel.pixelY(panel.highB) - 8, panel.caption,
                 "font-size=\"12\" fill=\"#222222\"");
    drawAxes(svg, panel);
}

std::string shownLabel(const viewEvaluator& evaluator) {
    const viewQuantity& q = *evaluator.quantity();
    return (evaluator.hasLimit() ? "limited " : "") + q.shownName + " [" + q.shownUnit() + "]";
}

void drawColourBar(Svg& svg, viewPicture& picture, double x, double y, double height, const std::string& label) {
    svg.raw("<linearGradient id=\"colourmap\" x1=\"0\" y1=\"1\" x2=\"0\" y2=\"0\">\n");
    for (int i = 0; i <= 20; ++i)
        svg.raw("<stop offset=\"" + px(i / 20.0) + "\" stop-color=\"" + viewViridis(i / 20.0).hex() + "\"/>\n");
    svg.raw("</linearGradient>\n");
    svg.text(x - 4, y - 12, label, "font-size=\"12\" fill=\"#222222\"");
    svg.rect(x, y, kBarWidth, height, "fill=\"url(#colourmap)\" stroke=\"#222222\" stroke-width=\"1\"");
    for (double t : ticks(picture.low, picture.high)) {
        const double ty = y + height * (1.0 - (t - picture.low) / (picture.high - picture.low));
        svg.line(x + kBarWidth, ty, x + kBarWidth + 5, ty, "stroke=\"#222222\" stroke-width=\"1\"");
        svg.text(x + kBarWidth + 8, ty + 4, shortNumber(t, 6), "font-size=\"11\" fill=\"#222222\"");
    }
    picture.colourBar = viewPicture::Area{x, y, kBarWidth, height};
}

// Colour fields: one panel for a polygon, several slices for a box, all on one colour scale.
void drawField(Svg& svg, std::vector<Panel>& panels, const viewEvaluator& evaluator, double top, double& width,
               double& height, viewPicture& picture) {
    double low = INFINITY, high = -INFINITY;
    bool blanks = false;
    for (Panel& panel : panels) sample(panel, evaluator, low, high, blanks);
    const bool hasValues = low <= high;
    const bool constant = hasValues && !(high - low > 1e-12 * std::max(1.0, std::abs(high)));
    const double only = high;
    if (constant) {
        // One value everywhere: the middle of the map, with room above and below.
        const double pad = std::max(std::abs(high) * 0.1, 1.0);
        low -= pad;
        high += pad;
    }
    picture.low = low;
    picture.high = high;

    const std::size_t columns = panels.size() > 1 ? 2 : 1;
    const double maxWidth = panels.size() > 1 ? 300 : 560;
    const double maxHeight = panels.size() > 1 ? 230 : 420;
    double scale = INFINITY;
    for (const Panel& p : panels) {
        if (p.highA > p.lowA) scale = std::min(scale, maxWidth / (p.highA - p.lowA));
        if (p.highB > p.lowB) scale = std::min(scale, maxHeight / (p.highB - p.lowB));
    }
    if (!std::isfinite(scale)) scale = 1;
    const double cellWidth = kLeft + maxWidth + kGap;
    const double captionRoom = panels.size() > 1 ? 24 : 8;
    double bottom = top;
    for (std::size_t k = 0; k < panels.size(); ++k) {
        Panel& p = panels[k];
        p.scale = scale;
        p.x = kLeft + static_cast<double>(k % columns) * cellWidth;
        p.y = top + captionRoom + static_cast<double>(k / columns) * (maxHeight + captionRoom + kAxisRoom);
        // Without values the panels still show the footprint and its axes.
        drawPanel(svg, p, static_cast<int>(k), hasValues ? low : 0.0, hasValues ? high : 1.0);
        bottom = std::max(bottom, p.pixelY(p.lowB) + kAxisRoom);
    }
    double right = 0;
    for (const Panel& p : panels) right = std::max(right, p.pixelX(p.highA) + 30);
    const double fieldTop = panels.front().y;
    const double fieldHeight = std::max(160.0, bottom - kAxisRoom - fieldTop);
    if (hasValues) {
        drawColourBar(svg, picture, right + 10, fieldTop + 16, fieldHeight - 16, shownLabel(evaluator));
        if (blanks) svg.text(right - 10, bottom - 4, "blank: no value", "font-size=\"11\" fill=\"#555555\"");
        if (constant) {
            svg.text(right + 6, fieldTop + fieldHeight + 18,
                     "one value everywhere:", "font-size=\"11\" fill=\"#222222\"");
            svg.text(right + 6, fieldTop + fieldHeight + 32,
                     shortNumber(only, 6) + " " + evaluator.quantity()->shownUnit(),
                     "font-size=\"11\" fill=\"#222222\"");
        }
    } else {
        svg.text(kLeft, bottom + 8, "No value can be given over this footprint.", "font-size=\"13\" fill=\"#8b0000\"");
        bottom += 16;
    }
    width = std::max(width, right + kBarRoom);
    height = bottom + 12;
    // The first panel's own coordinates are found by projecting onto its two directions. The
    // copy keeps only its placement: its functions may refer to the load.
    Panel first = panels.front();
    const pos3d origin = first.toSpace(0, 0);
    const vec3d da = first.toSpace(1, 0) - origin;
    const vec3d db = first.toSpace(0, 1) - origin;
    first.toSpace = nullptr;
    first.inside = nullptr;
    first.values.clear();
    first.outline.clear();
    picture.locate = [first, origin, da, db](const pos3d& position, double& x, double& y) {
        const double a = dot(position - origin, da);
        const double b = dot(position - origin, db);
        x = first.pixelX(a);
        y = first.pixelY(b);
        return a >= first.lowA - 1e-9 && a <= first.highA + 1e-9 && b >= first.lowB - 1e-9 && b <= first.highB + 1e-9;
    };
}

bool polygonPanels(const laFootprintPolygon& polygon, std::vector<Panel>& panels, std::string& error) {
    viewPlane plane;
    if (!viewPlaneOf(polygon, plane)) {
        error = "the polygon has no plane: its corners lie on one line";
        return false;
    }
    Panel panel;
    panel.lowA = panel.lowB = INFINITY;
    panel.highA = panel.highB = -INFINITY;
    for (const pos3d& c : polygon.geometry().corners()) {
        const double a = plane.a(c), b = plane.b(c);
        panel.outline.emplace_back(a, b);
        panel.lowA = std::min(panel.lowA, a);
        panel.highA = std::max(panel.highA, a);
        panel.lowB = std::min(panel.lowB, b);
        panel.highB = std::max(panel.highB, b);
    }
    panel.toSpace = [plane](double a, double b) { return plane.at(a, b); };
    panel.inside = [&polygon](const pos3d& p) { return polygon.within(p); };
    // The axes' zero is the first corner; a global axis reads as its global coordinate.
    panel.axisA = axisAlong(plane.u, plane.origin, "distance");
    panel.axisB = axisAlong(plane.v, plane.origin, "distance");
    panels.push_back(std::move(panel));
    return true;
}

void boxPanels(const laFootprintBox& box, std::vector<Panel>& panels) {
    const oriented_bbox3d& g = box.orientedBounding();
    const locsys3d system = g.locsys();
    double low[3], high[3];
    for (int k = 0; k < 3; ++k) {
        low[k] = std::min(g.p1()[k], g.p2()[k]);
        high[k] = std::max(g.p1()[k], g.p2()[k]);
    }
    const int slices = high[2] - low[2] > mfSpaceBase::m_accuracy ? 4 : 1;
    for (int s = 0; s < slices; ++s) {
        const double z = slices == 1 ? low[2] : low[2] + (high[2] - low[2]) * s / (slices - 1);
        Panel panel;
        panel.caption = "slice at local z = " + shortNumber(z, 6) + " m";
        panel.lowA = low[0];
        panel.highA = high[0];
        panel.lowB = low[1];
        panel.highB = high[1];
        panel.outline = {{low[0], low[1]}, {high[0], low[1]}, {high[0], high[1]}, {low[0], high[1]}};
        panel.toSpace = [system, z](double a, double b) { return system.toGlobal({a, b, z}); };
        panel.inside = [](const pos3d&) { return true; };
        panel.axisA = {
            "local x [m], along " + positionText(pos3d(system.unitX().x, system.unitX().y, system.unitX().z)), 0, 1};
        panel.axisB = {"local y [m]", 0, 1};
        panels.push_back(std::move(panel));
    }
}

// A line load: the value of each component along the line, the line itself as the base.
void drawLine(Svg& svg, const laFootprintLine& line, const viewEvaluator& evaluator, double top, double& width,
              double& height, viewPicture& picture) {
    const viewQuantity& q = *evaluator.quantity();
    const line3d& g = line.geometry();
    const double length = line.length();
    constexpr int samples = 240;
    std::vector<std::optional<std::vector<double>>> values;
    double low = 0, high = 0;
    std::vector<bool> drawn(q.components.size(), false);
    for (int i = 0; i <= samples; ++i) {
        const viewEvaluation e = evaluator.at(g.position(static_cast<double>(i) / samples));
        values.push_back(e.limited);
        if (!e.limited) continue;
        for (std::size_t c = 0; c < e.limited->size() && c < drawn.size(); ++c) {
            const double v = (*e.limited)[c];
            if (!std::isfinite(v)) continue;
            low = std::min(low, v);
            high = std::max(high, v);
            if (v != 0.0) drawn[c] = true;
        }
    }
    const bool hasValues = std::any_of(values.begin(), values.end(), [](const auto& v) { return v.has_value(); });
    if (hasValues && std::none_of(drawn.begin(), drawn.end(), [](bool d) { return d; })) drawn[0] = true;
    if (!(high > low)) {
        low -= 1;
        high += 1;
    }
    const std::vector<double> valueTicks = ticks(low, high);
    low = std::min(low, valueTicks.front());
    high = std::max(high, valueTicks.back());

    const double plotWidth = 600, plotHeight = 300;
    const double left = kLeft, plotTop = top + 10;
    const double scale = length > 0 ? plotWidth / length : 1.0;
    const auto X = [=](double s) { return left + s * scale; };
    const auto Y = [=](double v) { return plotTop + (high - v) / (high - low) * plotHeight; };
    const std::string stroke = "stroke=\"#222222\" stroke-width=\"1\"";

    // The load: a filled diagram per component, over the line at zero.
    static const double shades[] = {0.15, 0.55, 0.85, 0.3, 0.7, 0.95};
    double legendY = plotTop + 10;
    for (std::size_t c = 0; c < drawn.size(); ++c) {
        if (!drawn[c]) continue;
        const std::string colour = viewViridis(shades[c % 6]).hex();
        std::vector<std::pair<double, double>> run;
        const auto flush = [&] {
            if (run.size() < 2) {
                run.clear();
                return;
            }
            std::vector<std::pair<double, double>> area = run;
            area.emplace_back(run.back().first, Y(0));
            area.emplace_back(run.front().first, Y(0));
            svg.raw("<path d=\"" + Svg::path(area, true) + "\" fill=\"" + colour +
                    "\" fill-opacity=\"0.35\" stroke=\"none\"/>\n");
            svg.raw("<path d=\"" + Svg::path(run, false) + "\" fill=\"none\" stroke=\"" + colour +
                    "\" stroke-width=\"2\"/>\n");
            run.clear();
        };
        for (int i = 0; i <= samples; ++i) {
            const auto& v = values[static_cast<std::size_t>(i)];
            if (!v || !std::isfinite((*v)[c])) {
                flush();
                continue;
            }
            run.emplace_back(X(length * i / samples), Y((*v)[c]));
        }
        flush();
        // The values at the ends, where engineers read them.
        for (int end : {0, samples}) {
            const auto& v = values[static_cast<std::size_t>(end)];
            if (!v || !std::isfinite((*v)[c])) continue;
            svg.text(X(length * end / samples) + (end ? -4 : 4), Y((*v)[c]) + ((*v)[c] < 0 ? 16 : -6),
                     shortNumber((*v)[c], 6),
                     "font-size=\"11\" fill=\"#222222\" text-anchor=\"" + std::string(end ? "end" : "start") + "\"");
        }
        svg.rect(left + plotWidth + 20, legendY - 9, 12, 12, "fill=\"" + colour + "\"");
        svg.text(left + plotWidth + 38, legendY + 1, q.components[c] + " [" + q.units[c] + "]",
                 "font-size=\"12\" fill=\"#222222\"");
        legendY += 18;
    }
    // The footprint: the line itself, at zero.
    svg.line(X(0), Y(0), X(length), Y(0), "stroke=\"#111111\" stroke-width=\"3\"");
    // Axes.
    const double bottom = plotTop + plotHeight + 6;
    svg.line(X(0), bottom, X(length), bottom, stroke);
    for (double t : ticks(0, length)) {
        svg.line(X(t), bottom, X(t), bottom + 5, stroke);
        svg.text(X(t), bottom + 18, shortNumber(t), "font-size=\"11\" text-anchor=\"middle\" fill=\"#222222\"");
    }
    svg.text(X(length / 2), bottom + 36,
             "distance along the line from " + positionText(g.end1()) + " to " + positionText(g.end2()) + " [m]",
             "font-size=\"12\" text-anchor=\"middle\" fill=\"#222222\"");
    svg.line(left - 6, Y(low), left - 6, Y(high), stroke);
    for (double t : valueTicks) {
        svg.line(left - 11, Y(t), left - 6, Y(t), stroke);
        svg.text(left - 14, Y(t) + 4, shortNumber(t, 6), "font-size=\"11\" text-anchor=\"end\" fill=\"#222222\"");
    }
    const double middle = plotTop + plotHeight / 2;
    const std::string unit = q.unit();
    svg.text(left - 62, middle, (evaluator.hasLimit() ? "limited " : "") + q.name + " [" + unit + "]",
             "font-size=\"12\" text-anchor=\"middle\" fill=\"#222222\" transform=\"rotate(-90 " + px(left - 62) + ' ' +
                 px(middle) + ")\"");
    height = bottom + 50;
    if (!hasValues) {
        svg.text(left, height, "No value can be given along this line.", "font-size=\"13\" fill=\"#8b0000\"");
        height += 16;
    }
    width = std::max(width, left + plotWidth + 160);
    picture.low = low;
    picture.high = high;
    picture.locate = [g, length, X, Y](const pos3d& position, double& x, double& y) {
        double foot = 0.0;
        pos3d closest;
        double t = 0.0;
        if (!g.project(position, closest, foot, t)) return false;
        x = X(t * length);
        y = Y(0);
        return t >= -1e-9 && t <= 1 + 1e-9;
    };
}

// A point load: an arrow onto the point along the first part of the value, seen in the global
// plane that shows it best, and the value in numbers.
void drawPoint(Svg& svg, const laFootprintPoint& point, const viewEvaluator& evaluator, double top, double& width,
               double& height, viewPicture& picture) {
    const viewQuantity& q = *evaluator.quantity();
    const viewEvaluation e = evaluator.at(point.position());
    const double cx = 300, cy = top + 170;
    const std::string stroke = "stroke=\"#222222\" stroke-width=\"1\"";
    // The view: x to the right and z up, unless the vector lies along y.
    int across = 0;
    const char* names[] = {"x", "y", "z"};
    double textY = top + 10;
    if (e.limited && q.components.size() >= 3) {
        const std::vector<double>& v = *e.limited;
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length > 0 && std::hypot(v[0], v[2]) < 1e-9 * length) across = 1;
        const double h = across == 0 ? v[0] : v[1];
        const double up = v[2];
        const double shown = std::hypot(h, up);
        if (shown > 0) {
            const double dx = h / shown, dy = -up / shown;
            const double tailX = cx - dx * 130, tailY = cy - dy * 130;
            const std::string colour = viewViridis(0.15).hex();
            svg.line(tailX, tailY, cx - dx * 12, cy - dy * 12,
                     "stroke=\"" + colour + "\" stroke-width=\"4\" stroke-linecap=\"round\"");
            // The head: a triangle with its tip on the point.
            const double nx = -dy, ny = dx;
            std::vector<std::pair<double, double>> head{{cx, cy},
                                                        {cx - dx * 22 + nx * 9, cy - dy * 22 + ny * 9},
                                                        {cx - dx * 22 - nx * 9, cy - dy * 22 - ny * 9}};
            svg.raw("<path d=\"" + Svg::path(head, true) + "\" fill=\"" + colour + "\"/>\n");
            svg.text(tailX + (dx > 0 ? -6 : 6), tailY + (dy > 0 ? -8 : 18),
                     shortNumber(q.shown(v), 6) + " " + q.shownUnit(),
                     "font-size=\"13\" font-weight=\"bold\" fill=\"#222222\" text-anchor=\"" +
                         std::string(dx > 0 ? "end" : "start") + "\"");
        } else if (length > 0) {
            svg.text(cx + 14, cy - 14, "along the view", "font-size=\"11\" fill=\"#555555\"");
        }
    }
    svg.raw("<circle cx=\"" + px(cx) + "\" cy=\"" + px(cy) + "\" r=\"5\" fill=\"#111111\"/>\n");
    svg.text(cx + 12, cy + 20, "at " + positionText(point.position()) + " m", "font-size=\"12\" fill=\"#222222\"");
    // The value in numbers, part by part.
    if (!e.limited) {
        svg.text(16, textY + 14, "No value can be given at this point.", "font-size=\"13\" fill=\"#8b0000\"");
    } else {
        const std::vector<double>& v = *e.limited;
        for (std::size_t first = 0; first < v.size(); first += q.firstPart) {
            std::string label;
            const std::size_t count = std::min(q.firstPart, v.size() - first);
            for (std::size_t i = first; i < first + count; ++i) label += (i > first ? ", " : "") + q.components[i];
            const std::string text = count == 1
                                         ? label + " = " + shortNumber(v[first], 6) + " " + q.units[first]
                                         : "(" + label + ") = " + vectorText(v, first, count) + " " + q.units[first];
            svg.text(16, textY + 14, (evaluator.hasLimit() ? "limited " : "") + text,
                     "font-size=\"13\" fill=\"#222222\"");
            textY += 18;
        }
    }
    // Which way the view looks.
    const double ax = 40, ay = top + 300;
    svg.line(ax, ay, ax + 40, ay, stroke);
    svg.line(ax, ay, ax, ay - 40, stroke);
    svg.text(ax + 44, ay + 4, std::string(names[across]) + " [m]", "font-size=\"11\" fill=\"#222222\"");
    svg.text(ax - 4, ay - 46, "z [m]", "font-size=\"11\" fill=\"#222222\"");
    width = std::max(width, 620.0);
    height = ay + 24;
    const pos3d at = point.position();
    picture.locate = [at, cx, cy](const pos3d& position, double& x, double& y) {
        x = cx;
        y = cy;
        return (position - at).length() <= mfSpaceBase::m_accuracy;
    };
}

}  // namespace

bool viewPlot(const hostLoad& load, viewPicture& picture, std::string& error) {
    picture = viewPicture();
    if (!load.footprint) {
        error = "load \"" + load.name + "\" has no footprint to draw over";
        return false;
    }
    if (!load.intensity) {
        error = "load \"" + load.name + "\" has no intensity function";
        return false;
    }
    const viewEvaluator evaluator(load);
    if (!evaluator.quantity()) {
        error = "load \"" + load.name + "\" has values of a kind that cannot be drawn";
        return false;
    }
    Svg svg;
    double width = 0, height = 0;
    const double top = drawTitle(svg, load, evaluator, width) + kGap;
    picture.title = {0, 0, width, top - kGap};
    std::vector<Panel> panels;
    if (auto* polygon = dynamic_cast<const laFootprintPolygon*>(load.footprint.get())) {
        if (!polygonPanels(*polygon, panels, error)) return false;
    } else if (auto* box = dynamic_cast<const laFootprintBox*>(load.footprint.get())) {
        boxPanels(*box, panels);
    } else if (auto* line = dynamic_cast<const laFootprintLine*>(load.footprint.get())) {
        drawLine(svg, *line, evaluator, top, width, height, picture);
    } else if (auto* point = dynamic_cast<const laFootprintPoint*>(load.footprint.get())) {
        drawPoint(svg, *point, evaluator, top, width, height, picture);
    } else {
        error = "load \"" + load.name + "\" has a footprint of a kind that cannot be drawn";
        return false;
    }
    if (!panels.empty()) drawField(svg, panels, evaluator, top, width, height, picture);
    picture.width = std::ceil(width);
    picture.height = std::ceil(height);
    picture.title.width = picture.width;
    picture.svg = svg.finish(picture.width, picture.height, load.name);
    return true;
}
