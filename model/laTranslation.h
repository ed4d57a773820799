#pragma once

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityQuantity.h"

// A translation by components; a part of laDisplacement.
template <class T>
class laTranslation : public laIntensityQuantity<laTranslation<T>, T, 3, laTranslationAlgorithms> {
public:
    laTranslation() = default;
    laTranslation(const double& dx, const double& dy, const double& dz) {
        this->set_complex(0, dx);
        this->set_complex(1, dy);
        this->set_complex(2, dz);
    }
};
