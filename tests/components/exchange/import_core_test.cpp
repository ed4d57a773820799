// Element places stay right however many children an element has.
#include <gtest/gtest.h>

#include <string>

#include "kestrel/components/exchange/xmfLocsys3d.h"
#include "kestrel/components/exchange/xpDocument.h"
#include "xml_fixture.h"

namespace {

struct SystemRoot : xmfLocsys3d {
    SystemRoot() { setName("system"); }
};

class ImportCore : public kestrel_test::XmlFixture {};

std::string places(const xpReadResult& result) {
    std::string found;
    for (const auto& e : result.errors) found += std::to_string(e.line) + " " + e.path + "\n";
    return found;
}

// Among many children with distinct names (a table of places) and among a few (compared with
// their siblings), a repeated name is indexed wherever its siblings stand, a lone one is not, and
// a child that is read keeps its place for the errors inside it.
TEST_F(ImportCore, NamesPlacesAmongSiblings) {
    std::string text = "<system>\n", expected = "1 /system/origin\n1 /system/x_axis\n1 /system/y_axis\n";
    for (int i = 0; i < 40; ++i) {
        text += "<e" + std::to_string(i % 30) + "/>\n";
        expected += std::to_string(i + 2) + " /system/e" + std::to_string(i % 30) +
                    (i % 30 < 10 ? "[" + std::to_string(i / 30 + 1) + "]\n" : "\n");
    }
    SystemRoot many;
    EXPECT_EQ(places(document.read(many, text + "</system>")), expected);
    SystemRoot few;
    EXPECT_EQ(places(document.read(
                  few, std::string("<system>\n<e/>\n<origin x='1' y='2' z='oops'/>\n<f/>\n<e/>\n<x_axis x='no' y='0' "
                                   "z='0'/>\n<y_axis x='0' y='1' z='0'/>\n<e/>\n<x_axis/>\n</system>"))),
              "2 /system/e[1]\n"
              "3 /system/origin/@z\n"
              "4 /system/f\n"
              "5 /system/e[2]\n"
              "6 /system/x_axis[1]/@x\n"
              "8 /system/e[3]\n"
              "9 /system/x_axis[2]\n");
}

}  // namespace
