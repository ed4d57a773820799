#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "counting_factory.h"
#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laIntensityJavaScript.h"

namespace {

using PressureScript = laIntensityJavaScript<laPressure<double>>;

template <class T, class... Rest>
std::unique_ptr<laIntensityJavaScript<T>> script(const char* text, Rest... refinement) {
    return std::unique_ptr<laIntensityJavaScript<T>>(
        mfCreate<laIntensityJavaScript<T>>(mfCreate<jmfFunctionObject>(text), refinement...));
}

std::vector<double> components(const lcIntensity& intensity) {
    std::vector<double> values;
    for (std::size_t i = 0; i < intensity.size(); ++i) values.push_back(intensity.real(i));
    return values;
}

// A load whose local system sits at (10, 0, 0) with its x axis along global y.
const lcLoad& turnedLoad() {
    static const lcLoad load(coordsys3d::cartesian(locsys3d(pos3d(10, 0, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0))));
    return load;
}

TEST(Script, HoldsItsFunctionAndRefinementThroughClonesAndDiesThroughEitherBase) {
    const long start = mfProgram::program().defaultStrategy().live();
    {
        CountingFactory factory;
        auto* f = mfCreate<PressureScript>(mfCreate<jmfFunctionObject>("\n  \t\nfunction intensity(x, y, z) {\n"
                                                                       "  return x < 1 ? 1 : 2; }"),
                                           0.25);
        EXPECT_EQ(f->description(nullptr), "Script Pressure\nfunction intensity(x, y, z) {");
        mfMetaObject* object = f;
        EXPECT_EQ(object->getInterface(typeid(lcIntensityFunctionRefinement)),
                  static_cast<lcIntensityFunctionRefinement*>(f));

        auto* copy = dynamic_cast<PressureScript*>(f->clone(nullptr));
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy->function(), f->function());
        EXPECT_EQ(copy->function()->toString(), f->script());
        EXPECT_EQ(copy->refinement(), 0.25);
        EXPECT_EQ(components(copy->getIntensity(nullptr, {2, 0, 0}, lcLoad::global, 1.0)), std::vector<double>{2});
        lcIntensityFunctionRefinement* refinement = copy;
        delete refinement;

        delete f;

        auto* none = mfCreate<laIntensityJavaScript<laTemperature<double>>>(nullptr);
        EXPECT_EQ(none->script(), "");
        EXPECT_TRUE(none->getIntensity(nullptr, {}, lcLoad::global, 1.0).empty());
        EXPECT_EQ(none->evaluationError(), "the function has no script");
        EXPECT_EQ(none->getInterface(typeid(lcIntensityFunctionRefinement)), nullptr);
        delete none;
        EXPECT_EQ(factory.functions, 3);
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

// The label, then the script's first line that is not blank, cut to 60 characters at most.
TEST(Script, DescribesItselfByItsFirstLineShortened) {
    const std::pair<const char*, const char*> cases[] = {
        {"function intensity(x, y, z) { return [0, 0, -100 - 5 * z]; }\n",
         "function intensity(x, y, z) { return [0, 0, -100 - 5 * z]; }"},
        {"function intensity(x, y, z) { return [0, 0, -1000 - 50 * x - 20 * y - 10 * z + Math.sin(x)]; }",
         "function intensity(x, y, z) { return [0, 0, -1000 - 50 * ..."},
    };
    for (const auto& [text, line] : cases)
        EXPECT_EQ(script<laForcePerArea<double>>(text, 0.5)->description(nullptr),
                  std::string("Script Surface Load\n") + line);
}

// Surface scripts get the position in the function's position system; values come back in the
// intensity system, scaled by the factor.
TEST(Script, SurfaceQuantitiesFollowTheirSystems) {
    const lcLoad& load = turnedLoad();
    auto p = script<laPressure<double>>("function intensity(x, y, z) { return 1000 + 10 * x + 100 * z; }", 0.5);
    EXPECT_EQ(components(p->getIntensity(&load, {10, 3, 2}, lcLoad::global, 1.0)), std::vector<double>{1230});
    p->positionSystem = lcLoad::global;
    EXPECT_EQ(components(p->getIntensity(&load, {10, 3, 2}, lcLoad::global, 2.0)), std::vector<double>{2 * 1300});
    EXPECT_EQ(p->evaluationError(), "");

    auto area = script<laForcePerArea<double>>("function intensity(x, y, z) { return [x, y, z]; }", 0.5);
    area->positionSystem = lcLoad::global;
    EXPECT_EQ(components(area->getIntensity(&load, {1, 2, 3}, lcLoad::local, 1.0)), (std::vector<double>{1, 2, 3}));
    // Held in the local system, asked for globally: the local x axis is global y.
    const std::vector<double> turned = components(area->getIntensity(&load, {1, 2, 3}, lcLoad::global, 1.0));
    ASSERT_EQ(turned.size(), 3u);
    EXPECT_NEAR(turned[0], -2, 1e-12);
    EXPECT_NEAR(turned[1], 1, 1e-12);
    EXPECT_NEAR(turned[2], 3, 1e-12);
}

// Line scripts get the parameter along the load's line; without one, or off it, there is no
// value and no error.
TEST(Script, LineQuantitiesFollowTheLine) {
    std::unique_ptr<laFootprintLine> rail(mfCreate<laFootprintLine>(line3d(pos3d(0, 0, 6), pos3d(24, 0, 6))));
    const lcLoad load(coordsys3d(), rail.get());
    auto sun = script<laTemperature<double>>("function intensity(t) { return 15 + 10 * t; }");
    EXPECT_EQ(components(sun->getIntensity(&load, {24, 0, 6}, lcLoad::global, 1.0)), std::vector<double>{25});
    EXPECT_TRUE(sun->getIntensity(&load, {12, 5, 6}, lcLoad::global, 1.0).empty());
    EXPECT_EQ(sun->evaluationError(), "");
    EXPECT_TRUE(sun->getIntensity(nullptr, {12, 0, 6}, lcLoad::global, 1.0).empty());
    EXPECT_EQ(sun->evaluationError(), "");
}

// A failing script gives no value, and says why until the next evaluation that succeeds.
TEST(Script, FailuresLeaveNoValueAndAReason) {
    auto f = script<laForcePerArea<double>>("function intensity(x, y, z) { return x > 0 ? [x] : [x, y, z]; }", 0.5);
    f->positionSystem = lcLoad::global;
    EXPECT_TRUE(f->getIntensity(nullptr, {1, 0, 0}, lcLoad::global, 1.0).empty());
    EXPECT_EQ(f->evaluationError(), "intensity returned an array of 1 value, expected an array of 3 numbers");
    EXPECT_EQ(components(f->getIntensity(nullptr, {-1, 0, 0}, lcLoad::global, 1.0)), (std::vector<double>{-1, 0, 0}));
    EXPECT_EQ(f->evaluationError(), "");

    auto broken = script<laPressure<double>>("function intensity(x, y, z) { return x +; }", 0.5);
    EXPECT_TRUE(broken->getIntensity(nullptr, {}, lcLoad::global, 1.0).empty());
    EXPECT_EQ(broken->evaluationError(), broken->function()->compileError());
    EXPECT_NE(broken->evaluationError(), "");
}

}  // namespace
