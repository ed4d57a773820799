#include <cmath>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laLimitFunctionLiquidPressure.h"
#include "kestrel/model/laLimitFunctionPressure.h"
#include "kestrel/model/laLimitFunctionRange.h"

void laLimitFunctionPressure::retriangulate(const lcIntensityFunction*, const List<triangle3d>& in,
                                            List<triangle3d>& out) const {
    out.insert(out.end(), in.begin(), in.end());
}

bool laLimitFunctionLiquidPressure::limit(const laPressure<double>& in, laPressure<double>& out) const {
    const double p = in.real(0);
    if (std::isnan(p)) return false;
    out = laPressure<double>(p > 0.0 ? p : 0.0);
    return true;
}

laLimitFunctionPressure* laLimitFunctionLiquidPressure::clone() const {
    return mfCreate<laLimitFunctionLiquidPressure>(*this);
}

bool laLimitFunctionRange::limit(const laPressure<double>& in, laPressure<double>& out) const {
    const bool hasLower = m_type & 1;
    const bool lowerInclusive = hasLower && (m_type & 2);
    const bool hasUpper = m_type & 4;
    const bool upperInclusive = hasUpper && (m_type & 8);
    const double p = in.real(0);
    const double lower = m_lower.real(0);
    const double upper = m_upper.real(0);
    if (std::isnan(p) || (hasLower && std::isnan(lower)) || (hasUpper && std::isnan(upper))) return false;
    if (hasLower && hasUpper && (lower > upper || (lower == upper && !(lowerInclusive && upperInclusive))))
        return false;

    double limited = p;
    if (hasLower && (p < lower || (p == lower && !lowerInclusive))) {
        if (!lowerInclusive) return false;
        limited = lower;
    }
    if (hasUpper && (p > upper || (p == upper && !upperInclusive))) {
        if (!upperInclusive) return false;
        limited = upper;
    }
    out = laPressure<double>(limited);
    return true;
}

laLimitFunctionPressure* laLimitFunctionRange::clone() const {
    return mfCreate<laLimitFunctionRange>(*this);
}
