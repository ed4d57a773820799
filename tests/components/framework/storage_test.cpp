#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <typeinfo>

#include "kestrel/components/framework/bosStrategyInterface.h"
#include "kestrel/components/framework/mfProgram.h"

namespace {

struct Tracked : bosObject {
    explicit Tracked(int& constructed, bool fail = false) {
        if (fail) throw std::runtime_error("refused");
        ++constructed;
    }
    alignas(std::max_align_t) double payload[3] = {};
};

Tracked* make(int& constructed, bool fail = false) {
    return new (mfProgram::program().strategy(), typeid(Tracked)) Tracked(constructed, fail);
}

TEST(Storage, DefaultStrategyCountsLiveBlocksAndAlignsObjects) {
    bosCountingStrategy& counting = mfProgram::program().defaultStrategy();
    ASSERT_EQ(mfProgram::program().strategy(), &counting);
    const long start = counting.live();
    int constructed = 0;
    Tracked* a = make(constructed);
    Tracked* b = make(constructed);
    EXPECT_EQ(counting.live(), start + 2);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % alignof(Tracked), 0u);
    delete a;
    delete b;
    EXPECT_EQ(counting.live(), start);
    EXPECT_THROW(make(constructed, true), std::runtime_error);
    EXPECT_EQ(counting.live(), start);
    EXPECT_EQ(constructed, 2);
}

// A block goes back to the strategy that gave it; one that gives none makes new yield null and
// construct nothing; installing null puts the default back.
TEST(Storage, BlockGoesBackToTheStrategyThatGaveIt) {
    bosCountingStrategy own;
    bosNullStrategy none;
    const long start = mfProgram::program().defaultStrategy().live();
    int constructed = 0;
    mfProgram::program().setStrategy(&own);
    Tracked* object = make(constructed);
    mfProgram::program().setStrategy(&none);
    EXPECT_EQ(make(constructed), nullptr);
    EXPECT_EQ(mfProgram::program().setStrategy(nullptr), &none);
    EXPECT_EQ(mfProgram::program().strategy(), &mfProgram::program().defaultStrategy());
    EXPECT_EQ(new (nullptr, typeid(Tracked)) Tracked(constructed), nullptr);
    EXPECT_EQ(constructed, 1);
    EXPECT_EQ(own.live(), 1);
    delete object;
    EXPECT_EQ(own.live(), 0);
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

}  // namespace
