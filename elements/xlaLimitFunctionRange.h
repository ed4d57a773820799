#pragma once

#include <map>
#include <string>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/elements/xlaValueElements.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"
#include "kestrel/model/laLimitFunctionRange.h"

class xlaLimitFunctionRange;
// Compiled once, in the module (xlaLimitFunctions.cpp).
extern template class KESTREL_API xpFutureElement<xlaLimitFunctionRange, laLimitFunctionPressure, xpElement>;

// "limit_function_range": attribute "range_type" and the children "lower_limit" and
// "upper_limit", each a pressure.
class KESTREL_API xlaLimitFunctionRange
    : public xpFutureElement<xlaLimitFunctionRange, laLimitFunctionPressure, xpElement> {
public:
    using model_type = laLimitFunctionRange;

    xlaLimitFunctionRange();
    xlaLimitFunctionRange(const xlaLimitFunctionRange& other);
    xlaLimitFunctionRange& operator=(const xlaLimitFunctionRange& other);
    ~xlaLimitFunctionRange() override;

    bool export_(laLimitFunctionRange* function);
    // A new limit function from the storage strategy, owned by the caller.
    laLimitFunctionRange* import();

    // The texts of the range types.
    static const std::map<std::string, laLimitFunctionRange::lcRangeType>& rangeTypes();

    laLimitFunctionRange::lcRangeType m_rangeType = laLimitFunctionRange::both_inclusive;
    laPressure<double> m_lowerLimit;
    laPressure<double> m_upperLimit;
};

template <>
class xpClass<laLimitFunctionRange> : public xlaLimitFunctionRange {
public:
    ~xpClass() override = default;
};
