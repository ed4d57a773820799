#include <gtest/gtest.h>

#include <stdexcept>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/types/mfTypeInfo.h"
#include "kestrel/components/types/mfTypeInfoHierarchy.h"
#include "kestrel/components/types/mfTypeInfoObject.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"

namespace {

template <class T>
mfTypeInfo hierarchy() {
    return mfTypeInfo(new impl::mfTypeInfoHierarchy<T>);
}

// A model class whose interface chain fails.
struct Failing : mfMetaObject {
    static bool offersInterface(const std::type_info&) { throw std::runtime_error("no chain"); }
};

TEST(Hierarchy, AcceptsTheTypeItsBasesAndNothingElse) {
    const impl::mfTypeInfoHierarchy<laFootprintPoint> point;
    for (const std::type_info* type : {&typeid(laFootprintPoint), &typeid(lcFootprint_0d), &typeid(lcFootprint),
                                       &typeid(mfRelationObject), &typeid(mfMetaObject)})
        EXPECT_TRUE(point.accepts(*type)) << type->name();
    EXPECT_FALSE(point.accepts(typeid(lcFootprint_1d)));
    EXPECT_FALSE(point.accepts(typeid(laFootprintLine)));
    EXPECT_FALSE(impl::mfTypeInfoHierarchy<Failing>().accepts(typeid(Failing)));
}

TEST(Hierarchy, OrdersLikeTheSimpleRecordOfItsType) {
    const mfTypeInfo fromHierarchy = hierarchy<laFootprintLine>();
    const mfTypeInfo simple(typeid(laFootprintLine));
    EXPECT_FALSE(fromHierarchy < simple);
    EXPECT_FALSE(simple < fromHierarchy);
    EXPECT_TRUE(hierarchy<laFootprintLine>() < hierarchy<laFootprintPoint>());
    const mfTypeInfo copy = fromHierarchy;
    EXPECT_TRUE(copy.matches(simple));
}

// An object matches the hierarchy of its own type and of its bases, through its own chain.
TEST(ObjectRecord, MatchesThroughTheObjectsChain) {
    const long live = mfProgram::program().defaultStrategy().live();
    {
        std::unique_ptr<laFootprintPoint> point(mfCreate<laFootprintPoint>(pos3d(1, 2, 3)));
        const mfTypeInfo object(new impl::mfTypeInfoObject(point.get()));
        EXPECT_EQ(object.type(), typeid(laFootprintPoint));
        EXPECT_TRUE(object.matches(hierarchy<laFootprintPoint>()));
        EXPECT_TRUE(object.matches(mfTypeInfo(typeid(lcFootprint_0d))));
        EXPECT_FALSE(object.matches(hierarchy<laFootprintLine>()));
        EXPECT_FALSE(object.matches(mfTypeInfo()));
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live);
}

}  // namespace
