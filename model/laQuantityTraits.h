#pragma once

#include <array>
#include <cstddef>

#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/model/laQuantities.h"

// Where a quantity acts, which decides the kinds of intensity function that take it.
enum class laActsOn { surface, line, point };

// What each quantity of kestrelQuantities measures: the one list that names the quantities and
// their components and units for the command's views, the script kinds and the Python module.
// A unit is that of its quantity class, so the symbols are those documents write.
template <class T>
struct laQuantityTraits {
    static_assert(sizeof(T) == 0,
                  "Kestrel: laQuantityTraits has no entry for this type; add one to laQuantityTraits.h");
};

// The entries share one shape: `name` for programs, `title` for people, one component name and
// one unit per component, and `firstPart`, the components of the first part of a value of two
// parts (force and moment), all of them otherwise, with `firstTitle` naming that part.
template <std::size_t N>
struct laQuantityEntry {
    using Unit = const jsUnitDescriptor& (*)();
    const char* name;
    const char* title;
    std::array<const char*, N> components;
    std::array<Unit, N> units;
    std::size_t firstPart;
    const char* firstTitle;
    laActsOn actsOn;
};

template <>
struct laQuantityTraits<laPressure<double>> {
    static constexpr laQuantityEntry<1> entry{"pressure", "pressure", {"pressure"},     {&jsPressure::descriptor},
                                              1,          "pressure", laActsOn::surface};
};
template <>
struct laQuantityTraits<laForcePerArea<double>> {
    static constexpr laQuantityEntry<3> entry{
        "force_per_area",
        "force per area",
        {"fx", "fy", "fz"},
        {&jsForcePerUnitArea::descriptor, &jsForcePerUnitArea::descriptor, &jsForcePerUnitArea::descriptor},
        3,
        "force per area",
        laActsOn::surface};
};
template <>
struct laQuantityTraits<laTraction<double>> {
    static constexpr laQuantityEntry<1> entry{"traction", "traction", {"traction"},     {&jsPressure::descriptor},
                                              1,          "traction", laActsOn::surface};
};
template <>
struct laQuantityTraits<laForcePerLength<double>> {
    static constexpr laQuantityEntry<3> entry{
        "force_per_length",
        "force per length",
        {"fx", "fy", "fz"},
        {&jsForcePerUnitLength::descriptor, &jsForcePerUnitLength::descriptor, &jsForcePerUnitLength::descriptor},
        3,
        "force per length",
        laActsOn::line};
};
template <>
struct laQuantityTraits<laTemperature<double>> {
    static constexpr laQuantityEntry<1> entry{
        "temperature", "temperature", {"temperature"}, {&jsTemperatureDifference::descriptor}, 1,
        "temperature", laActsOn::line};
};
template <>
struct laQuantityTraits<laForceMoment<double>> {
    static constexpr laQuantityEntry<6> entry{
        "force_moment",
        "force and moment",
        {"fx", "fy", "fz", "mx", "my", "mz"},
        {&jsForce::descriptor, &jsForce::descriptor, &jsForce::descriptor, &jsMomentOfForce::descriptor,
         &jsMomentOfForce::descriptor, &jsMomentOfForce::descriptor},
        3,
        "force",
        laActsOn::point};
};
template <>
struct laQuantityTraits<laDisplacement<double>> {
    static constexpr laQuantityEntry<6> entry{"displacement",
                                              "displacement",
                                              {"dx", "dy", "dz", "rx", "ry", "rz"},
                                              {&jsLength::descriptor, &jsLength::descriptor, &jsLength::descriptor,
                                               &jsAngle::descriptor, &jsAngle::descriptor, &jsAngle::descriptor},
                                              3,
                                              "translation",
                                              laActsOn::point};
};

// The quantities whose functions act on surfaces and along lines: the script kinds take these.
template <class T>
concept laSurfaceQuantity = laQuantityTraits<T>::entry.actsOn == laActsOn::surface;
template <class T>
concept laLineQuantity = laQuantityTraits<T>::entry.actsOn == laActsOn::line;
