#pragma once

#include <string>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laIntensityQuantity.h"

// A line load: force per length by components.
template <class T>
class laForcePerLength : public laIntensityQuantity<laForcePerLength<T>, T, 3, laForcePerLengthAlgorithms> {
public:
    laForcePerLength() = default;
    laForcePerLength(const double& fx, const double& fy, const double& fz) {
        this->set_complex(0, fx);
        this->set_complex(1, fy);
        this->set_complex(2, fz);
    }
};

template <>
inline std::string laIntensityLabel<laForcePerLength<double>>() {
    return "Line Load";
}
