#pragma once

#include <string>
#include <type_traits>

#include "kestrel/components/loadcase/lcIntensityAlgorithms.h"
#include "kestrel/components/units/jsQuantity.h"

// Algorithms of a family whose components are all quantities of class Q.
template <class Q>
class laQuantityAlgorithms : public lcIntensityAlgorithms {
    static_assert(std::is_base_of_v<jsQuantity, Q>, "Kestrel: a family's unit must be a jsQuantity class");

protected:
    std::string formatComponent(double value) const override { return Q(value).format(0, 0, 0, 0); }
};

// The families of the load quantities. Each is a singleton whose instance lives in the
// load-case library, so that every library compares the same pointer.
#define KESTREL_LA_FAMILY(Name, Base)      \
    class Name final : public Base {       \
    public:                                \
        static const Name* instance();     \
        std::string name() const override; \
                                           \
    private:                               \
        Name() = default;                  \
    };

KESTREL_LA_FAMILY(laPressureAlgorithms, laQuantityAlgorithms<jsPressure>)
// Surface loads, and tractions, which are magnitudes of the same kind.
KESTREL_LA_FAMILY(laForcePerAreaAlgorithms, laQuantityAlgorithms<jsForcePerUnitArea>)
KESTREL_LA_FAMILY(laForcePerLengthAlgorithms, laQuantityAlgorithms<jsForcePerUnitLength>)
// Temperature loads are changes of temperature, so kelvin without an offset.
KESTREL_LA_FAMILY(laTemperatureAlgorithms, laQuantityAlgorithms<jsTemperatureDifference>)
KESTREL_LA_FAMILY(laForceAlgorithms, laQuantityAlgorithms<jsForce>)
KESTREL_LA_FAMILY(laMomentAlgorithms, laQuantityAlgorithms<jsMomentOfForce>)
KESTREL_LA_FAMILY(laTranslationAlgorithms, laQuantityAlgorithms<jsLength>)
KESTREL_LA_FAMILY(laRotationAlgorithms, laQuantityAlgorithms<jsAngle>)
// The compounds format through their parts.
KESTREL_LA_FAMILY(laForceMomentAlgorithms, lcIntensityAlgorithms)
KESTREL_LA_FAMILY(laDisplacementAlgorithms, lcIntensityAlgorithms)

#undef KESTREL_LA_FAMILY
