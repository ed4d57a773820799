#include "tools/view/viewEvaluation.h"

#include <algorithm>
#include <limits>

#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laLimitFunctionLiquidPressure.h"
#include "kestrel/model/laLimitFunctionRange.h"
#include "kestrel/model/laPressure.h"

viewEvaluator::viewEvaluator(const hostLoad& load)
    : m_load(load),
      m_model(load.model()),
      m_pressure(dynamic_cast<const laIntensityFunction<laPressure<double>>*>(load.intensity.get())),
      m_quantity(load.intensity ? viewQuantityOf(*load.intensity) : std::nullopt) {}

bool viewEvaluator::hasLimit() const {
    return m_pressure && m_pressure->getLimit();
}

std::string viewEvaluator::limitText() const {
    if (!hasLimit()) return {};
    const laLimitFunctionPressure* limit = m_pressure->getLimit();
    if (dynamic_cast<const laLimitFunctionLiquidPressure*>(limit))
        return "limited as a liquid pressure: it never pulls, negative pressures become 0 Pa";
    const auto* range = dynamic_cast<const laLimitFunctionRange*>(limit);
    if (!range) return "limited by a limit function";
    const int type = range->getRangeType();
    const auto bound = [](const laPressure<double>& p, bool inclusive) {
        return mf_format(jsPressure(p.real(0))) + (inclusive ? " (inclusive)" : " (exclusive)");
    };
    std::string text = "limited to the range";
    if (type & 1) text += " from " + bound(range->getLowerLimit(), type & 2);
    if (type & 4) text += " up to " + bound(range->getUpperLimit(), type & 8);
    return text;
}

bool viewEvaluator::valuesAt(const pos3d& position, bool limited, double* out, std::size_t width,
                             std::string* error) const {
    std::fill(out, out + width, std::numeric_limits<double>::quiet_NaN());
    if (!m_load.intensity) return false;
    const lcIntensity value = m_load.intensity->getIntensity(&m_model, position, lcLoad::global, 1.0);
    if (value.empty()) {
        if (error) *error = hostEvaluationError(*m_load.intensity);
        return false;
    }
    if (limited && hasLimit()) {
        laPressure<double> clipped;
        if (value.size() != 1 ||
            !m_pressure->getLimit()->limit(laPressure<double>(value.get_complex(0).real()), clipped))
            return false;
        if (width) out[0] = clipped.real(0);
        return true;
    }
    for (std::size_t i = 0; i < width && i < value.size(); ++i) out[i] = value.get_complex(i).real();
    return true;
}

viewEvaluation viewEvaluator::at(const pos3d& position, lcLoad::lcCoordinateSystem system) const {
    viewEvaluation result;
    if (m_load.footprint) result.onFootprint = m_load.footprint->within(position);
    if (!m_load.intensity) return result;
    const lcIntensity value = m_load.intensity->getIntensity(&m_model, position, system, 1.0);
    if (value.empty()) {
        result.error = hostEvaluationError(*m_load.intensity);
        return result;
    }
    std::vector<double> components(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) components[i] = value.get_complex(i).real();
    result.value = components;
    if (!hasLimit()) {
        result.limited = std::move(components);
        return result;
    }
    laPressure<double> limited;
    if (components.size() == 1 && m_pressure->getLimit()->limit(laPressure<double>(components.front()), limited))
        result.limited = std::vector<double>{limited.real(0)};
    return result;
}
