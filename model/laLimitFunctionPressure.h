#pragma once

#include "kestrel/components/framework/List.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/geometry/triangle3d.h"
#include "kestrel/components/model/mfRelationObject.h"
#include "kestrel/model/laPressure.h"

class lcIntensityFunction;

// Limits the pressure that a pressure intensity function yields. The function that is handed a
// limit function owns it.
class KESTREL_API laLimitFunctionPressure : public mfRelationObject {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laLimitFunctionPressure, mfRelationObject>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laLimitFunctionPressure, mfRelationObject>(type);
    }

    // The limited value of `in` in `out` and true; false, with `out` untouched, when no value is
    // left of it.
    virtual bool limit(const laPressure<double>& in, laPressure<double>& out) const = 0;
    // A copy allocated through the program's storage strategy; null when it has no memory.
    virtual laLimitFunctionPressure* clone() const = 0;
    // Splits the triangles of `function` where the limit needs finer ones; by default they stay
    // as they are.
    virtual void retriangulate(const lcIntensityFunction* function, const List<triangle3d>& in,
                               List<triangle3d>& out) const;
};
