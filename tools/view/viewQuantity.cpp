#include "tools/view/viewQuantity.h"

#include <cmath>

#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laQuantityTraits.h"

namespace {
template <class T>
viewQuantity fromTraits() {
    constexpr auto& e = laQuantityTraits<T>::entry;
    viewQuantity q;
    q.name = e.title;
    for (std::size_t i = 0; i < e.components.size(); ++i) {
        q.components.emplace_back(e.components[i]);
        q.units.emplace_back(e.units[i]().siSymbol);
    }
    q.firstPart = e.firstPart;
    q.shownName = q.components.size() == 1 ? q.name : std::string(e.firstTitle) + ", magnitude";
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
    std::optional<viewQuantity> found;
    kestrelForEach(kestrelQuantities{}, [&]<class T>(std::type_identity<T>) {
        if (!found && dynamic_cast<const laIntensityFunction<T>*>(&f)) found = fromTraits<T>();
    });
    return found;
}
