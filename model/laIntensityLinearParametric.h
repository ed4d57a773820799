#pragma once

#include <complex>
#include <string>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laIntensityFunction.h"

// A line load varying linearly from value1 at the start of the load's line footprint
// (parameter 0) to value2 at its end (parameter 1), and on beyond the ends.
template <class T>
class laIntensityLinearParametric : public laIntensityFunction<T> {
public:
    laIntensityLinearParametric(const T& value1_, const T& value2_) : value1(value1_), value2(value2_) {}
    laIntensityLinearParametric(const laIntensityLinearParametric&) = default;
    ~laIntensityLinearParametric() override { this->handOverToFactory(); }

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityLinearParametric, laIntensityFunction<T>>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityLinearParametric, laIntensityFunction<T>>(type);
    }

    // Empty without a line footprint or off its line.
    lcIntensity getIntensity(const lcLoad* load, const pos3d& position, lcLoad::lcCoordinateSystem system,
                             const std::complex<double>& factor) const override {
        const lcFootprint_1d* line = load ? load->footprint1d() : nullptr;
        double t = 0.0;
        if (!line || !line->parameter(position, t)) return {};
        return this->scaled(this->transformIntensity(load, position, at(t), system), factor);
    }
    bool hasConstantIntensity() const override { return value1 == value2; }
    using laIntensityFunction<T>::description;
    std::string description(const lcLoad* load) const override {
        const lcIntensityAlgorithms* family = this->algorithms();
        const std::complex<double> k = family->getLoadFactor(load);
        return "Linear " + laIntensityLabel<T>() + "\n1: " + family->format(value1 * k) +
               "\n2: " + family->format(value2 * k);
    }
    lcIntensity getConstantIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                     const std::complex<double>& factor) const override {
        if (!hasConstantIntensity()) return {};
        return this->scaled(this->transformIntensity(load, pos3d(0, 0, 0), value1, system), factor);
    }
    // Linear along the line, so the larger end; the start when both are as large. The ends are
    // compared unscaled: compare scales only its own side, and the factor scales both alike.
    lcIntensity getMaximumIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                    const std::complex<double>& factor) const override {
        const double t = value1.compare(value2, 1.0) >= 0 ? 0.0 : 1.0;
        const lcFootprint_1d* line = load ? load->footprint1d() : nullptr;
        pos3d where;
        if (!line || !line->position(t, where)) return {};
        return this->scaled(this->transformIntensity(load, where, at(t), system), factor);
    }
    lcIntensityFunction* clone(lcBasicLoadCase*) const override { return mfCreate<laIntensityLinearParametric>(*this); }

    T value1, value2;

private:
    T at(double t) const { return value1 + (value2 - value1) * t; }
};

// Compiled once, in the module (the .cpp beside this header), for every quantity this kind takes.
extern template class KESTREL_API laIntensityLinearParametric<laForcePerLength<double>>;
extern template class KESTREL_API laIntensityLinearParametric<laTemperature<double>>;
