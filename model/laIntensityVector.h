#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <type_traits>

#include "kestrel/components/loadcase/lcIntensityRepresentation.h"

// N real components, all zero at first. Values are real: the imaginary part of what is stored is
// dropped. Components past the end read as zero and writes there are ignored, so that values of
// one family but different sizes (a traction and a surface load) combine without straying out of
// the array.
template <class Scalar, std::size_t N>
class laIntensityVector : public lcIntensityRepresentation {
    static_assert(std::is_same_v<Scalar, double>, "Kestrel: intensity vectors hold double components");
    static_assert(N > 0, "Kestrel: an intensity vector needs at least one component");

public:
    std::size_t size() const override { return N; }
    std::complex<double> get_complex(std::size_t i) const override {
        return i < N ? std::complex<double>(m_values[i], 0.0) : std::complex<double>();
    }
    void set_complex(std::size_t i, const std::complex<double>& value) override {
        if (i < N) m_values[i] = value.real();
    }
    bool is_complex() const override { return false; }

private:
    std::array<Scalar, N> m_values{};
};

// Whether a value type holds its components as plain reals, one or three: its arithmetic is then
// that of doubles, one component at a time, and may be done so.
template <class T>
inline constexpr bool laRealComponents =
    std::is_base_of_v<laIntensityVector<double, 1>, T> || std::is_base_of_v<laIntensityVector<double, 3>, T>;
