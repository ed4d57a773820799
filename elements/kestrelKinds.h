#pragma once

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "kestrel/components/loadcase/lcFootprint.h"
#include "kestrel/model/laQuantities.h"

// The one list of what the vocabulary holds. Registration, the load element's members, its
// schema choices, the example and the tests are all driven from here: a new kind is a line
// below plus its own model and element files.

// An element name usable as a template argument.
template <std::size_t N>
struct kestrelName {
    char text[N];
    constexpr kestrelName(const char (&name)[N]) { std::copy_n(name, N, text); }
};

template <class T>
class laIntensityFunction;
template <class T>
class laIntensityConstant;
template <class T>
class laIntensityThreePointVarying;
template <class T>
class laIntensityLinearVarying;
template <class T>
class laIntensityLinearParametric;
template <class T>
class laIntensityJavaScript;
template <class T>
class laIntensityFunctionGrid;
class laFootprintPoint;
class laFootprintLine;
class laFootprintPolygon;
class laFootprintBox;
class laLimitFunctionPressure;
class laLimitFunctionLiquidPressure;
class laLimitFunctionRange;
template <class T>
class xlaIntensityConstant;
template <class T>
class xlaIntensityThreePointVarying;
template <class T>
class xlaIntensityLinearVarying;
template <class T>
class xlaIntensityLinearParametric;
template <class T>
class xlaIntensityJavaScript;
template <class T>
class xlaIntensityFunctionGrid;
class xlaFootprintPoint;
class xlaFootprintLine;
class xlaFootprintPolygon;
class xlaFootprintBox;
class xlaLimitFunctionLiquidPressure;
class xlaLimitFunctionRange;

// One registration: the element name, the model type it reads and writes, the element class
// that binds them, and the polymorphic base under which the element is offered.
template <kestrelName Name, class Model, class Element, class Base>
struct kestrelKind {
    static constexpr const char* name = Name.text;
    using model_type = Model;
    using element_type = Element;
    using base_type = Base;
};

// The footprint bases, one polymorphic member of a load each.
using kestrelFootprintBases = kestrelTypes<lcFootprint_0d, lcFootprint_1d, lcFootprint_2d, lcFootprint_3d>;

namespace kestrel_kinds {
using P = laPressure<double>;
using A = laForcePerArea<double>;
using R = laTraction<double>;
using L = laForcePerLength<double>;
using T = laTemperature<double>;
using M = laForceMoment<double>;
using D = laDisplacement<double>;
template <kestrelName Name, template <class> class Model, template <class> class Element, class Q>
using Intensity = kestrelKind<Name, Model<Q>, Element<Q>, laIntensityFunction<Q>>;
}  // namespace kestrel_kinds

