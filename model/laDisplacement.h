#pragma once

#include <string>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laIntensityPair.h"
#include "kestrel/model/laRotation.h"
#include "kestrel/model/laTranslation.h"

// A translation and a rotation imposed together: components 0 to 2 are the translation's, 3 to 5
// the rotation's.
template <class T>
class laDisplacement : public laIntensityPair<laDisplacement<T>, laDisplacementAlgorithms> {
public:
    laDisplacement() = default;
    laDisplacement(const laTranslation<T>& translation_, const laRotation<T>& rotation_)
        : translation(translation_), rotation(rotation_) {}

    lcIntensityRepresentation* composite_part(std::size_t i) override { return this->pick(i, &translation, &rotation); }
    const lcIntensityRepresentation* composite_part(std::size_t i) const override {
        return this->pick(i, &translation, &rotation);
    }

    laTranslation<T> translation;
    laRotation<T> rotation;
};

template <>
inline std::string laIntensityLabel<laDisplacement<double>>() {
    return "Translation and Rotation";
}
