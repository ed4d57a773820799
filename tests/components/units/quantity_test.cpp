#include "kestrel/components/units/jsQuantity.h"

#include "kestrel/components/units/jsQuantityPattern.h"

#include <gtest/gtest.h>
#include <libxml/xmlregexp.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::string text(const jsQuantity& quantity) {
    return quantity.format(0, 0, 0, 0);
}

std::string refusal(std::string_view input, const jsUnitDescriptor& unit) {
    try {
        jsParseQuantity(input, unit);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "accepted";
}

TEST(QuantityFormat, WritesShortestNumberAndSiSymbol) {
    EXPECT_EQ(text(jsPressure(1000)) + ", " + text(jsLength(2.5)) + ", " + text(jsAngle(0.5)) + ", " +
                  text(jsForcePerUnitLength(12)) + ", " + text(jsForcePerUnitArea(3)) + ", " +
                  text(jsForcePerUnitVolume(4)) + ", " + text(jsForcePerUnitAreaPerAngle(5)) + ", " + text(jsForce(6)) +
                  ", " + text(jsMomentOfForce(7)) + ", " + text(jsTemperatureDifference(20)),
              "1000 Pa, 2.5 m, 0.5 rad, 12 N/m, 3 N/m2, 4 N/m3, 5 N/m2/rad, 6 N, 7 N.m, 20 K");
    EXPECT_EQ(text(jsTQuantity<jsLength>(" 300 mm ")), "0.3 m");
}

// The SI fast path and spellings that reach UDUNITS with a unit scale must both keep every bit.
TEST(QuantityRoundTrip, FormattedTextReadsBackBitIdentical) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double value : {DBL_MAX, -DBL_MAX, std::numeric_limits<double>::denorm_min(), DBL_MIN, -0.0, 0.1, 1e-300,
                         1.0 / 3, inf, -inf}) {
        std::string number = text(jsForce(value));
        number.resize(number.find(' '));
        for (const auto& [spelling, unit] :
             {std::pair{text(jsPressure(value)), jsPressure::descriptor()},
              {text(jsAngle(value)), jsAngle::descriptor()},
              {text(jsForcePerUnitAreaPerAngle(value)), jsForcePerUnitAreaPerAngle::descriptor()},
              {number + " Nm", jsMomentOfForce::descriptor()},
              {number + " m.N", jsMomentOfForce::descriptor()},
              {number + " Celsius", jsTemperatureDifference::descriptor()}})
            EXPECT_EQ(std::bit_cast<std::uint64_t>(jsParseQuantity(spelling, unit)),
                      std::bit_cast<std::uint64_t>(value))
                << spelling;
    }
    EXPECT_TRUE(std::isnan(jsParseQuantity(text(jsLength(NAN)), jsLength::descriptor())));
}

