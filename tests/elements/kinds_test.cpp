#include <gtest/gtest.h>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/components/geometry/mfSpaceBase.h"
#include "kestrel/elements/xlaIntensityFunctionGrid.h"
#include "kestrel/elements/xlaIntensityJavaScript.h"
#include "kestrel/elements/xlaIntensityLinearParametric.h"
#include "kestrel/elements/xlaIntensityLinearVarying.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "kind_fixture.h"

namespace {

using kestrel_test::describe;
using Pressure = laPressure<double>;
using Grid = laIntensityFunctionGrid<Pressure>;

template <class T>
using Owner = kestrel_test::Owner<laIntensityFunction<T>>;

class Kinds : public kestrel_test::KindFixture {
protected:
    template <class M, class T = typename M::value_type>
    std::unique_ptr<M> roundTrip(M* function, std::string& written) {
        return std::unique_ptr<M>(
            dynamic_cast<M*>(KindFixture::roundTrip<laIntensityFunction<T>>(function, &written).release()));
    }

    // Reads `content` as the owner's function, expecting the errors given.
    template <class T>
    std::unique_ptr<laIntensityFunction<T>> readAs(const std::string& content, const std::string& errors) {
        Owner<T> in;
        EXPECT_EQ(describe(read(in, "<owner><f>" + content + "</f></owner>").errors), errors);
        return in.take();
    }
};

// Each coefficient is written in the quantity its unit calls for and read back by that unit.
TEST_F(Kinds, LinearVaryingCoefficientsFollowTheirUnits) {
    using F = laIntensityLinearVarying<Pressure>;
    std::string text;
    auto back =
        roundTrip(mfCreate<F>(2.0, coordsys3d::length, 0.5, coordsys3d::angle, 7.0, coordsys3d::unknown, 10.0), text);
    EXPECT_NE(text.find(R"(<k1 unit="length" value="2 N/m3" />)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"(<k2 unit="angle" value="0.5 N/m2/rad" />)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"(<k3 unit="unknown" value="7" />)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"(<k4 value="10 N/m2" />)"), std::string::npos) << text;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(back->coefficient(i), (std::array{2.0, 0.5, 7.0})[i]);
    EXPECT_EQ(back->unit(1), coordsys3d::angle);
    EXPECT_EQ(back->unit(2), coordsys3d::unknown);
    EXPECT_EQ(back->coefficient(3), 10.0);

    const std::string rest = R"(<k3 unit="unknown" value="0"/><k4 value="0"/></pressure2d_linear_function>)";
    auto perLength = readAs<Pressure>(
        R"(<pressure2d_linear_function><k1 unit="length" value="2 kN/m3"/><k2 unit="angle" value="3 N/m2/deg"/>)" +
            rest,
        "");
    EXPECT_EQ(perLength->description(nullptr).find("Linear"), 0u) << perLength->description(nullptr);
    auto& linear = dynamic_cast<F&>(*perLength);
    EXPECT_EQ(linear.coefficient(0), 2000.0);
    EXPECT_DOUBLE_EQ(linear.coefficient(1), 3 * 180 / M_PI);
    EXPECT_EQ(readAs<Pressure>(R"(<pressure2d_linear_function><k1 unit="radial" value="1"/>)"
                               R"(<k2 unit="length" value="1"/>)" +
                                   rest,
                               "1 /owner/f/pressure2d_linear_function/k1: no alternative accepts unit=\"radial\" "
                               "value=\"1\"\n"),
              nullptr);
}

// The two values are told apart by "end", not by their order.
TEST_F(Kinds, LinearParametricEndsAreMatchedByEnd) {
    using F = laIntensityLinearParametric<laTemperature<double>>;
    std::string text;
    auto back = roundTrip(mfCreate<F>(laTemperature<double>(20), laTemperature<double>(30)), text);
    EXPECT_LT(text.find(R"(<intensity temperature="20 K" end="1" />)"), text.find(R"(temperature="30 K" end="2")"))
        << text;
    EXPECT_EQ(back->value2, laTemperature<double>(30));

    auto swapped = readAs<laForcePerLength<double>>(R"(<component1d_linear>
        <intensity fx="0" fy="0" fz="-2" end="2"/><intensity fx="1" fy="0" fz="0" end="1"/></component1d_linear>)",
                                                    "");
    auto& line = dynamic_cast<laIntensityLinearParametric<laForcePerLength<double>>&>(*swapped);
    EXPECT_EQ(line.value1, laForcePerLength<double>(1, 0, 0));
    EXPECT_EQ(line.value2, laForcePerLength<double>(0, 0, -2));
}

TEST_F(Kinds, ScriptsTravelAsBase64) {
    using F = laIntensityJavaScript<Pressure>;
    const std::string source = "function intensity(x, y, z) { var s = \"]]>\";\r\n\treturn z < 3 && x > 0 ? 1 : 2; }";
    std::string text;
    auto back = roundTrip(mfCreate<F>(mfCreate<jmfFunctionObject>(source), 0.25), text);
    EXPECT_EQ(back->script(), source);
    EXPECT_EQ(back->refinement(), 0.25);
    EXPECT_EQ(text.find("&&"), std::string::npos) << text;
    EXPECT_NE(text.find(R"(refinement="0.25 m">)"), std::string::npos) << text;

    EXPECT_EQ(readAs<Pressure>(R"(<pressure2d_javascript refinement="1"><function encoding="plain">)"
                               R"(<![CDATA[cmV0dXJuIDE7]]></function></pressure2d_javascript>)",
                               "1 /owner/f/pressure2d_javascript/function: attribute \"encoding\" does not accept "
                               "\"plain\", expected \"base64\"\n"),
              nullptr);
}

// A script that does not compile is reported where its element stands, with its own line and
// column, and kept: writing the function again loses nothing.
TEST_F(Kinds, ScriptsThatDoNotCompileAreReportedAndKept) {
    std::string text;
    auto* empty = mfCreate<laIntensityJavaScript<laTemperature<double>>>(mfCreate<jmfFunctionObject>(""));
    Owner<laTemperature<double>> out;
    out.object = empty;
    text = write(out);
    EXPECT_NE(text.find(R"(<temperature1d_javascript intensity_system="local" position_system="local">)"),
              std::string::npos)
        << text;
    Owner<laTemperature<double>> in;
    const xpReadResult kept = read(in, text);
    EXPECT_EQ(describe(kept.errors), "4 /owner/f/temperature1d_javascript: the script defines no function intensity\n");
    ASSERT_EQ(kept.errors.size(), 1u);
    const std::size_t at = text.find("<temperature1d_javascript");
    EXPECT_EQ(kept.errors[0].column, int(at - text.rfind('\n', at)));
    auto read = in.take();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(dynamic_cast<laIntensityJavaScript<laTemperature<double>>&>(*read).script(), "");

    const std::string broken = "// wind\nfunction intensity(x, y, z) {\n  return x +* 2;\n}";
    auto pressure = readAs<Pressure>("\n<pressure2d_javascript refinement=\"1\"><function encoding=\"base64\">" +
                                         Base64::encode(broken) + "</function></pressure2d_javascript>",
                                     "2 /owner/f/pressure2d_javascript: the script does not compile: SyntaxError: "
                                     "expected expression, got '*' (line 3, column 13)\n");
    ASSERT_NE(pressure, nullptr);
    EXPECT_EQ(dynamic_cast<laIntensityJavaScript<Pressure>&>(*pressure).script(), broken);
}

// Export writes every node, x outermost; import puts each point on its node.
TEST_F(Kinds, GridPointsLandOnTheirNodes) {
    auto* grid = mfCreate<Grid>();
    grid->setXValues({0, 1});
    grid->setYValues({0});
    grid->setZValues({0});
    grid->node(0, 0, 0) = Pressure(100);
    grid->node(1, 0, 0) = Pressure(200);
    std::string text;
    auto back = roundTrip(grid, text);
    EXPECT_NE(text.find(R"(<pressure_points>
        <pressure_point x="0 m" y="0 m" z="0 m" pressure="100 Pa" />
        <pressure_point x="1 m" y="0 m" z="0 m" pressure="200 Pa" />
      </pressure_points>)"),
              std::string::npos)
        << text;
    EXPECT_EQ(back->xValues(), (Vector<double>{0, 1}));
    EXPECT_EQ(back->nodeValue(1, 0, 0), Pressure(200));

    auto* empty = mfCreate<Grid>();
    empty->setXValues({0, 1});
    roundTrip(empty, text);
    EXPECT_NE(text.find("<y_values />"), std::string::npos) << text;
    EXPECT_EQ(text.find("pressure_points"), std::string::npos) << text;
}

// A point on no node is reported, in document order, and left out; the grid is still read.
// Nodes match strictly within the length tolerance.
TEST_F(Kinds, StrayGridPointsAreReportedAndTheGridKept) {
    const double near = mfSpaceBase::m_accuracy / 2;
    const double off = mfSpaceBase::m_accuracy;
    auto grid = readAs<Pressure>(
        "<pressure2d_grid><grid><x_values><x_value value=\"0\"/><x_value value=\"1\"/></x_values>"
        "<y_values><y_value value=\"0\"/></y_values><z_values><z_value value=\"0\"/></z_values></grid>"
        "<pressure_points><pressure_point x=\"0.5\" y=\"0\" z=\"0\" pressure=\"7\"/>"
        "<pressure_point x=\"" +
            mfTextFormatter::format_impl(near) + "\" y=\"0\" z=\"0\" pressure=\"8\"/><pressure_point x=\"" +
            mfTextFormatter::format_impl(off) +
            "\" y=\"0\" z=\"0\" pressure=\"9\"/></pressure_points></pressure2d_grid>",
        "1 /owner/f/pressure2d_grid: (0.5, 0, 0) does not represent a gridpoint\n"
        "1 /owner/f/pressure2d_grid: (" +
            mfTextFormatter::format_impl(off) + ", 0, 0) does not represent a gridpoint\n");
    ASSERT_NE(grid, nullptr);
    auto& read = dynamic_cast<Grid&>(*grid);
    EXPECT_EQ(read.nodeValue(0, 0, 0), Pressure(8));
    EXPECT_EQ(read.nodeValue(1, 0, 0), Pressure());
}

}  // namespace
