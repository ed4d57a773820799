#pragma once

#include <string>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laIntensityQuantity.h"

// A pressure: one magnitude acting along the surface normal.
template <class T>
class laPressure : public laIntensityQuantity<laPressure<T>, T, 1, laPressureAlgorithms> {
public:
    laPressure() = default;
    explicit laPressure(const double& value) { this->set_complex(0, value); }
};

template <>
inline std::string laIntensityLabel<laPressure<double>>() {
    return "Pressure";
}
