#pragma once

#include <cstddef>
#include <type_traits>

#include "kestrel/model/laDisplacement.h"
#include "kestrel/model/laForceMoment.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laTemperature.h"
#include "kestrel/model/laTraction.h"

// A list of types, for what is done once per quantity or per kind.
template <class... T>
struct kestrelTypes {
    static constexpr std::size_t size = sizeof...(T);
};

// Calls f(std::type_identity<T>{}) for every T of a list, in order.
template <class... T, class F>
constexpr void kestrelForEach(kestrelTypes<T...>, F&& f) {
    (f(std::type_identity<T>{}), ...);
}

// The list with every T of a list turned into F<T>.
template <template <class> class F, class List>
struct kestrelMap;
template <template <class> class F, class... T>
struct kestrelMap<F, kestrelTypes<T...>> {
    using type = kestrelTypes<F<T>...>;
};

// The value types of the intensity functions: each is one polymorphic member of a load, and
// the intensity function templates are compiled for them in the module.
using kestrelQuantities =
    kestrelTypes<laPressure<double>, laForcePerArea<double>, laTraction<double>, laForcePerLength<double>,
                 laTemperature<double>, laForceMoment<double>, laDisplacement<double>>;
