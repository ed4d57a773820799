#include "tools/view/viewSampling.h"

#include <algorithm>
#include <cmath>

#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"

namespace {
// Grid points along an extent: both ends included when the step divides it, so that a 12 m
// edge sampled every metre gives 13 positions and not 12 by rounding.
double pointsAlong(double extent, double step) {
    return std::floor(extent / step + mfSpaceBase::m_accuracy / step) + 1.0;
}

bool notFinite(std::string& error) {
    error = "the footprint has coordinates that are not finite numbers";
    return false;
}

std::string tooMany(double count, double step, std::size_t limit, double measure, int dimensions) {
    // The step that would bring the count down to the limit, rounded up a little.
    const double smallest = measure > 0.0 ? std::pow(measure / static_cast<double>(limit), 1.0 / dimensions) : step;
    return "a step of " + mfTextFormatter::format_impl(step) + " m would make about " +
           mfTextFormatter::format_impl(std::round(count)) + " positions; at most " + std::to_string(limit) +
           " are made: choose a step of at least " + mfTextFormatter::format_impl(std::ceil(smallest * 1.1e3) / 1e3) +
           " m";
}
}  // namespace

bool viewPlaneOf(const laFootprintPolygon& polygon, viewPlane& plane) {
    const auto& corners = polygon.geometry().corners();
    vec3d n;
    if (corners.empty() || !polygon.normal(corners.front(), n)) return false;
    plane.origin = corners.front();
    plane.normal = n;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const vec3d edge = corners[(i + 1) % corners.size()] - corners[i];
        const vec3d inPlane = edge - n * dot(edge, n);
        if (inPlane.length() > mfSpaceBase::m_accuracy) {
            plane.u = inPlane * (1.0 / inPlane.length());
            plane.v = cross(n, plane.u);
            return true;
        }
    }
    return false;
}

bool viewSamplePositions(const lcFootprint& footprint, double step, std::vector<pos3d>& positions, std::string& error,
                         std::size_t limit) {
    positions.clear();
    if (!(step > mfSpaceBase::m_accuracy) || !std::isfinite(step)) {
        error = "the step must be a length above " + mfTextFormatter::format_impl(mfSpaceBase::m_accuracy) + " m";
        return false;
    }
    const double cap = static_cast<double>(limit);
    if (auto* point = dynamic_cast<const laFootprintPoint*>(&footprint)) {
        positions.push_back(point->position());
        return true;
    }
    if (auto* line = dynamic_cast<const laFootprintLine*>(&footprint)) {
        const double length = line->length();
        const double count = pointsAlong(length, step) + 1.0;
        if (!std::isfinite(count)) return notFinite(error);
        if (count > cap) {
            error = tooMany(count, step, limit, length, 1);
            return false;
        }
        const line3d& geometry = line->geometry();
        const auto n = static_cast<std::size_t>(count) - 1;
        for (std::size_t i = 0; i < n; ++i) {
            const double s = static_cast<double>(i) * step;
            positions.push_back(length > 0.0 ? geometry.position(std::min(s / length, 1.0)) : geometry.end1());
        }
        if ((positions.back() - geometry.end2()).length() > mfSpaceBase::m_accuracy)
            positions.push_back(geometry.end2());
        return true;
    }
    if (auto* polygon = dynamic_cast<const laFootprintPolygon*>(&footprint)) {
        viewPlane plane;
        if (!viewPlaneOf(*polygon, plane)) {
            error = "the polygon has no plane: its corners lie on one line";
            return false;
        }
        double lowA = INFINITY, highA = -INFINITY, lowB = INFINITY, highB = -INFINITY;
        for (const pos3d& c : polygon->geometry().corners()) {
            lowA = std::min(lowA, plane.a(c));
            highA = std::max(highA, plane.a(c));
            lowB = std::min(lowB, plane.b(c));
            highB = std::max(highB, plane.b(c));
        }
        const double na = pointsAlong(highA - lowA, step);
        const double nb = pointsAlong(highB - lowB, step);
        if (!std::isfinite(na * nb)) return notFinite(error);
        if (na * nb > cap) {
            error = tooMany(na * nb, step, limit, (highA - lowA) * (highB - lowB), 2);
            return false;
        }
        for (std::size_t j = 0; j < static_cast<std::size_t>(nb); ++j)
            for (std::size_t i = 0; i < static_cast<std::size_t>(na); ++i) {
                const pos3d p = plane.at(lowA + static_cast<double>(i) * step, lowB + static_cast<double>(j) * step);
                if (polygon->within(p)) positions.push_back(p);
            }
        return true;
    }
    if (auto* box = dynamic_cast<const laFootprintBox*>(&footprint)) {
        const oriented_bbox3d& geometry = box->orientedBounding();
        double low[3], n[3];
        for (int k = 0; k < 3; ++k) {
            low[k] = std::min(geometry.p1()[k], geometry.p2()[k]);
            n[k] = pointsAlong(std::abs(geometry.p2()[k] - geometry.p1()[k]), step);
        }
        if (!std::isfinite(n[0] * n[1] * n[2])) return notFinite(error);
        if (n[0] * n[1] * n[2] > cap) {
            // A flat box is sampled over its faces: only the sides with extent count.
            double measure = 1.0;
            int dimensions = 0;
            for (int k = 0; k < 3; ++k) {
                const double extent = std::abs(geometry.p2()[k] - geometry.p1()[k]);
                if (extent > mfSpaceBase::m_accuracy) {
                    measure *= extent;
                    ++dimensions;
                }
            }
            error = tooMany(n[0] * n[1] * n[2], step, limit, measure, dimensions);
            return false;
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(n[2]); ++k)
            for (std::size_t j = 0; j < static_cast<std::size_t>(n[1]); ++j)
                for (std::size_t i = 0; i < static_cast<std::size_t>(n[0]); ++i)
                    positions.push_back(geometry.locsys().toGlobal({low[0] + static_cast<double>(i) * step,
                                                                    low[1] + static_cast<double>(j) * step,
                                                                    low[2] + static_cast<double>(k) * step}));
        return true;
    }
    error = "this kind of footprint cannot be sampled";
    return false;
}
