#include <gtest/gtest.h>

#include <typeinfo>

#include "components/framework/jmfFunctionObject.h"
#include "components/framework/mfProgram.h"
#include "counting_factory.h"
#include "model/laIntensityJavaScript.h"

namespace {

using PressureScript = laIntensityJavaScript<laPressure<double>>;

TEST(Script, HoldsItsFunctionAndRefinementThroughClonesAndDiesThroughEitherBase) {
    const long start = mfProgram::program().defaultStrategy().live();
    {
        CountingFactory factory;
        auto* f = mfCreate<PressureScript>(mfCreate<jmfFunctionObject>("return x < 1;"), 0.25);
        EXPECT_TRUE(f->getIntensity(nullptr, {1, 2, 3}, lcLoad::global, 1.0).empty());
        EXPECT_EQ(f->description(nullptr), "Script Pressure\nreturn x < 1;");
        mfMetaObject* object = f;
        EXPECT_EQ(object->getInterface(typeid(lcIntensityFunctionRefinement)),
                  static_cast<lcIntensityFunctionRefinement*>(f));

        auto* copy = dynamic_cast<PressureScript*>(f->clone(nullptr));
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy->function(), f->function());
        EXPECT_EQ(copy->function()->toString(), "return x < 1;");
        EXPECT_EQ(copy->refinement(), 0.25);
        lcIntensityFunctionRefinement* refinement = copy;
        delete refinement;

        delete f;

        auto* none = mfCreate<laIntensityJavaScript<laTemperature<double>>>(nullptr);
        EXPECT_EQ(none->script(), "");
        EXPECT_EQ(none->getInterface(typeid(lcIntensityFunctionRefinement)), nullptr);
        delete none;
        EXPECT_EQ(factory.functions, 3);
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), start);
}

}  // namespace