// Every element of the vocabulary, in the order of its table.
using kestrelKinds = kestrelTypes<
    kestrel_kinds::Intensity<"pressure2d_javascript", laIntensityJavaScript, xlaIntensityJavaScript, kestrel_kinds::P>,
    kestrel_kinds::Intensity<"pressure2d_constant", laIntensityConstant, xlaIntensityConstant, kestrel_kinds::P>,
    kestrel_kinds::Intensity<"pressure2d_3point_varying", laIntensityThreePointVarying, xlaIntensityThreePointVarying,
                             kestrel_kinds::P>,
    kestrel_kinds::Intensity<"pressure2d_linear_function", laIntensityLinearVarying, xlaIntensityLinearVarying,
                             kestrel_kinds::P>,
    kestrel_kinds::Intensity<"pressure2d_grid", laIntensityFunctionGrid, xlaIntensityFunctionGrid, kestrel_kinds::P>,
    kestrel_kinds::Intensity<"component2d_javascript", laIntensityJavaScript, xlaIntensityJavaScript, kestrel_kinds::A>,
    kestrel_kinds::Intensity<"component2d_constant", laIntensityConstant, xlaIntensityConstant, kestrel_kinds::A>,
    kestrel_kinds::Intensity<"component2d_3point_varying", laIntensityThreePointVarying, xlaIntensityThreePointVarying,
                             kestrel_kinds::A>,
    kestrel_kinds::Intensity<"traction2d_javascript", laIntensityJavaScript, xlaIntensityJavaScript, kestrel_kinds::R>,
    kestrel_kinds::Intensity<"traction2d_constant", laIntensityConstant, xlaIntensityConstant, kestrel_kinds::R>,
    kestrel_kinds::Intensity<"traction2d_3point_varying", laIntensityThreePointVarying, xlaIntensityThreePointVarying,
                             kestrel_kinds::R>,
    kestrel_kinds::Intensity<"traction2d_linear_function", laIntensityLinearVarying, xlaIntensityLinearVarying,
                             kestrel_kinds::R>,
    kestrel_kinds::Intensity<"component1d_linear", laIntensityLinearParametric, xlaIntensityLinearParametric,
                             kestrel_kinds::L>,
    kestrel_kinds::Intensity<"component1d_javascript", laIntensityJavaScript, xlaIntensityJavaScript, kestrel_kinds::L>,
    kestrel_kinds::Intensity<"temperature1d_linear", laIntensityLinearParametric, xlaIntensityLinearParametric,
                             kestrel_kinds::T>,
    kestrel_kinds::Intensity<"temperature1d_javascript", laIntensityJavaScript, xlaIntensityJavaScript,
                             kestrel_kinds::T>,
    kestrel_kinds::Intensity<"component0d_constant", laIntensityConstant, xlaIntensityConstant, kestrel_kinds::M>,
    kestrel_kinds::Intensity<"displacement_constant", laIntensityConstant, xlaIntensityConstant, kestrel_kinds::D>,
    kestrelKind<"footprint_point", laFootprintPoint, xlaFootprintPoint, lcFootprint_0d>,
    kestrelKind<"footprint_line", laFootprintLine, xlaFootprintLine, lcFootprint_1d>,
    kestrelKind<"footprint_polygon", laFootprintPolygon, xlaFootprintPolygon, lcFootprint_2d>,
    kestrelKind<"footprint_box", laFootprintBox, xlaFootprintBox, lcFootprint_3d>,
    kestrelKind<"limit_function_liquid_pressure", laLimitFunctionLiquidPressure, xlaLimitFunctionLiquidPressure,
                laLimitFunctionPressure>,
    kestrelKind<"limit_function_range", laLimitFunctionRange, xlaLimitFunctionRange, laLimitFunctionPressure>>;

// The kinds of one family: those Pred accepts.
template <template <class> class Pred, class List>
struct kestrelFilter;
template <template <class> class Pred>
struct kestrelFilter<Pred, kestrelTypes<>> {
    using type = kestrelTypes<>;
};
template <template <class> class Pred, class Head, class... Tail>
struct kestrelFilter<Pred, kestrelTypes<Head, Tail...>> {
    using rest = typename kestrelFilter<Pred, kestrelTypes<Tail...>>::type;
    template <class... R>
    static kestrelTypes<Head, R...> prepend(kestrelTypes<R...>);
    using type = std::conditional_t<Pred<Head>::value, decltype(prepend(rest{})), rest>;
};

// Whether a kind's model is a specialisation of Model, as the kinds of one intensity family are.
template <template <class> class Model>
struct kestrelModelFamily {
    template <class M>
    struct is : std::false_type {};
    template <class Q>
    struct is<Model<Q>> : std::true_type {};
    template <class Kind>
    using accepts = is<typename Kind::model_type>;
};

// Whether a kind is offered under one of the bases of a list.
template <class Bases>
struct kestrelBaseFamily;
template <class... Base>
struct kestrelBaseFamily<kestrelTypes<Base...>> {
    template <class Kind>
    using accepts = std::bool_constant<(std::is_same_v<Base, typename Kind::base_type> || ...)>;
};

template <class Family>
using kestrelKindsOf = typename kestrelFilter<Family::template accepts, kestrelKinds>::type;
