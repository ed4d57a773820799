#pragma once

#include <complex>
#include <memory>
#include <string>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/framework/mfScriptContext.h"
#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/geometry/line3d.h"
#include "kestrel/components/geometry/plane3d.h"
#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laIntensityVector.h"

// A value varying linearly over the plane through three points, with a given value at each.
// Points are in the function's position system; positions off the plane count as their
// projection onto it, and positions outside the triangle extrapolate.
template <class T>
class laIntensityThreePointVarying : public laIntensityFunction<T> {
public:
    laIntensityThreePointVarying(const pos3d& point1_, const T& value1_, const pos3d& point2_, const T& value2_,
                                 const pos3d& point3_, const T& value3_)
        : value1(value1_), value2(value2_), value3(value3_), point1(point1_), point2(point2_), point3(point3_) {}
    laIntensityThreePointVarying(const laIntensityThreePointVarying&) = default;
    ~laIntensityThreePointVarying() override { this->handOverToFactory(); }

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityThreePointVarying, laIntensityFunction<T>>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityThreePointVarying, laIntensityFunction<T>>(type);
    }

    // Empty where the points span no plane and the values differ.
    lcIntensity getIntensity(const lcLoad* load, const pos3d& position, lcLoad::lcCoordinateSystem system,
                             const std::complex<double>& factor) const override {
        return Sampler(*this, load, system, factor).at(position);
    }
    std::unique_ptr<lcIntensitySampler> sampler(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                                const std::complex<double>& factor) const override {
        return std::make_unique<Sampler>(*this, load, system, factor);
    }
    bool hasConstantIntensity() const override { return value1 == value2 && value1 == value3; }
    using laIntensityFunction<T>::description;
    std::string description(const lcLoad* load) const override {
        const lcIntensityAlgorithms* family = this->algorithms();
        const std::complex<double> k = family->getLoadFactor(load);
        const auto line = [&](const char* n, const pos3d& point, const T& value) {
            return std::string("\n") + n + ": " + mfTextFormatter::format_impl(point, mfScriptContext{}) + " " +
                   family->format(value * k);
        };
        return "Three point varying " + laIntensityLabel<T>() + line("1", point1, value1) + line("2", point2, value2) +
               line("3", point3, value3);
    }
    lcIntensity getConstantIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                     const std::complex<double>& factor) const override {
        if (!(value1 == value2 && value2 == value3)) return {};
        return this->scaled(this->transformIntensity(load, this->fromPositionSystem(load, point1), value1, system),
                            factor);
    }
    lcIntensityFunction* clone(lcBasicLoadCase*) const override {
        return mfCreate<laIntensityThreePointVarying>(*this);
    }

    T value1, value2, value3;
    pos3d point1, point2, point3;

private:
    // The plane, the lines and the changes along them are the same at every position.
    class Sampler final : public lcIntensitySampler {
    public:
        Sampler(const laIntensityThreePointVarying& f, const lcLoad* load, lcLoad::lcCoordinateSystem system,
                const std::complex<double>& factor)
            : m_function(f), m_load(load), m_factor(factor), m_transform(f, load, system) {
            m_constant = f.hasConstantIntensity();
            if (m_constant) return;
            m_plane = plane3d(f.point1, f.point2, f.point3);
            // Along A the value runs from value1 to value2; across it, along B from the foot F of
            // point3 to point3, it changes by what point3 adds to the value at F.
            m_lineA = line3d(f.point1, f.point2);
            pos3d foot;
            double distance = 0.0, t3 = 0.0;
            m_footed = m_lineA.project(f.point3, foot, distance, t3);
            m_lineB = line3d(foot, f.point3);
            pos3d unused;
            double unusedT = 0.0;
            m_crossed = m_lineB.project(f.point3, unused, distance, unusedT);
            m_along = f.value2 - f.value1;
            m_across = f.value3 - (f.value1 + m_along * t3);
        }
        lcIntensity at(const pos3d& position) const override {
            T v;
            const bool has = valueAt(position, v);
            return m_function.sampled(m_transform, position, has ? &v : nullptr, m_factor);
        }

    private:
        const laIntensityThreePointVarying& m_function;
        const lcLoad* m_load;
        std::complex<double> m_factor;
        bool valueAt(const pos3d& position, T& v) const {
            const laIntensityThreePointVarying& f = m_function;
            if (m_constant) {
                v = f.value1;
                return true;
            }
            if (!m_plane.defined()) return false;
            const pos3d q = m_plane.project(f.toPositionSystem(m_load, position));
            // Where the lines have a direction, their parameters are those project gives.
            if (!m_footed || !m_crossed) return false;
            const double s = m_lineA.parameter(q), r = m_lineB.parameter(q);
            const auto blend = [&](const auto& v1, const auto& along, const auto& across) {
                return (v1 + along * s) + across * r;
            };
            if constexpr (!laRealComponents<T>) {
                v = blend(f.value1, m_along, m_across);
            } else {
                for (std::size_t i = 0; i < v.size(); ++i)
                    v.set_complex(i, blend(f.value1.real(i), m_along.real(i), m_across.real(i)));
            }
            return true;
        }

        typename laIntensityFunction<T>::Transform m_transform;
        bool m_constant = false;
        bool m_footed = false;
        bool m_crossed = false;
        plane3d m_plane;
        line3d m_lineA, m_lineB;
        T m_along, m_across;
    };
};

// Compiled once, in the module (the .cpp beside this header), for every quantity this kind takes.
extern template class KESTREL_API laIntensityThreePointVarying<laPressure<double>>;
extern template class KESTREL_API laIntensityThreePointVarying<laForcePerArea<double>>;
extern template class KESTREL_API laIntensityThreePointVarying<laTraction<double>>;
