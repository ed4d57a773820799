#pragma once

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityQuantity.h"

// A moment by components; a part of laForceMoment.
template <class T>
class laMoment : public laIntensityQuantity<laMoment<T>, T, 3, laMomentAlgorithms> {
public:
    laMoment() = default;
    laMoment(const double& mx, const double& my, const double& mz) {
        this->set_complex(0, mx);
        this->set_complex(1, my);
        this->set_complex(2, mz);
    }
};
