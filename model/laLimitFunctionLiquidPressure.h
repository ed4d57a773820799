#pragma once

#include "kestrel/model/laLimitFunctionPressure.h"

// A liquid pushes on a surface and never pulls: negative pressures become 0, the others pass.
// A NaN pressure has no limited value.
class KESTREL_API laLimitFunctionLiquidPressure : public laLimitFunctionPressure {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laLimitFunctionLiquidPressure, laLimitFunctionPressure>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laLimitFunctionLiquidPressure, laLimitFunctionPressure>(type);
    }

    bool limit(const laPressure<double>& in, laPressure<double>& out) const override;
    laLimitFunctionPressure* clone() const override;
};
