#pragma once

#include <string>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laIntensityQuantity.h"

// A temperature load: a change of temperature.
template <class T>
class laTemperature : public laIntensityQuantity<laTemperature<T>, T, 1, laTemperatureAlgorithms> {
public:
    laTemperature() = default;
    explicit laTemperature(const double& value) { this->set_complex(0, value); }
};

template <>
inline std::string laIntensityLabel<laTemperature<double>>() {
    return "Temperature Load";
}
