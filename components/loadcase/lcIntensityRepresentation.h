#pragma once

#include <complex>
#include <cstddef>

class lcIntensityAlgorithms;

// Base of every load value: a fixed number of complex components and the algorithms family that
// interprets them. Values made of several quantities (a force and a moment) expose those as
// composite parts; a plain value is its own single part.
class lcIntensityRepresentation {
public:
    lcIntensityRepresentation() = default;
    lcIntensityRepresentation(const lcIntensityRepresentation&) = default;
    lcIntensityRepresentation& operator=(const lcIntensityRepresentation&) = default;
    virtual ~lcIntensityRepresentation() = default;

    virtual std::size_t size() const { return 0; }
    virtual std::complex<double> get_complex(std::size_t i) const;
    virtual double real(std::size_t i) const { return get_complex(i).real(); }
    virtual double imag(std::size_t i) const { return get_complex(i).imag(); }
    virtual void scale(std::size_t i, const std::complex<double>& factor) { set_complex(i, get_complex(i) * factor); }
    virtual void set_complex(std::size_t i, const std::complex<double>& value);
    virtual void set_real(std::size_t i, double value) { set_complex(i, {value, imag(i)}); }
    virtual void set_imag(std::size_t i, double value) { set_complex(i, {real(i), value}); }
    virtual bool is_complex() const { return false; }

    virtual std::size_t composite_size() const { return 1; }
    // Part i below composite_size(); throws std::range_error ("Index out of bounds") else.
    virtual lcIntensityRepresentation* composite_part(std::size_t i);
    virtual const lcIntensityRepresentation* composite_part(std::size_t i) const;
    virtual bool has_composite_algorithm(const lcIntensityAlgorithms* algorithms) const {
        return composite_algorithm(algorithms) != nullptr;
    }
    // The first part interpreted by `algorithms`; null when none is (or `algorithms` is null).
    virtual const lcIntensityRepresentation* composite_algorithm(const lcIntensityAlgorithms* algorithms) const;
    virtual lcIntensityRepresentation* composite_algorithm(const lcIntensityAlgorithms* algorithms);
    // The part of this value that takes values of `other`'s family; null when there is none.
    virtual lcIntensityRepresentation* get_compatible(const lcIntensityRepresentation& other) {
        return composite_algorithm(other.algorithm());
    }

    // A heap copy from the global allocator, owned by the caller.
    virtual lcIntensityRepresentation* clone() const = 0;
    virtual const lcIntensityAlgorithms* algorithm() const = 0;

    // Orders by magnitude: the scalar measure of this value times `factor` against that of
    // `other`, both taken by this value's algorithms (lcIntensityAlgorithms::measure). Negative,
    // zero or positive as this one is smaller, equal or larger; a NaN measure compares equal,
    // since it is no larger than anything.
    int compare(const lcIntensityRepresentation& other, const std::complex<double>& factor) const;
};
