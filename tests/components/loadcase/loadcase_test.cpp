#include <gtest/gtest.h>

#include <complex>
#include <stdexcept>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/components/loadcase/lcFactory.h"
#include "kestrel/components/loadcase/lcIntensity.h"
#include "kestrel/components/loadcase/lcLoad.h"
#include "kestrel/components/loadcase/lcModelObject.h"

namespace {

lcIntensity intensity(std::initializer_list<std::complex<double>> components) {
    lcIntensity result(components.size());
    std::size_t i = 0;
    for (const auto& c : components) result.set_complex(i++, c);
    return result;
}

TEST(Intensity, EmptyByDefaultAndRefusesStrayIndices) {
    EXPECT_TRUE(lcIntensity().empty());
    EXPECT_THROW(lcIntensity().get_complex(0), std::range_error);

    lcIntensity two = intensity({{1, 2}, {3, 0}});
    EXPECT_FALSE(two.empty());
    EXPECT_EQ(two.imag(0), 2.0);
    two.scale(1, {0, 1});
    EXPECT_EQ(two.get_complex(1), std::complex<double>(0, 3));
    try {
        two.set_complex(2, 1.0);
        ADD_FAILURE() << "accepted index 2";
    } catch (const std::range_error& error) {
        EXPECT_STREQ(error.what(), "Index out of bounds");
    }
}

TEST(Intensity, ComparesByMagnitudeTimesTheFactor) {
    const lcIntensity small = intensity({3, 4});  // 5
    const lcIntensity large = intensity({0, -6});
    EXPECT_LT(small.compare(large, 1.0), 0);
    EXPECT_GT(large.compare(small, 1.0), 0);
    EXPECT_EQ(small.compare(small, {0, 1}), 0);
    EXPECT_GT(small.compare(large, 2.0), 0);
    EXPECT_EQ(intensity({std::nan("")}).compare(small, 1.0), 0);
    EXPECT_EQ(laPressureAlgorithms::instance()->measure(large, {0, 0.5}), 3.0);
}

struct OtherFactory : mfFactory {};
struct CountingFactory : lcFactory {
    void objectDestroyed(mfRelationObject*) override { ++count; }
    int count = 0;
};

TEST(Factory, RegistryByTypeAndCheckedLoadCaseFactory) {
    const mfFactory* before = mfFactory::getFactory(typeid(lcModelObject));
    OtherFactory other;
    CountingFactory counting;
    EXPECT_EQ(mfFactory::setFactory(typeid(lcModelObject), &other), before);
    EXPECT_EQ(mfFactory::getFactory(typeid(lcModelObject)), &other);
    // Something that is not a load-case factory under the key is not taken for one.
    EXPECT_EQ(lcFactory::current(), nullptr);
    EXPECT_EQ(mfFactory::setFactory(typeid(lcModelObject), &counting), &other);
    EXPECT_EQ(lcFactory::current(), &counting);
    EXPECT_EQ(mfFactory::getFactory(typeid(lcLoad)), nullptr);
    EXPECT_EQ(mfFactory::setFactory(typeid(lcModelObject), nullptr), &counting);
    EXPECT_EQ(mfFactory::getFactory(typeid(lcModelObject)), nullptr);
    mfFactory::setFactory(typeid(lcModelObject), const_cast<mfFactory*>(before));
}

}  // namespace
