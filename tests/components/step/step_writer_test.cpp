#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

#include "kestrel/components/step/mfStepGuid.h"
#include "kestrel/components/step/mfStepWriter.h"

TEST(step_writer, strings_are_encoded) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", "''"},
        {"plain text", "'plain text'"},
        {"it's", "'it''s'"},
        {"a\\b", "'a\\\\b'"},
        {"M\xC3\xBCller", "'M\\X2\\00FC\\X0\\ller'"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "'\\X2\\65E5672C\\X0\\'"},
        {"\xF0\x9F\x98\x80", "'\\X4\\0001F600\\X0\\'"},
        {"\xC3\xA9\xF0\x9F\x98\x80", "'\\X2\\00E9\\X0\\\\X4\\0001F600\\X0\\'"},
        {"a\nb", "'a\\X2\\000A\\X0\\b'"},
        {"\x7F", "'\\X2\\007F\\X0\\'"},
        // Bytes that are no UTF-8: a stray byte, a cut sequence, an overlong form, a surrogate.
        {"\xFF", "'\\X2\\FFFD\\X0\\'"},
        {"x\xC3", "'x\\X2\\FFFD\\X0\\'"},
        {"\xC0\x80", "'\\X2\\FFFDFFFD\\X0\\'"},
        {"\xED\xA0\x80", "'\\X2\\FFFDFFFDFFFD\\X0\\'"},
        {"\xF4\x90\x80\x80", "'\\X2\\FFFDFFFDFFFDFFFD\\X0\\'"},
    };
    for (const auto& c : cases) EXPECT_EQ(mfStepWriter::encode(c.in), c.out) << c.in;
}

TEST(step_writer, reals_read_back_to_the_same_double) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.0, "0."},      {-0.0, "-0."},       {-120000, "-120000."}, {0.1, "0.1"},
                 {1e20, "1.E+20"}, {1.5e-7, "1.5E-07"}, {-1e-300, "-1.E-300"}};
    for (const auto& c : cases) EXPECT_EQ(mfStepWriter::formatReal(c.value), c.text);
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> exponent(-300, 300);
    std::vector<double> values;
    for (int i = 0; i < 2000; ++i)
        values.push_back(std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1) * (1 + i / 3.0));
    // Written twice through a writer, which recalls the text of reals it wrote lately.
    std::ostringstream out;
    mfStepWriter writer(out);
    writer.begin("X");
    for (int pass = 0; pass < 2; ++pass)
        for (const double value : values) writer.real(value).real(-value);
    EXPECT_THROW(writer.real(NAN), std::invalid_argument);
    EXPECT_THROW(writer.real(-INFINITY), std::invalid_argument);
    writer.end();
    writer.finish();
    std::istringstream texts(out.str().substr(out.str().find("X(") + 2));
    std::string text;
    for (std::size_t i = 0; i < 4 * values.size() && std::getline(texts, text, ','); ++i) {
        ASSERT_NE(text.find('.'), std::string::npos) << text;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), (i % 2 ? -1 : 1) * values[i / 2 % values.size()]) << text;
    }
}

TEST(step_writer, instances_number_and_separate_their_attributes) {
    std::ostringstream out;
    mfStepWriter step(out);
    step.header({"ViewDefinition [X]", "a'b.ifc", "2026-01-01T00:00:00", "kestrel 1", "IFC4X3_ADD2"});
    const auto later = step.reserve();
    EXPECT_EQ(later, 1U);
    EXPECT_EQ(step.begin("IFCA"), 2U);
    step.ref(later).null().derived().enumeration("LOADING_3D").boolean(false).integer(-3);
    step.open().open().real(1).real(2).close().open().close().close();
    step.typed("IFCLABEL").string("x").close().string("y");
    step.end();
    EXPECT_EQ(step.begin("IFCB", later), later);
    step.end();
    EXPECT_EQ(step.begin("IFCC"), 3U);
    step.end();
    step.finish();
    EXPECT_EQ(out.str(),
              "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [X]'),'2;1');\n"
              "FILE_NAME('a''b.ifc','2026-01-01T00:00:00',(''),(''),'kestrel 1','kestrel 1','');\n"
              "FILE_SCHEMA(('IFC4X3_ADD2'));\nENDSEC;\nDATA;\n"
              "#2=IFCA(#1,$,*,.LOADING_3D.,.F.,-3,((1.,2.),()),IFCLABEL('x'),'y');\n#1=IFCB();\n#3=IFCC();\n"
              "ENDSEC;\nEND-ISO-10303-21;\n");
}

TEST(step_guid, encodes_128_bits_in_22_characters) {
    std::array<std::uint8_t, 16> bits{};
    EXPECT_EQ(mfStepGuidText(bits), "0000000000000000000000");
    bits[15] = 1;
    EXPECT_EQ(mfStepGuidText(bits), "0000000000000000000001");
    bits[15] = 0x40;
    EXPECT_EQ(mfStepGuidText(bits), "0000000000000000000010");
    bits = {};
    bits[0] = 0x80;
    EXPECT_EQ(mfStepGuidText(bits), "2000000000000000000000");
    bits.fill(0xFF);
    EXPECT_EQ(mfStepGuidText(bits), "3$$$$$$$$$$$$$$$$$$$$$");
}

TEST(step_guid, keys_give_stable_distinct_identifiers) {
    EXPECT_EQ(mfStepGuid("doc/load[1]"), mfStepGuid("doc/load[1]"));
    std::set<std::string> seen;
    for (int i = 0; i < 20000; ++i) {
        const std::string key = "doc/load[" + std::to_string(i) + "]";
        const auto bits = mfStepGuidBits(key);
        EXPECT_EQ(bits[6] >> 4, 8);
        EXPECT_EQ(bits[8] >> 6, 2);
        const std::string id = mfStepGuid(key);
        ASSERT_EQ(id.size(), 22U);
        EXPECT_LE(id[0], '3');
        EXPECT_TRUE(seen.insert(id).second) << key;
    }
}
