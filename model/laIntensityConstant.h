#pragma once

#include <complex>
#include <string>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laIntensityFunction.h"

// One value everywhere.
template <class T>
class laIntensityConstant : public laIntensityFunction<T> {
public:
    explicit laIntensityConstant(const T& value_) : value(value_) {}
    laIntensityConstant(const laIntensityConstant&) = default;
    ~laIntensityConstant() override { this->handOverToFactory(); }

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityConstant, laIntensityFunction<T>>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityConstant, laIntensityFunction<T>>(type);
    }

    lcIntensity getIntensity(const lcLoad* load, const pos3d& position, lcLoad::lcCoordinateSystem system,
                             const std::complex<double>& factor) const override {
        return this->scaled(this->transformIntensity(load, position, value, system), factor);
    }
    bool hasConstantIntensity() const override { return true; }
    using laIntensityFunction<T>::description;
    std::string description(const lcLoad* load) const override {
        const lcIntensityAlgorithms* family = this->algorithms();
        return "Constant " + laIntensityLabel<T>() + "\n" + family->format(value * family->getLoadFactor(load));
    }
    // Where the value is turned matters only for curved load systems; the origin is the
    // reference point.
    lcIntensity getConstantIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                     const std::complex<double>& factor) const override {
        return this->scaled(this->transformIntensity(load, pos3d(0, 0, 0), value, system), factor);
    }
    lcIntensity getMaximumIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                    const std::complex<double>& factor) const override {
        return getConstantIntensity(load, system, factor);
    }
    lcIntensityFunction* clone(lcBasicLoadCase*) const override { return mfCreate<laIntensityConstant>(*this); }

    T value;
};

// Compiled once, in the module (the .cpp beside this header), for every quantity this kind takes.
extern template class KESTREL_API laIntensityConstant<laPressure<double>>;
extern template class KESTREL_API laIntensityConstant<laForcePerArea<double>>;
extern template class KESTREL_API laIntensityConstant<laTraction<double>>;
extern template class KESTREL_API laIntensityConstant<laForceMoment<double>>;
extern template class KESTREL_API laIntensityConstant<laDisplacement<double>>;
