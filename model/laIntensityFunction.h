#pragma once

#include <complex>
#include <cstddef>
#include <string>
#include <type_traits>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/geometry/coordsys3d.h"
#include "kestrel/components/geometry/trans3d.h"
#include "kestrel/components/loadcase/lcIntensity.h"
#include "kestrel/components/loadcase/lcIntensityFunction.h"
#include "kestrel/components/loadcase/lcLoad.h"
#include "kestrel/model/laIntensityFunctionExtras.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laQuantities.h"

// The intensity functions of one value type T. Values are held in intensitySystem and positions
// in positionSystem (both local to the load at first); evaluations take global positions.
template <class T>
class laIntensityFunction : public lcIntensityFunction, public laIntensityFunctionExtras<T> {
    static_assert(std::is_base_of_v<lcIntensityRepresentation, T>,
                  "Kestrel: an intensity function yields a load value type (derived from lcIntensityRepresentation)");

public:
    using value_type = T;

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityFunction, lcIntensityFunction>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityFunction, lcIntensityFunction>(type);
    }

    using lcIntensityFunction::description;
    std::string description() const override { return laIntensityLabel<T>(); }
    const lcIntensityAlgorithms* algorithms() const override { return T::algorithms_type::instance(); }
    lcLoad::lcCoordinateSystem internalIntensitySystem() const override { return intensitySystem; }
    lcLoad::lcCoordinateSystem internalPositionSystem() const override { return positionSystem; }

    // `value`, held in this function's intensity system, as an intensity in `system` at the
    // global `position`. Three-component values turn as vectors, six-component ones as two;
    // others, and values where the load's system has no directions, pass unchanged. Without a
    // load there is no local system and values pass unchanged too.
    lcIntensity transformIntensity(const lcLoad* load, const pos3d& position, const T& value,
                                   lcLoad::lcCoordinateSystem system) const {
        lcIntensity result(value);
        if (intensitySystem == system || !load || !turns(result)) return result;
        trans3d turn;
        if (turnAt(load, position, turn)) turned(result, turn);
        return result;
    }

    // transformIntensity for one load and system at many positions: in a Cartesian system the
    // turn is the same at every position, and is found once.
    class Transform {
    public:
        Transform(const laIntensityFunction& function, const lcLoad* load, lcLoad::lcCoordinateSystem system)
            : m_function(function), m_load(load), m_system(system) {
            m_pass = function.intensitySystem == system || !load || !turns(lcIntensity(T()));
            m_fixed = !m_pass && !load->coordsys().isCylindrical() && function.turnAt(load, pos3d(), m_turn);
        }
        lcIntensity operator()(const pos3d& position, const T& value) const {
            // One object returned on every path, so that it is built in place.
            lcIntensity result = m_fixed || m_pass ? lcIntensity(value)
                                                   : m_function.transformIntensity(m_load, position, value, m_system);
            if (m_fixed) turned(result, m_turn);
            return result;
        }

    private:
        const laIntensityFunction& m_function;
        const lcLoad* m_load;
        lcLoad::lcCoordinateSystem m_system;
        bool m_pass = true;
        bool m_fixed = false;
        trans3d m_turn;
    };

    lcLoad::lcCoordinateSystem intensitySystem = lcLoad::local;
    lcLoad::lcCoordinateSystem positionSystem = lcLoad::local;

protected:
    laIntensityFunction() = default;
    laIntensityFunction(const laIntensityFunction&) = default;
    laIntensityFunction& operator=(const laIntensityFunction&) = default;

    // Each component of `intensity` times `factor`, in complex arithmetic.
    static lcIntensity scaled(lcIntensity intensity, const std::complex<double>& factor) {
        scale(intensity, factor);
        return intensity;
    }
    static void scale(lcIntensity& intensity, const std::complex<double>& factor) {
        for (std::size_t i = 0; i < intensity.size(); ++i) intensity.set_complex(i, intensity.get_complex(i) * factor);
    }
    // What a sampler gives for `value` at `position`: turned and scaled; empty without a value.
    // One object is returned on every path, so that it is built in place.
    static lcIntensity sampled(const Transform& transform, const pos3d& position, const T* value,
                               const std::complex<double>& factor) {
        lcIntensity result = value ? transform(position, *value) : lcIntensity();
        if (value) scale(result, factor);
        return result;
    }
    // Whether a value of this size turns with the system: a vector, or two.
    static bool turns(const lcIntensity& value) { return value.size() == 3 || value.size() == 6; }
    // The turn from this function's intensity system to the other one at a global position.
    bool turnAt(const lcLoad* load, const pos3d& position, trans3d& turn) const {
        const coordsys3d& coordinates = load->coordsys();
        return intensitySystem == lcLoad::local ? coordinates.localToGlobal(coordinates.toLocal(position), turn)
                                                : coordinates.globalToLocal(position, turn);
    }
    // The value is an lcIntensity of this class's making: its own accessors need no lookup.
    static void turned(lcIntensity& value, const trans3d& turn) {
        for (std::size_t first = 0; first < value.size(); first += 3) {
            const std::complex<double> c[3] = {value.lcIntensity::get_complex(first),
                                               value.lcIntensity::get_complex(first + 1),
                                               value.lcIntensity::get_complex(first + 2)};
            const vec3d re = vec3d(c[0].real(), c[1].real(), c[2].real()).transform(turn);
            const vec3d im = vec3d(c[0].imag(), c[1].imag(), c[2].imag()).transform(turn);
            for (int k = 0; k < 3; ++k) value.lcIntensity::set_complex(first + k, {re[k], im[k]});
        }
    }
    // A global position in the coordinates the function's positions are given in.
    pos3d toPositionSystem(const lcLoad* load, const pos3d& global) const {
        return positionSystem == lcLoad::local && load ? load->coordsys().toLocal(global) : global;
    }
    // A position given in the function's coordinates, as a global one.
    pos3d fromPositionSystem(const lcLoad* load, const pos3d& own) const {
        return positionSystem == lcLoad::local && load ? load->coordsys().toGlobal(own) : own;
    }
};

// Compiled once, in the module (the .cpp beside this header), for every quantity.
extern template class KESTREL_API laIntensityFunction<laPressure<double>>;
extern template class KESTREL_API laIntensityFunction<laForcePerArea<double>>;
extern template class KESTREL_API laIntensityFunction<laTraction<double>>;
extern template class KESTREL_API laIntensityFunction<laForcePerLength<double>>;
extern template class KESTREL_API laIntensityFunction<laTemperature<double>>;
extern template class KESTREL_API laIntensityFunction<laForceMoment<double>>;
extern template class KESTREL_API laIntensityFunction<laDisplacement<double>>;
