#include "tools/view/viewQuantity.h"

#include <cmath>

#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/model/laDisplacement.h"
#include "kestrel/model/laForceMoment.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laTemperature.h"
#include "kestrel/model/laTraction.h"

namespace {
template <class T>
bool is(const lcIntensityFunction& function) {
    return dynamic_cast<const laIntensityFunction<T>*>(&function) != nullptr;
}

template <class U>
std::string symbol() {
    return U::descriptor().siSymbol;
}

viewQuantity plain(std::string name, std::vector<std::string> components, const std::string& unit) {
    viewQuantity q;
    q.name = std::move(name);
    q.units.assign(components.size(), unit);
    q.firstPart = components.size();
    q.shownName = components.size() == 1 ? q.name : q.name + ", magnitude";
    q.components = std::move(components);
    return q;
}

viewQuantity pair(std::string name, std::vector<std::string> components, const std::string& first,
                  const std::string& second, const std::string& firstName) {
    viewQuantity q;
    q.name = std::move(name);
    q.components = std::move(components);
    q.units = {first, first, first, second, second, second};
    q.firstPart = 3;
    q.shownName = firstName + ", magnitude";
    return q;
}
}  // namespace

std::string viewQuantity::unit() const {
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i)
        if (i == 0 || units[i] != units[i - 1]) text += (text.empty() ? "" : ", ") + units[i];
    return text;
}

double viewQuantity::shown(const std::vector<double>& values) const {
    if (values.size() == 1) return values.front();
    double sum = 0.0;
    for (std::size_t i = 0; i < firstPart && i < values.size(); ++i) sum += values[i] * values[i];
    return std::sqrt(sum);
}

std::optional<viewQuantity> viewQuantityOf(const lcIntensityFunction& f) {
    const std::vector<std::string> xyz{"fx", "fy", "fz"};
    if (is<laPressure<double>>(f)) return plain("pressure", {"pressure"}, symbol<jsPressure>());
    if (is<laTraction<double>>(f)) return plain("traction", {"traction"}, symbol<jsPressure>());
    if (is<laTemperature<double>>(f)) return plain("temperature", {"temperature"}, symbol<jsTemperatureDifference>());
    if (is<laForcePerArea<double>>(f)) return plain("force per area", xyz, symbol<jsForcePerUnitArea>());
    if (is<laForcePerLength<double>>(f)) return plain("force per length", xyz, symbol<jsForcePerUnitLength>());
    if (is<laForceMoment<double>>(f))
        return pair("force and moment", {"fx", "fy", "fz", "mx", "my", "mz"}, symbol<jsForce>(),
                    symbol<jsMomentOfForce>(), "force");
    if (is<laDisplacement<double>>(f))
        return pair("displacement", {"dx", "dy", "dz", "rx", "ry", "rz"}, symbol<jsLength>(), symbol<jsAngle>(),
                    "translation");
    return std::nullopt;
}
