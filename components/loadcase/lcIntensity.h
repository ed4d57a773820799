#pragma once

#include <boost/container/small_vector.hpp>

#include "kestrel/components/loadcase/lcIntensityRepresentation.h"

// The result of evaluating an intensity function: complex components in the family of the
// value they came from. A default-constructed intensity is empty and means that no value can be
// given at the position asked.
class lcIntensity : public lcIntensityRepresentation {
public:
    lcIntensity() = default;
    // `size` zero components of no family.
    explicit lcIntensity(std::size_t size) : m_components(size) {}
    // The components and family of a value.
    explicit lcIntensity(const lcIntensityRepresentation& value);

    bool empty() const { return m_components.empty(); }
    std::size_t size() const override { return m_components.size(); }
    // Both throw std::range_error ("Index out of bounds") for i of size() or more: an intensity
    // is sized by its producer, so a stray index is a caller's fault, not a zero.
    // Inline, since sampling reads and writes components by the million.
    std::complex<double> get_complex(std::size_t i) const override {
        if (i >= m_components.size()) outOfBounds();
        return m_components[i];
    }
    void set_complex(std::size_t i, const std::complex<double>& value) override {
        if (i >= m_components.size()) outOfBounds();
        m_components[i] = value;
    }
    bool is_complex() const override { return true; }
    lcIntensityRepresentation* clone() const override { return new lcIntensity(*this); }
    const lcIntensityAlgorithms* algorithm() const override { return m_algorithms; }

private:
    [[noreturn]] static void outOfBounds();

    // Values have six components at most (a force and a moment): evaluating one allocates nothing.
    boost::container::small_vector<std::complex<double>, 6> m_components;
    const lcIntensityAlgorithms* m_algorithms = nullptr;
};
