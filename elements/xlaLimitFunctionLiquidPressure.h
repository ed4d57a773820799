#pragma once

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"
#include "kestrel/model/laLimitFunctionLiquidPressure.h"

class xlaLimitFunctionLiquidPressure;
// Compiled once, in the module (xlaLimitFunctions.cpp).
extern template class KESTREL_API xpFutureElement<xlaLimitFunctionLiquidPressure, laLimitFunctionPressure, xpElement>;

// "limit_function_liquid_pressure": an empty element; the function has no parameters.
class KESTREL_API xlaLimitFunctionLiquidPressure
    : public xpFutureElement<xlaLimitFunctionLiquidPressure, laLimitFunctionPressure, xpElement> {
public:
    using model_type = laLimitFunctionLiquidPressure;

    xlaLimitFunctionLiquidPressure();
    xlaLimitFunctionLiquidPressure(const xlaLimitFunctionLiquidPressure& other);
    xlaLimitFunctionLiquidPressure& operator=(const xlaLimitFunctionLiquidPressure& other);
    ~xlaLimitFunctionLiquidPressure() override;

    bool export_(laLimitFunctionLiquidPressure* function);
    // A new limit function from the storage strategy, owned by the caller.
    laLimitFunctionLiquidPressure* import();
};

template <>
class xpClass<laLimitFunctionLiquidPressure> : public xlaLimitFunctionLiquidPressure {
public:
    ~xpClass() override = default;
};
