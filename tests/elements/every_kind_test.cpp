// Every kind of the vocabulary, one body each: written and read back equal, written again
// byte for byte, refused when broken, registered under its name, valid against its schema, and
// without a model object left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <typeinfo>

#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/document/kestrelLoad.h"
#include "kestrel/elements/kestrelKinds.h"
#include "kestrel/elements/xlaFootprintBox.h"
#include "kestrel/elements/xlaFootprintLine.h"
#include "kestrel/elements/xlaFootprintPoint.h"
#include "kestrel/elements/xlaFootprintPolygon.h"
#include "kestrel/elements/xlaIntensityConstant.h"
#include "kestrel/elements/xlaIntensityFunctionGrid.h"
#include "kestrel/elements/xlaIntensityJavaScript.h"
#include "kestrel/elements/xlaIntensityLinearParametric.h"
#include "kestrel/elements/xlaIntensityLinearVarying.h"
#include "kestrel/elements/xlaIntensityThreePointVarying.h"
#include "kestrel/elements/xlaLimitFunctionLiquidPressure.h"
#include "kestrel/elements/xlaLimitFunctionRange.h"
#include "kind_fixture.h"

namespace {

using kestrel_test::describe;

template <class List>
struct AsGTestTypes;
template <class... K>
struct AsGTestTypes<kestrelTypes<K...>> {
    using type = ::testing::Types<K...>;
};

struct KindName {
    template <class Kind>
    static std::string GetName(int) {
        return Kind::name;
    }
};

// A value of quantity Q told apart by k in every component.
template <class Q>
Q sample(double k) {
    if constexpr (std::is_same_v<Q, laForceMoment<double>>)
        return Q(laForce<double>(k, -2 * k, 0.1), laMoment<double>(3 * k, 0, -k / 3));
    else if constexpr (std::is_same_v<Q, laDisplacement<double>>)
        return Q(laTranslation<double>(k / 1000, 0, -0.01), laRotation<double>(0, k / 10, 1e-300));
    else if constexpr (std::is_constructible_v<Q, double, double, double>)
        return Q(k, -2 * k, k / 3);
    else
        return Q(k * 1250.5);
}

template <template <class> class Family, class Kind>
constexpr bool in = kestrelModelFamily<Family>::template accepts<Kind>::value;

// An intensity function with every setting away from its default.
template <class M>
M* decorated(M* function) {
    using Q = typename M::value_type;
    function->intensitySystem = lcLoad::global;
    // One kind carries the other limit function, so that both travel inside a function.
    if constexpr (std::is_same_v<M, laIntensityThreePointVarying<Q>> && std::is_same_v<Q, laPressure<double>>)
        function->setLimit(mfCreate<laLimitFunctionLiquidPressure>());
    else if constexpr (std::is_same_v<Q, laPressure<double>>)
        function->setLimit(
            mfCreate<laLimitFunctionRange>(Q(1000), Q(5000), laLimitFunctionRange::lower_exclusive_upper_inclusive));
    if constexpr (std::is_same_v<Q, laTraction<double>>) function->direction = vec3d(0, 0.6, 0.8);
    return function;
}

// An instance of the kind's model with nothing at its default.
template <class Kind>
typename Kind::model_type* make() {
    using M = typename Kind::model_type;
    if constexpr (std::is_base_of_v<lcIntensityFunction, M>) {
        using Q = typename M::value_type;
        if constexpr (in<laIntensityConstant, Kind>) {
            return decorated(mfCreate<M>(sample<Q>(1.5)));
        } else if constexpr (in<laIntensityThreePointVarying, Kind>) {
            return decorated(mfCreate<M>(pos3d(1, 0, 0), sample<Q>(1), pos3d(0, 1, 0), sample<Q>(2),
                                         pos3d(0, 0, 1.0 / 3), sample<Q>(3)));
        } else if constexpr (in<laIntensityLinearVarying, Kind>) {
            return decorated(
                mfCreate<M>(2.0, coordsys3d::length, 0.5, coordsys3d::angle, 7.0, coordsys3d::unknown, 10.0));
        } else if constexpr (in<laIntensityLinearParametric, Kind>) {
            return decorated(mfCreate<M>(sample<Q>(1), sample<Q>(-0.25)));
        } else if constexpr (in<laIntensityJavaScript, Kind>) {
            auto* script = mfCreate<jmfFunctionObject>("function intensity(x, y, z) {\r\n\treturn x < 1 && y > 0; }");
            if constexpr (laSurfaceQuantity<Q>)
                return decorated(mfCreate<M>(script, 0.25));
            else
                return decorated(mfCreate<M>(script));
        } else {
            static_assert(in<laIntensityFunctionGrid, Kind>, "a kind of a new family needs a sample here");
            auto* grid = decorated(mfCreate<M>());
            grid->setXValues({0, 2.5});
            grid->setYValues({0});
            grid->setZValues({-1, 1});
            grid->node(1, 0, 1) = sample<Q>(3);
            grid->node(0, 0, 0) = sample<Q>(-1);
            return grid;
        }
    } else if constexpr (std::is_same_v<M, laFootprintPoint>) {
        return mfCreate<M>(pos3d(1, 2, 3));
    } else if constexpr (std::is_same_v<M, laFootprintLine>) {
        return mfCreate<M>(line3d(pos3d(0.1, 0.2, 0.3), pos3d(-7, 1e-300, 4.5e12)));
    } else if constexpr (std::is_same_v<M, laFootprintPolygon>) {
        return mfCreate<M>(List<pos3d>{{0, 0, 0}, {3, 0, 0}, {3, 4, 0}, {0, 4, 1.0 / 3}});
    } else if constexpr (std::is_same_v<M, laFootprintBox>) {
        auto* box = mfCreate<M>(oriented_bbox3d(pos3d(-1, -2, 0), pos3d(1, 2, 3),
                                                locsys3d(pos3d(5, 5, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0))));
        box->setOriginLocalSystem(pos3d(9, 8, 7));
        return box;
    } else if constexpr (std::is_same_v<M, laLimitFunctionRange>) {
        return mfCreate<M>(laPressure<double>(-3), laPressure<double>(0.1), laLimitFunctionRange::upper_inclusive);
    } else {
        static_assert(std::is_same_v<M, laLimitFunctionLiquidPressure>, "a kind of a new family needs a sample here");
        return mfCreate<M>();
    }
}

// Whether two objects of the kind hold the same values.
template <class Kind>
bool same(const typename Kind::base_type* a, const typename Kind::base_type* b) {
    using M = typename Kind::model_type;
    if (!a || !b || typeid(*a) != typeid(M) || typeid(*b) != typeid(M)) return false;
    if constexpr (std::is_base_of_v<lcIntensityFunction, M>) {
        // The description leaves a traction's direction out.
        if constexpr (std::is_same_v<typename M::value_type, laTraction<double>>)
            if (static_cast<const M&>(*a).direction != static_cast<const M&>(*b).direction) return false;
        return hostSameIntensity(a, b);
    } else if constexpr (std::is_base_of_v<lcFootprint, M>) {
        return hostSameFootprint(a, b);
    } else if constexpr (std::is_same_v<M, laLimitFunctionRange>) {
        auto& x = static_cast<const M&>(*a);
        auto& y = static_cast<const M&>(*b);
        return x.getRangeType() == y.getRangeType() && x.getLowerLimit() == y.getLowerLimit() &&
               x.getUpperLimit() == y.getUpperLimit();
    } else {
        return true;
    }
}

template <class Kind>
class EveryKind : public kestrel_test::KindFixture {
protected:
    using Base = typename Kind::base_type;
    using Owner = kestrel_test::Owner<Base>;
    const std::string name = Kind::name;