TEST(QuantityParse, AcceptsUdunitsAndEngineeringSpellings) {
    const double pi = std::numbers::pi;
    struct Case {
        const char* text;
        const jsUnitDescriptor& unit;
        double expected;
    } cases[] = {
        {"10 kN/m²", jsForcePerUnitArea::descriptor(), 10000},
        {"2.5 MPa", jsPressure::descriptor(), 2.5e6},
        {"\t+1.5e3\n", jsLength::descriptor(), 1500},
        {"30 deg", jsAngle::descriptor(), pi / 6},
        {"30°", jsAngle::descriptor(), pi / 6},
        {"1 kN/m2/deg", jsForcePerUnitAreaPerAngle::descriptor(), 180000 / pi},
        {"12 kNm", jsMomentOfForce::descriptor(), 12000},
        {"7kN", jsForce::descriptor(), 7000},
        {"2 tf", jsForce::descriptor(), 19613.3},
        {"5 Celsius", jsTemperatureDifference::descriptor(), 5},
        {"9 degF", jsTemperatureDifference::descriptor(), 5},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(jsParseQuantity(c.text, c.unit), c.expected) << c.text;
}

TEST(QuantityParse, RefusesWithMessageNamingTextAndQuantity) {
    EXPECT_EQ(refusal("5 kg", jsPressure::descriptor()),
              R"(cannot read "5 kg" as a pressure (Pa): "kg" does not convert to Pa)");
    EXPECT_EQ(refusal("1 x", jsAngle::descriptor()), R"(cannot read "1 x" as an angle (rad): unknown unit "x")");
    struct Case {
        std::string text;
        const char* reason;
    } cases[] = {
        {"  ", "no number"},
        {"1e400 m", "number out of range"},
        {"-1e999", "number out of range"},
        {"1e308 km", "value out of range in m"},
        {"5e-324 mm", "value out of range in m"},
        {"5 m)", "unbalanced parenthesis"},
        {std::string("5 mm\0junk", 9), "control character"},
        {"5 m\xff", "malformed unit"},
        {"5 lg(re m)", "\"lg(re m)\" is not a linear unit"},
        {"5 Celsius", "\"Celsius\" does not convert to m"},
        {"5 -m", "malformed unit"},
    };
    for (const Case& c : cases)
        EXPECT_NE(refusal(c.text, jsLength::descriptor()).find(std::string("as a length (m): ") + c.reason),
                  std::string::npos)
            << c.text;
    // Signs and exponents out of place, and letters glued to a non-finite number.
    for (const char* text :
         {"abc m", "1.2.3 m", "+-5 m", "-+5", "--5", "++5", "5- m", "5-m", "5+ m", "5e m", "1e+-3 m", "INFm", "5,0 m"})
        EXPECT_NE(refusal(text, jsLength::descriptor()).find("as a length (m): malformed number"), std::string::npos)
            << text;
    // UDUNITS alone would drop the stray byte and read a dimensionless 1.
    EXPECT_NE(refusal("5 \xc2", jsAngle::descriptor()).find("malformed unit"), std::string::npos);
    // A long text is cut short of the character that straddles the limit.
    const std::string message =
        refusal("1 " + std::string(197, 'm') + "é" + std::string(99999, 'm'), jsLength::descriptor());
    EXPECT_LT(message.size(), 600u);
    EXPECT_NE(message.find("\"1 " + std::string(197, 'm') + "...\""), std::string::npos) << message;
}

// A cache keyed by unit text alone would let one quantity's verdict leak into another's.
TEST(QuantityCache, KeepsQuantitiesApart) {
    EXPECT_DOUBLE_EQ(jsParseQuantity("5 mm", jsLength::descriptor()), 0.005);
    EXPECT_NE(refusal("5 mm", jsPressure::descriptor()), "accepted");
    const jsUnitDescriptor temperature{"temperature", "K", false};
    EXPECT_DOUBLE_EQ(jsParseQuantity("5 Celsius", temperature), 278.15);
    EXPECT_DOUBLE_EQ(jsParseQuantity("212 degF", temperature), 373.15);
    EXPECT_DOUBLE_EQ(jsParseQuantity("5 Celsius", jsTemperatureDifference::descriptor()), 5);
}

// Distinct unit texts keep both threads inside UDUNITS, past the cache's size limit too.
TEST(QuantityCache, ParsesFromTwoThreadsAlike) {
    auto parseAll = [](int first, std::vector<double>& out) {
        for (int i = first; i < first + 3000; ++i)
            out.push_back(jsParseQuantity("1 " + std::to_string(i % 2000 + 1) + " mm", jsLength::descriptor()));
    };
    std::vector<double> a, b;
    std::thread one(parseAll, 0, std::ref(a)), two(parseAll, 1000, std::ref(b));
    one.join();
    two.join();
    for (int i = 0; i < 3000; ++i) {
        EXPECT_DOUBLE_EQ(a[i], (i % 2000 + 1) * 0.001);
        EXPECT_DOUBLE_EQ(b[i], ((i + 1000) % 2000 + 1) * 0.001);
    }
}

}  // namespace

namespace {

// Whether the schema pattern of a quantity matches a text, as a schema validator applies it.
bool patternMatches(const jsUnitDescriptor& unit, const std::string& text) {
    const std::string pattern = jsQuantityPattern(unit);
    xmlRegexpPtr regex = xmlRegexpCompile(reinterpret_cast<const xmlChar*>(pattern.c_str()));
    EXPECT_NE(regex, nullptr);
    if (!regex) return false;
    const int result = xmlRegexpExec(regex, reinterpret_cast<const xmlChar*>(text.c_str()));
    xmlRegFreeRegexp(regex);
    return result == 1;
}

// Every text the parser accepts matches the pattern; malformed numbers, non-finite numbers and
// common units of other quantities do not.
TEST(QuantityPattern, AcceptsWhatTheParserReadsAndRefusesForeignUnits) {
    const auto& length = jsLength::descriptor();
    for (const char* accepted : {"5", "-5", "+.5", "5.", "1e-3", "5 m", "5m", "5mm", " 5e3 mm ", "12 ft", "5 furlong",
                                 "5 1000 m", "3 m ", "1\tkm", "1e+3 m", "2 µm", "5 kN/kN.m"}) {
        EXPECT_NO_THROW(jsParseQuantity(accepted, length)) << accepted;
        EXPECT_TRUE(patternMatches(length, accepted)) << accepted;
    }
    for (const char* refused :
         {"5 kN", "5kN", "5 kN ", "5 Pa", "1e3kN", "5.kN", "5 N.m", "NaN", "INF m", "inf", "5..", "m", "", "5 deg"}) {
        EXPECT_FALSE(patternMatches(length, refused)) << refused;
    }
    EXPECT_TRUE(patternMatches(jsPressure::descriptor(), "2.5 kN/m2"));
    EXPECT_TRUE(patternMatches(jsAngle::descriptor(), "30°"));
    EXPECT_FALSE(patternMatches(jsAngle::descriptor(), "30 m"));
    EXPECT_TRUE(patternMatches(jsTemperatureDifference::descriptor(), "5 degC"));
    EXPECT_EQ(jsQuantityTypeName(jsForcePerUnitLength::descriptor()), "forcePerUnitLengthQuantity");
}

}  // namespace
