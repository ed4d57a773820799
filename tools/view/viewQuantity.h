#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class lcIntensityFunction;

// What the components of an intensity function's values measure, with the SI symbols the
// documents write them in.
struct viewQuantity {
    // "pressure", "force per area", "force and moment", ...
    std::string name;
    // One name per component: "pressure"; "fx", "fy", "fz"; "fx" ... "mz".
    std::vector<std::string> components;
    // One SI symbol per component.
    std::vector<std::string> units;
    // Components of the first part: all of them for a plain value, 3 for a force and moment or a
    // displacement, whose first part (force, translation) is what a picture shows.
    std::size_t firstPart = 1;
    // The name of what a picture shows: the value itself for one component, the magnitude of
    // the first part otherwise.
    std::string shownName;

    // The unit shared by all components; for values of two parts, the parts' units in order
    // joined by ", " ("N, N.m").
    std::string unit() const;
    // The unit of what a picture shows.
    const std::string& shownUnit() const { return units.front(); }
    // What a picture shows of `components`: the value itself when there is one component,
    // otherwise the length of the first part.
    double shown(const std::vector<double>& components) const;
};

// The quantity of a function's values; empty for a value type no element knows.
std::optional<viewQuantity> viewQuantityOf(const lcIntensityFunction& function);
