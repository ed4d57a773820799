#pragma once

#include "kestrel/components/geometry/vec3d.h"
#include "kestrel/model/laLimitFunctionPressure.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laTraction.h"

// What the intensity function of a quantity holds besides the settings all functions share:
// nothing for most quantities. A base of laIntensityFunction<T> only.
template <class T>
class laIntensityFunctionExtras {
protected:
    ~laIntensityFunctionExtras() = default;
};

// A pressure function owns the limit function handed to it.
template <>
class laIntensityFunctionExtras<laPressure<double>> {
public:
    laIntensityFunctionExtras() = default;
    // Each function deletes its own limit function, so a copy gets a copy of it (none when the
    // storage strategy has no memory for one).
    laIntensityFunctionExtras(const laIntensityFunctionExtras& other) : m_limit(copyOf(other.m_limit)) {}
    laIntensityFunctionExtras& operator=(const laIntensityFunctionExtras& other) {
        if (this != &other) setLimit(copyOf(other.m_limit));
        return *this;
    }

    // Null when the pressure is not limited.
    laLimitFunctionPressure* getLimit() const { return m_limit; }
    // Takes `limit` over and deletes the limit function held so far, unless it is `limit` itself.
    void setLimit(laLimitFunctionPressure* limit) {
        if (limit == m_limit) return;
        delete m_limit;
        m_limit = limit;
    }

protected:
    ~laIntensityFunctionExtras() { delete m_limit; }

private:
    static laLimitFunctionPressure* copyOf(const laLimitFunctionPressure* limit) {
        return limit ? limit->clone() : nullptr;
    }

    laLimitFunctionPressure* m_limit = nullptr;
};

// A traction acts along a direction of its function; its values are magnitudes.
template <>
class laIntensityFunctionExtras<laTraction<double>> {
public:
    vec3d direction;

protected:
    ~laIntensityFunctionExtras() = default;
};
