#pragma once

#include <map>
#include <string>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/geometry/vec3d.h"
#include "kestrel/elements/xlaValueElements.h"
#include "kestrel/model/laIntensityFunction.h"

// What every intensity function element carries whatever its quantity, compiled once: the
// optional attributes "intensity_system" and "position_system" ("global" or "local"; local when
// absent). A copy has nodes of its own.
class KESTREL_API xlaIntensitySystems : public xpElement {
public:
    xlaIntensitySystems();
    xlaIntensitySystems(const xlaIntensitySystems& other);
    xlaIntensitySystems& operator=(const xlaIntensitySystems& other);
    ~xlaIntensitySystems() override;

    // The texts of the coordinate systems.
    static const std::map<std::string, lcLoad::lcCoordinateSystem>& systems();

    lcLoad::lcCoordinateSystem m_intensitySystem = lcLoad::local;
    lcLoad::lcCoordinateSystem m_positionSystem = lcLoad::local;
};

// What an intensity function element of quantity T carries beyond the two systems: nothing for
// most quantities, the limit function of a pressure, the direction of a traction.
template <class T>
class xlaIntensityFunctionBase : public xlaIntensitySystems {
public:
    xlaIntensityFunctionBase() = default;
    xlaIntensityFunctionBase(const xlaIntensityFunctionBase& other) : xlaIntensitySystems(other) {}
    xlaIntensityFunctionBase& operator=(const xlaIntensityFunctionBase& other) {
        xlaIntensitySystems::operator=(other);
        return *this;
    }

    bool export_(laIntensityFunction<T>*) { return true; }
    bool import(laIntensityFunction<T>*) { return true; }
    // Frees what a read produced that no model took over.
    void discardRead() {}
};

// A pressure: the optional "limit_function" child holding one limit-function element. The
// element never owns the limit function: a model does once import hands it over.
template <>
class KESTREL_API xlaIntensityFunctionBase<laPressure<double>> : public xlaIntensitySystems {
public:
    xlaIntensityFunctionBase();
    xlaIntensityFunctionBase(const xlaIntensityFunctionBase& other);
    xlaIntensityFunctionBase& operator=(const xlaIntensityFunctionBase& other);
    ~xlaIntensityFunctionBase() override;

    bool export_(laIntensityFunction<laPressure<double>>* model);
    bool import(laIntensityFunction<laPressure<double>>* model);

    // A limit function read for content that then failed would belong to nobody.
    bool importContent(xpImportSet& nodes) override;
    void discardRead();

    laLimitFunctionPressure* m_limit = nullptr;
};

// A traction: the required "direction" child; its values are magnitudes along it.
template <>
class KESTREL_API xlaIntensityFunctionBase<laTraction<double>> : public xlaIntensitySystems {
public:
    xlaIntensityFunctionBase();
    xlaIntensityFunctionBase(const xlaIntensityFunctionBase& other);
    xlaIntensityFunctionBase& operator=(const xlaIntensityFunctionBase& other);
    ~xlaIntensityFunctionBase() override;

    bool export_(laIntensityFunction<laTraction<double>>* model);
    // The load is updated once, with the direction in place.
    bool import(laIntensityFunction<laTraction<double>>* model);
    void discardRead() {}

    vec3d m_direction;
};

// The base of the quantities without data of their own, compiled once (in the .cpp beside this
// header); a pressure's and a traction's are the classes above.
extern template class KESTREL_API xlaIntensityFunctionBase<laForcePerArea<double>>;
extern template class KESTREL_API xlaIntensityFunctionBase<laForcePerLength<double>>;
extern template class KESTREL_API xlaIntensityFunctionBase<laTemperature<double>>;
extern template class KESTREL_API xlaIntensityFunctionBase<laForceMoment<double>>;
extern template class KESTREL_API xlaIntensityFunctionBase<laDisplacement<double>>;
