#pragma once

#include <complex>
#include <cstddef>
#include <stdexcept>
#include <type_traits>

#include "kestrel/components/loadcase/lcIntensityAlgorithms.h"
#include "kestrel/components/loadcase/lcIntensityRepresentation.h"
#include "kestrel/model/lcIntensityOperators.h"

// What the two compound quantities share: two parts whose components follow one another, the
// second part's after the first's. Self provides the parts as composite_part(0) and (1).
template <class Self, class Algorithms>
class laIntensityPair : public lcIntensityRepresentation, public lcIntensityOperators<Self> {
    static_assert(std::is_base_of_v<lcIntensityAlgorithms, Algorithms>,
                  "Kestrel: the family of a compound quantity must be an lcIntensityAlgorithms class");

public:
    using algorithms_type = Algorithms;
    std::size_t size() const override { return first().size() + second().size(); }
    std::complex<double> get_complex(std::size_t i) const override {
        const std::size_t split = first().size();
        return i < split ? first().get_complex(i) : second().get_complex(i - split);
    }
    void set_complex(std::size_t i, const std::complex<double>& value) override {
        const std::size_t split = first().size();
        if (i < split)
            composite_part(0)->set_complex(i, value);
        else
            composite_part(1)->set_complex(i - split, value);
    }
    bool is_complex() const override { return false; }
    std::size_t composite_size() const override { return 2; }

    lcIntensityRepresentation* clone() const override { return new Self(static_cast<const Self&>(*this)); }
    const lcIntensityAlgorithms* algorithm() const override { return Algorithms::instance(); }

protected:
    // Part i of two; the index check every compound needs.
    static lcIntensityRepresentation* pick(std::size_t i, lcIntensityRepresentation* first,
                                           lcIntensityRepresentation* second) {
        if (i > 1) throw std::range_error("Index out of bounds");
        return i == 0 ? first : second;
    }
    static const lcIntensityRepresentation* pick(std::size_t i, const lcIntensityRepresentation* first,
                                                 const lcIntensityRepresentation* second) {
        if (i > 1) throw std::range_error("Index out of bounds");
        return i == 0 ? first : second;
    }

private:
    const lcIntensityRepresentation& first() const { return *composite_part(0); }
    const lcIntensityRepresentation& second() const { return *composite_part(1); }
};
