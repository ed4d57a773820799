#pragma once

#include <string>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laIntensityQuantity.h"

// A traction: one magnitude whose direction the intensity function holds. Its family is the
// surface loads'.
template <class T>
class laTraction : public laIntensityQuantity<laTraction<T>, T, 1, laForcePerAreaAlgorithms> {
public:
    laTraction() = default;
    explicit laTraction(const double& value) { this->set_complex(0, value); }
};

template <>
inline std::string laIntensityLabel<laTraction<double>>() {
    return "Traction";
}
