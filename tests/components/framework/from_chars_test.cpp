// The fast number path answers exactly as std::from_chars does: same value to the bit, same end,
// same error, on the texts where the two could part.
#include "kestrel/components/framework/mfFromChars.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace {

TEST(FromChars, AgreesWithTheStandardParser) {
    auto agree = [](const std::string& text) {
        double fast = -7.0, standard = -7.0;
        const char* first = text.data();
        const char* last = first + text.size();
        const auto a = mfFromChars(first, last, fast);
        const auto b = std::from_chars(first, last, standard);
        EXPECT_EQ(a.ec, b.ec) << text;
        EXPECT_EQ(a.ptr, b.ptr) << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(fast), std::bit_cast<std::uint64_t>(standard)) << text;
    };
    // Zeros, subnormals, underflow and overflow, non-finite words, and texts that are no number.
    for (const char* text : {"0",       "-0",       "0.000",    "0e999",   "-0.0e-5", "1",   "-1.5",      "1e-400",
                             "-1e-400", "4.9e-324", "2.5e-320", "1.8e308", "-1e400",  "inf", "-infinity", "nan",
                             "NaN",     "1e",       "1e+",      "1.e5",    ".5",      "-.5", ".",         "-",
                             "",        "1x",       "00001.5",  "0x10",    "1E+2",    "+1",  "e5",        "1.5 m"})
        agree(text);
    for (const char* text : {"2.2250738585072014e-308", "2.2250738585072011e-308", "1.7976931348623157e308",
                             "123456789012345678901234567890", "0.1000000000000000055511151231257827",
                             "9007199254740993", "3.0000000000000000000000000000001e-5"})
        agree(text);
}

}  // namespace
