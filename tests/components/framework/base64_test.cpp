#include "kestrel/components/framework/Base64.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(Base64, EncodesWithPaddingAndReadsBackEveryByte) {
    EXPECT_EQ(Base64::encode(""), "");
    EXPECT_EQ(Base64::encode("M"), "TQ==");
    EXPECT_EQ(Base64::encode("Ma"), "TWE=");
    EXPECT_EQ(Base64::encode("Man"), "TWFu");
    EXPECT_EQ(Base64::encode("\xfb\xff"), "+/8=");
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(255 - i);
    for (std::size_t n = 0; n <= 7; ++n)
        EXPECT_EQ(Base64::decode(Base64::encode(bytes.substr(n))), bytes.substr(n)) << n;
    EXPECT_EQ(Base64::decode(" TW\r\nFu\tTQ= =\n"), "ManM");
    // Groups of four after a break in a line, and a group cut by one.
    EXPECT_EQ(Base64::decode("QUJDREVG\nQUJDREVG\r\nQ UJD"), "ABCDEFABCDEFABC");
}

TEST(Base64, RefusesBadText) {
    for (const char* text :
         {"TQ=", "TWF", "T*==", "TQ==TQ==", "T===", "====", "TQ=A", "TWE-", "\xc3\xa9QQQ", "QUJDRE", "TQ==QUJD"})
        EXPECT_THROW(Base64::decode(text), std::invalid_argument) << text;
}

}  // namespace
