#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <set>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laIntensityConstant.h"
#include "kestrel/model/laLimitFunctionRange.h"
#include "tools/host/hostDocument.h"
#include "tools/view/viewColourMap.h"
#include "tools/view/viewEvaluation.h"
#include "tools/view/viewSampling.h"

namespace {

long live() {
    return mfProgram::program().defaultStrategy().live();
}

const hostLoad& named(const List<hostLoad>& loads, const std::string& name) {
    for (const hostLoad& l : loads)
        if (l.name == name) return l;
    throw std::runtime_error("no load " + name);
}

// Equal to a few parts in 1e12; an empty `expected` means no value.
void expectValues(const std::optional<std::vector<double>>& seen, const std::vector<double>& expected,
                  const std::string& name) {
    ASSERT_EQ(seen.has_value(), !expected.empty()) << name;
    if (!seen) return;
    ASSERT_EQ(seen->size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR((*seen)[i], expected[i], 1e-12 * std::max(1.0, std::abs(expected[i]))) << name << " " << i;
}

// Every example load, read back from its document (scripts travel as Base64): its value, the value
// its limit function leaves (the same where `limited` is empty and there is a value), whether the
// position is on its footprint, and its unit.
TEST(ViewEval, EveryExampleLoadReadBackGivesItsValues) {
    struct Case {
        const char* name;
        pos3d at;
        const char* unit;
        std::vector<double> value, limited;
        std::optional<bool> on;
    };
    const pos3d p(6, 0, 6), high(1, 0, 10);  // on the rail at a quarter of it; above the facades
    const double pi = std::acos(-1.0);
    const Case cases[] = {
        {"dead load", p, "N/m2", {0, 0, -2500}, {}, std::nullopt},
        {"column head", p, "N, N.m", {0, 0, -120000, 0, 15000, 0}, {}, false},
        {"crane rail", p, "N/m", {0, 0, -13500}, {}, true},
        {"crane rail", high, "N/m", {}, {}, false},
        // Above the facade the wind still rises, but its range limit stops at 1000 Pa.
        {"wind on facade", p, "Pa", {600 + 500 * 6 / 7.0}, {1000}, true},
        {"wind on facade", high, "Pa", {600 + 500 * 10 / 7.0}, {1000}, false},
        {"tank wall", p, "Pa", {25000}, {}, false},
        {"snow drift", p, "N/m2", {0, 0, -800 - 320 * 6}, {}, false},
        {"braking", p, "Pa", {350}, {}, false},
        {"belt friction", p, "Pa", {36}, {}, false},
        {"support settlement", p, "m, rad", {0, 0, -0.012, 0.001, 0, 0}, {}, false},
        {"gusts", p, "Pa", {800}, {}, true},
        {"gusts", {1, 0, 1}, "Pa", {600}, {}, true},
        {"roof maintenance", p, "N/m2", {0, 0, -1300}, {}, false},
        {"conveyor", p, "Pa", {100 * std::sin(6.0)}, {}, false},
        {"cable weight", p, "N/m", {0, 0, -400 - 100 * 0.25 * 0.75}, {}, true},
        {"heated pipe", p, "K", {23.75}, {}, true},
        {"pipe sun side", p, "K", {17.5}, {}, true},
        // A liquid never pulls.
        {"hydrostatic", p, "Pa", {19620}, {}, true},
        {"hydrostatic", high, "Pa", {-19620}, {0}, false},
        {"silo swirl", p, "Pa", {40 * pi + 10}, {}, true},
        {"measured wind", p, "Pa", {510 + 250 * 6 / 7.0}, {}, true},
    };
    const long start = live();
    {
        hostSession session;
        session.root.m_loads = hostExampleLoads();
        std::string text;
        session.document.write(session.root, text);
        ASSERT_TRUE(session.document.read(session.root, text).ok());
        const List<hostLoad>& loads = session.root.m_loads;
        std::set<std::string> seen;
        for (const Case& c : cases) {
            const viewEvaluator evaluator(named(loads, c.name));
            const viewEvaluation e = evaluator.at(c.at);
            expectValues(e.value, c.value, c.name);
            expectValues(e.limited, c.limited.empty() ? c.value : c.limited, c.name);
            EXPECT_EQ(e.onFootprint, c.on) << c.name;
            EXPECT_EQ(e.error, "") << c.name;
            EXPECT_EQ(evaluator.quantity()->unit(), c.unit) << c.name;
            seen.insert(c.name);
        }
        EXPECT_EQ(seen.size(), loads.size());
    }
    EXPECT_EQ(live(), start);
}

// The limit function in words, each limit inclusive or not.
TEST(ViewEval, TellsTheRangeOfItsLimitFunction) {
    using Range = laLimitFunctionRange;
    const std::pair<Range::lcRangeType, std::string> cases[] = {
        {Range::lower_exclusive, "from 0 Pa (exclusive)"},
        {Range::upper_inclusive, "up to 1000 Pa (inclusive)"},
        {Range::lower_inclusive_upper_exclusive, "from 0 Pa (inclusive) up to 1000 Pa (exclusive)"},
        {Range::lower_exclusive_upper_inclusive, "from 0 Pa (exclusive) up to 1000 Pa (inclusive)"},
    };
    for (const auto& [type, text] : cases) {
        auto* f = mfCreate<laIntensityConstant<laPressure<double>>>(laPressure<double>(500));
        f->setLimit(mfCreate<Range>(laPressure<double>(0), laPressure<double>(1000), type));
        hostLoad load;
        load.intensity.reset(f);
        EXPECT_EQ(viewEvaluator(load).limitText(), "limited to the range " + text);
    }
}

TEST(ViewSample, RegularPositionsOverEachKindOfFootprint) {
    std::vector<pos3d> at;
    std::string error;
    // A 12 m by 7 m facade every metre: both edges included.
    const laFootprintPolygon facade(List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}});
    ASSERT_TRUE(viewSamplePositions(facade, 1.0, at, error)) << error;
    EXPECT_EQ(at.size(), 13u * 8u);
    EXPECT_EQ(at.front(), pos3d(0, 0, 0));
    for (const pos3d& p : at) EXPECT_TRUE(facade.within(p)) << mf_format(p);
    // A triangle keeps only the grid positions inside it: x + z <= 4 on a 1 m grid.
    const laFootprintPolygon triangle(List<pos3d>{{0, 0, 0}, {4, 0, 0}, {0, 0, 4}});
    ASSERT_TRUE(viewSamplePositions(triangle, 1.0, at, error));
    EXPECT_EQ(at.size(), 15u);
    // A line every 5 m from its first end, then its second end.
    const laFootprintLine rail(line3d(pos3d(0, 0, 6), pos3d(24, 0, 6)));
    ASSERT_TRUE(viewSamplePositions(rail, 5.0, at, error));
    ASSERT_EQ(at.size(), 6u);
    EXPECT_EQ(at[1], pos3d(5, 0, 6));
    EXPECT_EQ(at.back(), pos3d(24, 0, 6));
    // A point gives its one position; a box a grid along its own axes.
    ASSERT_TRUE(viewSamplePositions(laFootprintPoint(pos3d(1, 2, 3)), 0.1, at, error));
    EXPECT_EQ(at, std::vector<pos3d>{pos3d(1, 2, 3)});
    const locsys3d turned(pos3d(10, 0, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0));
    const laFootprintBox box(oriented_bbox3d(pos3d(-3, -3, 0), pos3d(3, 3, 8), turned));
    ASSERT_TRUE(viewSamplePositions(box, 2.0, at, error));
    EXPECT_EQ(at.size(), 4u * 4u * 5u);
    for (const pos3d& p : at) EXPECT_TRUE(box.within(p)) << mf_format(p);
}

