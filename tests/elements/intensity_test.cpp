#include <gtest/gtest.h>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaIntensityConstant.h"
#include "kestrel/elements/xlaIntensityThreePointVarying.h"
#include "kestrel/elements/xlaLimitFunctionRange.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "kestrel/model/laLimitFunctionLiquidPressure.h"
#include "kind_fixture.h"

namespace {

using kestrel_test::describe;
using Pressure = laPressure<double>;

template <class T>
using Owner = kestrel_test::Owner<laIntensityFunction<T>>;

class Intensities : public kestrel_test::KindFixture {};

// Each of the three values needs the position where the function takes it.
TEST_F(Intensities, ThreePointValuesNeedTheirPositions) {
    Owner<laForcePerArea<double>> owner("intensity");
    auto result = read(owner, R"(<owner><intensity><component2d_3point_varying>
        <intensity1 fx="0" fy="0" fz="0"><position x="0" y="0" z="0"/></intensity1>
        <intensity2 fx="0" fy="0" fz="0"/>
        <intensity3 fx="0" fy="0" fz="0"><position x="0" y="0" z="0"/></intensity3>
      </component2d_3point_varying></intensity></owner>)");
    EXPECT_EQ(describe(result.errors),
              "3 /owner/intensity/component2d_3point_varying/intensity2/position: Required field not found\n");
    EXPECT_EQ(owner.object, nullptr);
}

// Range types are read by their text; a text outside the table is refused.
TEST_F(Intensities, RangeTypesReadByText) {
    using R = laLimitFunctionRange;
    std::unique_ptr<xpFutureElementBase<laLimitFunctionPressure>> element(
        (--xpGetFutureElements<laLimitFunctionPressure>()->prototypes().end())->second->clone());
    auto& node = dynamic_cast<xpElement&>(*element);
    EXPECT_EQ(node.getName(), "limit_function_range");
    const std::string limits = R"("><lower_limit pressure="1"/><upper_limit pressure="2"/></limit_function_range>)";
    for (auto [text, type] : {std::pair{"lower_exclusive", R::lower_exclusive},
                              {"lower_inclusive", R::lower_inclusive},
                              {"upper_exclusive", R::upper_exclusive},
                              {"upper_inclusive", R::upper_inclusive},
                              {"both_exclusive", R::both_exclusive},
                              {"both_inclusive", R::both_inclusive},
                              {"lower_exclusive_upper_inclusive", R::lower_exclusive_upper_inclusive},
                              {"lower_inclusive_upper_exclusive", R::lower_inclusive_upper_exclusive}}) {
        readClean(node, R"(<limit_function_range range_type=")" + std::string(text) + limits);
        laLimitFunctionPressure* read = nullptr;
        ASSERT_TRUE(element->future_import(read));
        std::unique_ptr<laLimitFunctionPressure> owned(read);
        EXPECT_EQ(dynamic_cast<laLimitFunctionRange&>(*read).getRangeType(), type) << text;
    }
    auto refused = this->read(node, R"(<limit_function_range range_type="inclusive)" + limits);
    EXPECT_NE(describe(refused.errors).find("/limit_function_range/@range_type"), std::string::npos)
        << describe(refused.errors);
}

// A limit function read for a function that then fails is not left behind.
TEST_F(Intensities, FailedReadLeavesNoLimitFunctionBehind) {
    Owner<Pressure> owner("intensity");
    auto result = read(owner, R"(<owner><intensity><pressure2d_constant position_system="Global">
        <limit_function><limit_function_liquid_pressure/></limit_function>
        <intensity pressure="1"/></pressure2d_constant></intensity></owner>)");
    EXPECT_NE(describe(result.errors).find("@position_system"), std::string::npos) << describe(result.errors);
    EXPECT_EQ(owner.object, nullptr);
}

TEST_F(Intensities, ExportRefusesAnotherKindAndLeavesTheElementAlone) {
    xlaIntensityThreePointVarying<Pressure> element;
    element.m_intensity1 = Pressure(7);
    std::unique_ptr<laIntensityConstant<Pressure>> constant(mfCreate<laIntensityConstant<Pressure>>(Pressure(1)));
    constant->intensitySystem = lcLoad::global;
    EXPECT_FALSE(element.future_export(constant.get()));
    EXPECT_EQ(element.m_intensity1, Pressure(7));
    EXPECT_EQ(element.m_intensitySystem, lcLoad::local);
}

// A traction's load is updated once, with the direction already in place.
TEST_F(Intensities, TractionUpdatesItsLoadAfterTheDirection) {
    struct Watched : laIntensityConstant<laTraction<double>> {
        using laIntensityConstant::laIntensityConstant;
        void update_load() override { seen.push_back(direction); }
        std::vector<vec3d> seen;
    };
    std::unique_ptr<Watched> model(mfCreate<Watched>(laTraction<double>(1)));
    xlaIntensityConstant<laTraction<double>> element;
    element.m_direction = vec3d(0, 1, 0);
    element.xlaIntensityFunctionBase<laTraction<double>>::import(model.get());
    EXPECT_EQ(model->seen, std::vector<vec3d>{vec3d(0, 1, 0)});
}

}  // namespace