    // The kind written through a member "f" of its base; the text checked against its schema.
    std::string written() {
        Owner out;
        out.object = make<Kind>();
        return write(out);
    }
};

TYPED_TEST_SUITE(EveryKind, AsGTestTypes<kestrelKinds>::type, KindName);

TYPED_TEST(EveryKind, ReadsBackEqualAndWritesTheSameTextAgain) {
    using Owner = typename TestFixture::Owner;
    std::unique_ptr<typename TypeParam::model_type> original(make<TypeParam>());
    std::string text;
    Owner out;
    out.object = make<TypeParam>();
    text = this->write(out);
    EXPECT_TRUE(text.find("<" + this->name + " ") != std::string::npos ||
                text.find("<" + this->name + ">") != std::string::npos)
        << text;
    Owner in;
    this->readClean(in, text);
    ASSERT_NE(in.object, nullptr) << text;
    EXPECT_TRUE(same<TypeParam>(original.get(), in.object)) << text;
    EXPECT_EQ(this->write(in), text);
    if constexpr (std::is_base_of_v<lcIntensityFunction, typename TypeParam::model_type>) {
        EXPECT_NE(text.find(R"(intensity_system="global" position_system="local")"), std::string::npos) << text;
    }
}

// An element exported twice holds the object once, and a copy of it has nodes of its own: it
// writes the same text once the original is gone.
TYPED_TEST(EveryKind, ACopyOfTheElementWritesWhatTheOriginalHeld) {
    using Element = typename TypeParam::element_type;
    std::unique_ptr<typename TypeParam::model_type> model(make<TypeParam>());
    Element once;
    once.setName(this->name);
    ASSERT_TRUE(once.export_(model.get()));
    auto original = std::make_unique<Element>();
    original->setName(this->name);
    original->export_(model.get());
    original->export_(model.get());
    Element copy(*original);
    original.reset();
    EXPECT_EQ(this->write(copy), this->write(once));
}

// An element the kind does not know, inside the kind's element and a line below it, refuses the
// whole object there and nowhere else.
TYPED_TEST(EveryKind, IsRefusedWhenBrokenWithPathAndLine) {
    std::string text = this->written();
    const std::size_t at = text.find("<" + this->name);
    ASSERT_NE(at, std::string::npos) << text;
    const std::size_t end = text.find('>', at);
    const std::string bogus = "\n<bogus/>";
    if (text[end - 1] == '/')
        text.replace(end - 1, 2, ">" + bogus + "</" + this->name + ">");
    else
        text.insert(end + 1, bogus);
    const int line = int(std::count(text.begin(), text.begin() + at, '\n')) + 2;
    typename TestFixture::Owner in;
    const xpReadResult result = this->read(in, text);
    EXPECT_TRUE(result.wellFormed);
    EXPECT_EQ(describe(result.errors),
              std::to_string(line) + " /owner/f/" + this->name + "/bogus: unexpected element \"bogus\"\n")
        << text;
    EXPECT_EQ(in.object, nullptr);
}

// The kind is offered under its base by its name and makes its own model type.
TYPED_TEST(EveryKind, IsRegisteredUnderItsNameForItsBase) {
    using Base = typename TestFixture::Base;
    int found = 0;
    for (const auto& [type, prototype] : xpGetFutureElements<Base>()->prototypes()) {
        if (dynamic_cast<xpElement&>(*prototype).getName() != this->name) continue;
        ++found;
        EXPECT_EQ(prototype->type().type(), typeid(typename TypeParam::model_type));
    }
    EXPECT_EQ(found, 1);
}

TEST(KindList, NamesEveryElementOnceAndEveryRegistrationIsListed) {
    std::vector<std::string> names;
    kestrelForEach(kestrelKinds{}, [&](auto kind) { names.emplace_back(decltype(kind)::type::name); });
    ASSERT_EQ(names.size(), 24u);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());

    xpDocument document;
    xpCurrentDocument current(document);
    kestrel::register_futures();
    std::size_t prototypes = 0;
    kestrelForEach(kestrelQuantities{}, [&](auto quantity) {
        using Q = typename decltype(quantity)::type;
        prototypes += xpGetFutureElements<laIntensityFunction<Q>>()->prototypes().size();
    });
    kestrelForEach(kestrelFootprintBases{}, [&](auto base) {
        prototypes += xpGetFutureElements<typename decltype(base)::type>()->prototypes().size();
    });
    prototypes += xpGetFutureElements<laLimitFunctionPressure>()->prototypes().size();
    EXPECT_EQ(prototypes, names.size());
    EXPECT_EQ(document.futureElements().size(), kestrelQuantities::size + kestrelFootprintBases::size + 1);
}

}  // namespace
