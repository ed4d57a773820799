#pragma once

#include <complex>
#include <string>

class lcIntensityRepresentation;
class lcLoad;

// What a family of load values (pressure, surface load, line load, ...) knows about its values:
// their text, their size as one number, and the factor a load applies to them. One instance per
// family; values name theirs through algorithm(), and equal pointers mean the same family.
class lcIntensityAlgorithms {
public:
    lcIntensityAlgorithms(const lcIntensityAlgorithms&) = delete;
    lcIntensityAlgorithms& operator=(const lcIntensityAlgorithms&) = delete;
    virtual ~lcIntensityAlgorithms() = default;

    // The family's name for messages.
    virtual std::string name() const = 0;
    // Text of the real parts with units: "1000 Pa" for one component, "(1 N, 2 N, 3 N)" for
    // three; a value of several parts joins the texts of its parts with "; ".
    virtual std::string format(const lcIntensityRepresentation& value) const;
    // The complex factor the load applies to its intensities; (1, 0) without a load.
    virtual std::complex<double> getLoadFactor(const lcLoad* load) const;
    // The magnitude of value times factor: the Euclidean length of its complex components.
    virtual double measure(const lcIntensityRepresentation& value, const std::complex<double>& factor = 1.0) const;
    // That length, for values of no family too.
    static double magnitude(const lcIntensityRepresentation& value, const std::complex<double>& factor = 1.0);

protected:
    lcIntensityAlgorithms() = default;
    // One component in the family's unit; a plain number unless a family has a unit.
    virtual std::string formatComponent(double value) const;
};
