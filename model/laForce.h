#pragma once

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityQuantity.h"

// A force by components; a part of laForceMoment.
template <class T>
class laForce : public laIntensityQuantity<laForce<T>, T, 3, laForceAlgorithms> {
public:
    laForce() = default;
    laForce(const double& fx, const double& fy, const double& fz) {
        this->set_complex(0, fx);
        this->set_complex(1, fy);
        this->set_complex(2, fz);
    }
};
