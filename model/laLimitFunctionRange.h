#pragma once

#include "kestrel/model/laLimitFunctionPressure.h"

// Keeps pressures within a range. A pressure inside passes unchanged; one beyond an inclusive
// limit is clipped to that limit; one beyond or at an exclusive limit has no limited value, since
// the limit itself is outside the range. An empty range (lower above upper, or equal limits not
// both inclusive) and NaN limits or pressures leave no value either.
class KESTREL_API laLimitFunctionRange : public laLimitFunctionPressure {
public:
    // Bit sets: 1 there is a lower limit, 2 it is inclusive, 4 there is an upper limit, 8 it is
    // inclusive. Bits 2 and 8 count only together with 1 and 4.
    enum lcRangeType {
        lower_exclusive = 1,
        lower_inclusive = 3,
        upper_exclusive = 4,
        both_exclusive = 5,
        lower_inclusive_upper_exclusive = 7,
        upper_inclusive = 12,
        lower_exclusive_upper_inclusive = 13,
        both_inclusive = 15
    };

    // A limit the type does not name is kept but not used.
    laLimitFunctionRange(const laPressure<double>& lower, const laPressure<double>& upper, lcRangeType type)
        : m_lower(lower), m_upper(upper), m_type(type) {}

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laLimitFunctionRange, laLimitFunctionPressure>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laLimitFunctionRange, laLimitFunctionPressure>(type);
    }

    const laPressure<double>& getLowerLimit() const { return m_lower; }
    const laPressure<double>& getUpperLimit() const { return m_upper; }
    lcRangeType getRangeType() const { return m_type; }

    bool limit(const laPressure<double>& in, laPressure<double>& out) const override;
    laLimitFunctionPressure* clone() const override;

private:
    laPressure<double> m_lower;
    laPressure<double> m_upper;
    lcRangeType m_type;
};
