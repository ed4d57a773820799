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

class Intensities : public kestrel_test::KindFixture {
protected:
    // Writes the function through a member of its base and reads it back.
    template <class T>
    std::unique_ptr<laIntensityFunction<T>> roundTrip(laIntensityFunction<T>* function,
                                                      std::string* written = nullptr) {
        return KindFixture::roundTrip(function, written, "intensity");
    }
};

// The systems are attributes; a traction's direction is a child of its own.
TEST_F(Intensities, ConstantsWriteTheirSystemsAndDirection) {
    std::string text;
    auto* pressure = mfCreate<laIntensityConstant<Pressure>>(Pressure(5));
    pressure->positionSystem = lcLoad::global;
    auto back = roundTrip<Pressure>(pressure, &text);
    EXPECT_NE(text.find(R"(<pressure2d_constant intensity_system="local" position_system="global">
      <intensity pressure="5 Pa" />)"),
              std::string::npos)
        << text;
    auto& constant = dynamic_cast<laIntensityConstant<Pressure>&>(*back);
    EXPECT_EQ(constant.value, Pressure(5));
    EXPECT_EQ(constant.internalPositionSystem(), lcLoad::global);
    EXPECT_EQ(constant.internalIntensitySystem(), lcLoad::local);
    EXPECT_EQ(constant.getLimit(), nullptr);

    auto* traction = mfCreate<laIntensityConstant<laTraction<double>>>(laTraction<double>(3));
    traction->direction = vec3d(0, 0, 1);
    auto tBack = roundTrip<laTraction<double>>(traction, &text);
    EXPECT_NE(text.find(R"(<direction x="0" y="0" z="1" />)"), std::string::npos) << text;
    EXPECT_EQ(tBack->direction, vec3d(0, 0, 1));
}

// The points alternate with the values in the constructor; each value keeps its own point.
TEST_F(Intensities, ThreePointKeepsEachValueWithItsPoint) {
    using F = laIntensityThreePointVarying<laForcePerArea<double>>;
    const laForcePerArea<double> q1(1, 0, 0), q2(0, 2, 0), q3(0, 0, 3);
    std::string text;
    auto back = roundTrip<laForcePerArea<double>>(
        mfCreate<F>(pos3d(1, 0, 0), q1, pos3d(0, 1, 0), q2, pos3d(0, 0, 1), q3), &text);
    EXPECT_NE(text.find(R"(<intensity2 fx="0 N/m2" fy="2 N/m2" fz="0 N/m2">
        <position x="0 m" y="1 m" z="0 m" />)"),
              std::string::npos)
        << text;
    auto& function = dynamic_cast<F&>(*back);
    EXPECT_EQ(function.value1, q1);
    EXPECT_EQ(function.value3, q3);
    EXPECT_EQ(function.point2, pos3d(0, 1, 0));
    EXPECT_EQ(function.point3, pos3d(0, 0, 1));

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

TEST_F(Intensities, LimitFunctionsTravelInsidePressureFunctions) {
    auto* ranged = mfCreate<laIntensityConstant<Pressure>>(Pressure(1));
    ranged->setLimit(
        mfCreate<laLimitFunctionRange>(Pressure(1000), Pressure(5000), laLimitFunctionRange::lcRangeType(13)));
    std::string text;
    auto back = roundTrip<Pressure>(ranged, &text);
    EXPECT_NE(text.find(R"(<limit_function>
        <limit_function_range range_type="lower_exclusive_upper_inclusive">
          <lower_limit pressure="1000 Pa" />
          <upper_limit pressure="5000 Pa" />)"),
              std::string::npos)
        << text;
    auto* range = dynamic_cast<laLimitFunctionRange*>(back->getLimit());
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->getRangeType(), laLimitFunctionRange::lower_exclusive_upper_inclusive);
    EXPECT_EQ(range->getUpperLimit(), Pressure(5000));

    auto* liquid = mfCreate<laIntensityThreePointVarying<Pressure>>(pos3d(0, 0, 0), Pressure(1), pos3d(1, 0, 0),
                                                                    Pressure(2), pos3d(0, 1, 0), Pressure(3));
    liquid->setLimit(mfCreate<laLimitFunctionLiquidPressure>());
    back = roundTrip<Pressure>(liquid, &text);
    EXPECT_NE(text.find("<limit_function_liquid_pressure />"), std::string::npos) << text;
    EXPECT_NE(dynamic_cast<laLimitFunctionLiquidPressure*>(back->getLimit()), nullptr);
}

// Range types are read by their text; a text outside the table is refused.
TEST_F(Intensities, RangeTypesReadByText) {
    std::unique_ptr<xpFutureElementBase<laLimitFunctionPressure>> element(
        (--xpGetFutureElements<laLimitFunctionPressure>()->prototypes().end())->second->clone());
    auto& node = dynamic_cast<xpElement&>(*element);
    EXPECT_EQ(node.getName(), "limit_function_range");
    const std::string limits = R"(<lower_limit pressure="1"/><upper_limit pressure="2"/></limit_function_range>)";
    readClean(node, R"(<limit_function_range range_type="upper_inclusive">)" + limits);
    laLimitFunctionPressure* read = nullptr;
    ASSERT_TRUE(element->future_import(read));
    std::unique_ptr<laLimitFunctionPressure> owned(read);
    EXPECT_EQ(dynamic_cast<laLimitFunctionRange&>(*read).getRangeType(), laLimitFunctionRange::upper_inclusive);

    auto refused = this->read(node, R"(<limit_function_range range_type="inclusive">)" + limits);
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

// Copies have nodes of their own, keep both systems, and share the limit function pointer,
// never the function.
TEST_F(Intensities, CopiesShareNoNodes) {
    std::unique_ptr<laLimitFunctionPressure> limit(mfCreate<laLimitFunctionLiquidPressure>());
    auto original = std::make_unique<xlaIntensityConstant<Pressure>>();
    original->setName("pressure2d_constant");
    original->m_intensity = Pressure(3);
    original->m_limit = limit.get();
    original->m_intensitySystem = lcLoad::global;
    original->m_positionSystem = lcLoad::global;
    xlaIntensityConstant<Pressure> copy(*original);
    EXPECT_EQ(copy.m_limit, limit.get());
    original.reset();
    copy.m_limit = nullptr;
    const std::string text = write(copy);
    EXPECT_NE(text.find(R"(<pressure2d_constant intensity_system="global" position_system="global">)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(R"(pressure="3 Pa")"), std::string::npos);

    xlaIntensityConstant<laTraction<double>> traction;
    traction.m_positionSystem = lcLoad::global;
    traction.m_direction = vec3d(0, 0, 1);
    xlaIntensityConstant<laTraction<double>> tractionCopy(traction);
    EXPECT_EQ(tractionCopy.m_positionSystem, lcLoad::global);
    EXPECT_EQ(tractionCopy.m_direction, vec3d(0, 0, 1));
}

TEST_F(Intensities, LimitFunctionsAreOfferedInKeyOrder) {
    Owner<Pressure> owner("intensity");
    pugi::xml_document xsd;
    ASSERT_TRUE(xsd.load_string(xpDocument::schema(owner).c_str()));
    auto choice = xsd.select_node("//xs:element[@name='limit_function']//xs:choice").node();
    std::string names;
    for (auto element : choice.children("xs:element")) names += element.attribute("name").value() + std::string(" ");
    EXPECT_EQ(names, "limit_function_liquid_pressure limit_function_range ");
}

}  // namespace
