#pragma once

#include <cstddef>
#include <type_traits>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityVector.h"
#include "kestrel/model/lcIntensityOperators.h"

// What the plain load quantities share: N components of Scalar, the operators, and the family
// Algorithms. Self is the quantity itself.
template <class Self, class Scalar, std::size_t N, class Algorithms>
class laIntensityQuantity : public laIntensityVector<Scalar, N>, public lcIntensityOperators<Self> {
    static_assert(std::is_base_of_v<lcIntensityAlgorithms, Algorithms>,
                  "Kestrel: the family of a load quantity must be an lcIntensityAlgorithms class");

public:
    using algorithms_type = Algorithms;

    lcIntensityRepresentation* clone() const override { return new Self(static_cast<const Self&>(*this)); }
    const lcIntensityAlgorithms* algorithm() const override { return Algorithms::instance(); }
};
