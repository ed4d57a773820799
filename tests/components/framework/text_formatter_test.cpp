#include "kestrel/components/framework/mfTextFormatter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "kestrel/components/framework/mfLexicalCast.h"

namespace {

template <class T>
std::string refusal(const std::string& text) {
    try {
        mfLexicalCast<T>(text);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "accepted";
}

TEST(LexicalCast, AcceptsWholeNumbersWithBlanksAround) {
    EXPECT_EQ(mfLexicalCast<double>(" 5 "), 5.0);
    EXPECT_EQ(mfLexicalCast<double>("1e3"), 1000.0);
    EXPECT_TRUE(std::signbit(mfLexicalCast<double>("-0")));
    EXPECT_EQ(mfLexicalCast<double>("\t-2.5\n"), -2.5);
    EXPECT_EQ(mfLexicalCast<int>(" 5 "), 5);
    EXPECT_EQ(mfLexicalCast<int>("-0"), 0);
    EXPECT_EQ(mfLexicalCast<int>("-2147483648"), std::numeric_limits<int>::min());
}

TEST(LexicalCast, RefusesAnythingElse) {
    for (const char* text : {"5x", "", "abc", " ", "5 5", "inf", "0x10", "1e999"})
        EXPECT_EQ(refusal<double>(text), "Bad lexical cast: from std::string to double") << text;
    for (const char* text : {"5x", "", "abc", "1e3", "2.5", "2147483648"})
        EXPECT_EQ(refusal<int>(text), "Bad lexical cast: from std::string to int") << text;
}

// The formatter's text must read back through the cast to the very same bits.
TEST(DoubleText, ReadsBackBitExact) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double value :
         {DBL_MAX, -DBL_MAX, DBL_MIN, std::numeric_limits<double>::denorm_min(),
          -std::numeric_limits<double>::denorm_min(), -0.0, 0.0, 0.1, 1.0 / 3, 1e21, 123456789012345678.0, inf, -inf}) {
        std::string text = mfTextFormatter::format_impl(value);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(mfLexicalCast<double>(text)), std::bit_cast<std::uint64_t>(value))
            << text;
    }
    EXPECT_EQ(mfTextFormatter::format_impl(0.1), "0.1");
    EXPECT_EQ(mfTextFormatter::format_impl(-0.0), "-0");
    EXPECT_EQ(mfTextFormatter::format_impl(inf), "INF");
    EXPECT_EQ(mfTextFormatter::format_impl(-inf), "-INF");
    EXPECT_EQ(mfTextFormatter::format_impl(std::nan("")), "NaN");
    EXPECT_TRUE(std::isnan(mfLexicalCast<double>(" NaN ")));
}

template <class... T>
struct Pack {};
struct Plain {};

TEST(TypeName, IsABlankFreeXmlNameAndStable) {
    const std::regex xmlName("[A-Za-z_][A-Za-z0-9._-]*");
    std::vector<std::string> names;
    for (const std::type_info* type : {&typeid(int), &typeid(unsigned long), &typeid(std::string), &typeid(Plain),
                                       &typeid(std::map<int, const double*>), &typeid(Pack<Plain&, int*>),
                                       &typeid(Pack<unsigned, long long>), &typeid(Pack<>), &typeid(int[3])}) {
        std::string name = mfTextFormatter::format_impl(*type);
        EXPECT_TRUE(std::regex_match(name, xmlName)) << name;
        EXPECT_EQ(name, mfTextFormatter::format_impl(*type));
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    EXPECT_EQ(mfTextFormatter::format_impl(typeid(Plain)), "anonymousnamespace.Plain");
}

TEST(TypeName, OtherValuesUseTheirOwnFormatOrTheirTypeName) {
    EXPECT_EQ(mfTextFormatter::format_impl(Plain{}), "<anonymousnamespace.Plain>");
    EXPECT_EQ(mfTextFormatter::format_impl(-12), "-12");
}

}  // namespace
