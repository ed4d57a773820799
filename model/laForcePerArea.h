#pragma once

#include <string>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laIntensityQuantity.h"

// A surface load: force per area by components.
template <class T>
class laForcePerArea : public laIntensityQuantity<laForcePerArea<T>, T, 3, laForcePerAreaAlgorithms> {
public:
    laForcePerArea() = default;
    laForcePerArea(const double& fx, const double& fy, const double& fz) {
        this->set_complex(0, fx);
        this->set_complex(1, fy);
        this->set_complex(2, fz);
    }
};

template <>
inline std::string laIntensityLabel<laForcePerArea<double>>() {
    return "Surface Load";
}
