#include "kestrel/components/framework/mfTextFormatter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

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

// Whole numbers with blanks around are read; anything else is refused with the type named.
TEST(LexicalCast, ReadsWholeNumbersAndRefusesAnythingElse) {
    EXPECT_EQ(mfLexicalCast<double>(" 5 "), 5.0);
    EXPECT_EQ(mfLexicalCast<double>("1e3"), 1000.0);
    EXPECT_TRUE(std::signbit(mfLexicalCast<double>("-0")));
    EXPECT_EQ(mfLexicalCast<double>("\t-2.5\n"), -2.5);
    EXPECT_EQ(mfLexicalCast<int>(" 5 "), 5);
    EXPECT_EQ(mfLexicalCast<int>("-0"), 0);
    EXPECT_EQ(mfLexicalCast<int>("-2147483648"), std::numeric_limits<int>::min());
    for (const char* text : {"5x", "", "abc", " ", "5 5", "inf", "0x10", "1e999", "+-5", "2-1", "1.5.5", "5-"})
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
    for (const auto& [value, text] : {std::pair{0.1, "0.1"}, {-0.0, "-0"}, {inf, "INF"}, {-inf, "-INF"}, {NAN, "NaN"}})
        EXPECT_EQ(mfTextFormatter::format_impl(value), text);
    EXPECT_TRUE(std::isnan(mfLexicalCast<double>(" NaN ")));
}

template <class... T>
struct Pack {};
struct Plain {};

// Names are blank-free XML names that keep apart what the type keeps apart.
TEST(TypeName, IsABlankFreeXmlNameOfTheWholeType) {
    const std::pair<const std::type_info*, const char*> names[] = {
        {&typeid(unsigned long), "unsignedlong"},
        {&typeid(Plain), "anonymousnamespace.Plain"},
        {&typeid(std::map<int, const double*>),
         "std.map_int_doubleconstPtr_std.less_int_std.allocator_std.pair_intconst_doubleconstPtr"},
        {&typeid(Pack<Plain&, int*>), "anonymousnamespace.Pack_anonymousnamespace.PlainRef_intPtr"},
        {&typeid(Pack<unsigned, long long>), "anonymousnamespace.Pack_unsignedint_longlong"},
        {&typeid(Pack<>), "anonymousnamespace.Pack_"},
        {&typeid(int[3]), "int3"}};
    for (const auto& [type, name] : names) EXPECT_EQ(mfTextFormatter::format_impl(*type), name);
    EXPECT_EQ(mfTextFormatter::format_impl(Plain{}), "<anonymousnamespace.Plain>");
    EXPECT_EQ(mfTextFormatter::format_impl(-12), "-12");
}

}  // namespace
