#pragma once

#include <complex>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/framework/mfScriptContext.h"
#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/geometry/coordsys3d.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/components/geometry/plane3d.h"
#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/model/laIntensityFunction.h"

// A one-component value that is an affine function of the coordinates of a position:
// k1 c1 + k2 c2 + k3 c3 + constant. The coordinates are global Cartesian ones, or those of the
// load's system when positions are local, where an axis may measure an angle. Each coefficient
// records the kind of coordinate it was given for, so that a coefficient per angle is never
// applied to a length.
template <class T>
class laIntensityLinearVarying : public laIntensityFunction<T> {
    static_assert(std::is_constructible_v<T, const double&>,
                  "Kestrel: a linear varying function holds one-component values (pressure, traction)");

public:
    using coord_unit = coordsys3d::coord_unit;

    laIntensityLinearVarying(const double& k1_, coord_unit unit1_, const double& k2_, coord_unit unit2_,
                             const double& k3_, coord_unit unit3_, const double& constant_)
        : k1(k1_), k2(k2_), k3(k3_), constant(constant_), unit1(unit1_), unit2(unit2_), unit3(unit3_) {}
    laIntensityLinearVarying(const laIntensityLinearVarying&) = default;
    ~laIntensityLinearVarying() override { this->handOverToFactory(); }

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityLinearVarying, laIntensityFunction<T>>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityLinearVarying, laIntensityFunction<T>>(type);
    }

    // k1, k2, k3 and the constant for i = 0..3.
    double& coefficient(int i) { return coefficientOf(*this, i); }
    const double& coefficient(int i) const { return coefficientOf(*this, i); }
    // unit1, unit2, unit3 for i = 0..2.
    coord_unit& unit(int i) { return unitOf(*this, i); }
    const coord_unit& unit(int i) const { return unitOf(*this, i); }

    // Empty where an axis of the load's system is of another kind than a coefficient that counts.
    lcIntensity getIntensity(const lcLoad* load, const pos3d& position, lcLoad::lcCoordinateSystem system,
                             const std::complex<double>& factor) const override {
        return Sampler(*this, load, system, factor).at(position);
    }
    std::unique_ptr<lcIntensitySampler> sampler(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                                const std::complex<double>& factor) const override {
        return std::make_unique<Sampler>(*this, load, system, factor);
    }
    // Only exact zeros: a tiny slope over a long distance still makes a difference.
    bool hasConstantIntensity() const override { return k1 == 0.0 && k2 == 0.0 && k3 == 0.0; }
    bool hasLinearIntensity(vec3d& gradient) const override {
        gradient = vec3d(k1, k2, k3);
        return true;
    }
    // The plane, in the function's position coordinates, where the value equals `level` (zero
    // when `level` is empty); undefined when all coefficients are zero.
    bool getConstantIntensityPlane(const lcIntensity& level, plane3d& plane) const override {
        const double target = level.empty() ? 0.0 : level.real(0);
        const double abcd[4] = {k1, k2, k3, constant - target};
        plane = plane3d(abcd);
        return plane.defined();
    }
    using laIntensityFunction<T>::description;
    // Coefficients are shown as given, not times the load factor: their units say what they are.
    std::string description(const lcLoad* load) const override {
        std::string text = "Linear varying " + laIntensityLabel<T>();
        for (int i = 0; i < 3; ++i) {
            if (axisKind(load, i) != unit(i)) {
                text += " Load coordTrans is incompatible with the coefficients.";
                continue;
            }
            text += formatCoefficient(coefficient(i), unit(i)) + " * " + axisName(load, i) + " + \n";
        }
        return text + mfTextFormatter::format_impl(jsForcePerUnitArea(constant, 0), mfScriptContext{});
    }
    lcIntensity getConstantIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                     const std::complex<double>& factor) const override {
        if (!hasConstantIntensity()) return {};
        return this->scaled(this->transformIntensity(load, pos3d(0, 0, 0), T(constant), system), factor);
    }
    lcIntensityFunction* clone(lcBasicLoadCase*) const override { return mfCreate<laIntensityLinearVarying>(*this); }

    double k1, k2, k3;
    double constant;
    coord_unit unit1, unit2, unit3;

private:
    // Whether the coefficients fit the load's axes is the same at every position.
    class Sampler final : public lcIntensitySampler {
    public:
        Sampler(const laIntensityLinearVarying& f, const lcLoad* load, lcLoad::lcCoordinateSystem system,
                const std::complex<double>& factor)
            : m_function(f), m_load(load), m_factor(factor), m_transform(f, load, system) {
            m_constant = f.hasConstantIntensity();
            for (int i = 0; i < 3; ++i)
                if (f.axisKind(load, i) != f.unit(i) && !negligible(f.coefficient(i))) m_fits = false;
        }
        lcIntensity at(const pos3d& position) const override {
            const laIntensityLinearVarying& f = m_function;
            const bool has = m_constant || m_fits;
            T value;
            if (m_constant) {
                value = T(f.constant);
            } else if (m_fits) {
                const pos3d x = f.toPositionSystem(m_load, position);
                value = T((f.k1 * x.x + f.k2 * x.y) + f.k3 * x.z + f.constant);
            }
            return f.sampled(m_transform, position, has ? &value : nullptr, m_factor);
        }

    private:
        const laIntensityLinearVarying& m_function;
        const lcLoad* m_load;
        std::complex<double> m_factor;
        typename laIntensityFunction<T>::Transform m_transform;
        bool m_constant = false;
        bool m_fits = true;
    };

    template <class Self>
    static auto& coefficientOf(Self& self, int i) {
        switch (i) {
            case 0:
                return self.k1;
            case 1:
                return self.k2;
            case 2:
                return self.k3;
            case 3:
                return self.constant;
        }
        throw std::runtime_error("Internal error: Requested invalid linear varying intensity constant component");
    }
    template <class Self>
    static auto& unitOf(Self& self, int i) {
        switch (i) {
            case 0:
                return self.unit1;
            case 1:
                return self.unit2;
            case 2:
                return self.unit3;
        }
        throw std::runtime_error("Internal error: Requested invalid linear varying intensity unit component");
    }

    static bool negligible(double k) { return -mfSpaceBase::m_accuracy < k && k < mfSpaceBase::m_accuracy; }

    // Kind and name of coordinate i where positions are evaluated: the load's system for local
    // positions, global Cartesian otherwise.
    coord_unit axisKind(const lcLoad* load, int i) const {
        return this->positionSystem == lcLoad::local && load ? load->coordsys().unit(i) : coordsys3d::length;
    }
    std::string axisName(const lcLoad* load, int i) const {
        return this->positionSystem == lcLoad::local && load ? load->coordsys().axisName(i) : coordsys3d().axisName(i);
    }

    static std::string formatCoefficient(double k, coord_unit kind) {
        switch (kind) {
            case coordsys3d::length:
                return mfTextFormatter::format_impl(jsForcePerUnitVolume(k, 0), mfScriptContext{});
            case coordsys3d::angle:
                return mfTextFormatter::format_impl(jsForcePerUnitAreaPerAngle(k, 0), mfScriptContext{});
            default:
                return mfTextFormatter::format_impl(k, mfScriptContext{});
        }
    }
};

// Compiled once, in the module (the .cpp beside this header), for every quantity this kind takes.
extern template class KESTREL_API laIntensityLinearVarying<laPressure<double>>;
extern template class KESTREL_API laIntensityLinearVarying<laTraction<double>>;