TEST(ViewSample, RefusesStepsThatAreNoLengthOrMakeTooManyPositions) {
    std::vector<pos3d> at;
    std::string error;
    const laFootprintPolygon facade(List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}});
    for (double step : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(viewSamplePositions(facade, step, at, error)) << step;
        EXPECT_NE(error.find("step"), std::string::npos);
    }
    // Too many positions: the step proposed instead is accepted, for a flat box too.
    const laFootprintBox flat(oriented_bbox3d(pos3d(0, 0, 0), pos3d(100, 100, 0), locsys3d()));
    for (const lcFootprint* footprint : std::initializer_list<const lcFootprint*>{&facade, &flat}) {
        EXPECT_FALSE(viewSamplePositions(*footprint, 1e-3, at, error));
        EXPECT_NE(error.find("at most 1000000"), std::string::npos) << error;
        EXPECT_TRUE(at.empty());
        const std::string proposed = error.substr(error.rfind("least ") + 6);
        EXPECT_TRUE(viewSamplePositions(*footprint, std::stod(proposed), at, error)) << error;
    }
    const laFootprintBox box(oriented_bbox3d(pos3d(0, 0, 0), pos3d(100, 100, 100), locsys3d()));
    EXPECT_FALSE(viewSamplePositions(box, 0.5, at, error));
    const laFootprintLine longLine(line3d(pos3d(0, 0, 0), pos3d(1e9, 0, 0)));
    EXPECT_FALSE(viewSamplePositions(longLine, 1.0, at, error));
    const laFootprintLine broken(line3d(pos3d(0, 0, 0), pos3d(std::nan(""), 0, 0)));
    EXPECT_FALSE(viewSamplePositions(broken, 1.0, at, error));
    EXPECT_NE(error.find("not finite"), std::string::npos);
}

TEST(ViewColourMap, RunsFromDarkToLight) {
    // What lies beyond it, or is no number, takes its ends.
    EXPECT_EQ(viewViridis(-3).hex(), viewViridis(0).hex());
    EXPECT_EQ(viewViridis(std::nan("")).hex(), viewViridis(0).hex());
    EXPECT_EQ(viewViridis(7).hex(), "#fde725");
    // Lightness (a rough luma) rises all the way.
    double previous = -1;
    for (int i = 0; i <= 50; ++i) {
        const viewColour c = viewViridis(i / 50.0);
        const double luma = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        EXPECT_GT(luma, previous) << i;
        previous = luma;
    }
}

}  // namespace
