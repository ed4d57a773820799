#include <gtest/gtest.h>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaIntensityJavaScript.h"
#include "kestrel/elements/xlaIntensityLinearParametric.h"
#include "kestrel/elements/xlaIntensityLinearVarying.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "kind_fixture.h"

namespace {

using kestrel_test::describe;
using Pressure = laPressure<double>;

template <class T>
using Owner = kestrel_test::Owner<laIntensityFunction<T>>;

class Kinds : public kestrel_test::KindFixture {
protected:
    // Reads `content` as the owner's function, expecting the errors given.
    template <class T>
    std::unique_ptr<laIntensityFunction<T>> readAs(const std::string& content, const std::string& errors) {
        Owner<T> in;
        EXPECT_EQ(describe(read(in, "<owner><f>" + content + "</f></owner>").errors), errors);
        return in.take();
    }
};

// Each coefficient is read in the quantity its unit calls for; a unit outside the three is refused.
TEST_F(Kinds, LinearVaryingCoefficientsFollowTheirUnits) {
    using F = laIntensityLinearVarying<Pressure>;
    const std::string rest = R"(<k3 unit="unknown" value="0"/><k4 value="0"/></pressure2d_linear_function>)";
    auto perLength = readAs<Pressure>(
        R"(<pressure2d_linear_function><k1 unit="length" value="2 kN/m3"/><k2 unit="angle" value="3 N/m2/deg"/>)" +
            rest,
        "");
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
    auto read = roundTrip<laIntensityFunction<Pressure>>(mfCreate<F>(mfCreate<jmfFunctionObject>(source), 0.25), &text);
    EXPECT_EQ(dynamic_cast<F&>(*read).script(), source);
    EXPECT_EQ(dynamic_cast<F&>(*read).refinement(), 0.25);
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
                                     "parse error (line 3, column 15)\n");
    ASSERT_NE(pressure, nullptr);
    EXPECT_EQ(dynamic_cast<laIntensityJavaScript<Pressure>&>(*pressure).script(), broken);
}

}  // namespace
