#pragma once

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityQuantity.h"

// A rotation by components, in radians; a part of laDisplacement.
template <class T>
class laRotation : public laIntensityQuantity<laRotation<T>, T, 3, laRotationAlgorithms> {
public:
    laRotation() = default;
    laRotation(const double& rx, const double& ry, const double& rz) {
        this->set_complex(0, rx);
        this->set_complex(1, ry);
        this->set_complex(2, rz);
    }
};
