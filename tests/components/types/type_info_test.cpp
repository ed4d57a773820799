#include "kestrel/components/types/mfTypeInfo.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

struct Zeta {};
struct Alpha : Zeta {};

TEST(TypeInfo, OrdersByDemangledNameWithEmptyLast) {
    std::map<mfTypeInfo, int> byType{
        {mfTypeInfo(), 0}, {typeid(int), 1}, {typeid(Zeta), 2}, {typeid(double), 3}, {typeid(Alpha), 4}};
    std::string order;
    for (const auto& [type, value] : byType) order += type.orderName() + ";";
    EXPECT_EQ(order, "(anonymous namespace)::Alpha;(anonymous namespace)::Zeta;double;int;;");
    EXPECT_EQ(byType.rbegin()->second, 0);
    EXPECT_FALSE(mfTypeInfo() < mfTypeInfo());
    EXPECT_FALSE(mfTypeInfo(typeid(int)) < mfTypeInfo(typeid(int)));
    EXPECT_EQ(byType.count(mfTypeInfo(typeid(double))), 1u);
}

TEST(TypeInfo, EmptyValueHoldsVoidAndMatchesNothing) {
    mfTypeInfo empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.type(), typeid(void));
    EXPECT_FALSE(empty.matches(empty));
    EXPECT_FALSE(empty.matches(mfTypeInfo(typeid(void))));
    EXPECT_TRUE(mfTypeInfo(static_cast<impl::mfTypeInfoBase*>(nullptr)).empty());
}

// A plain record knows no bases: a derived type does not match its base.
TEST(TypeInfo, SimpleRecordAcceptsOnlyItsOwnType) {
    mfTypeInfo alpha(typeid(Alpha));
    EXPECT_TRUE(alpha.matches(mfTypeInfo(typeid(Alpha))));
    EXPECT_FALSE(alpha.matches(mfTypeInfo(typeid(Zeta))));
    EXPECT_FALSE(alpha.record()->accepts(typeid(Zeta)));
}

TEST(TypeInfo, CopiesOwnTheirRecord) {
    auto original = std::make_unique<mfTypeInfo>(typeid(Zeta));
    mfTypeInfo copy(*original);
    mfTypeInfo assigned;
    assigned = *original;
    EXPECT_NE(copy.record(), original->record());
    EXPECT_NE(assigned.record(), original->record());
    original.reset();
    EXPECT_EQ(copy.type(), typeid(Zeta));
    EXPECT_EQ(assigned.type(), typeid(Zeta));

    mfTypeInfo moved(std::move(copy));
    EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from value is empty
    EXPECT_EQ(moved.type(), typeid(Zeta));
    assigned = mfTypeInfo();
    EXPECT_TRUE(assigned.empty());
}

}  // namespace
