// Reading text the document may consume (parsed where it lies) reports exactly what reading a
// borrowed text does, and element places stay right however many children an element has.
#include <gtest/gtest.h>

#include <string>

#include "kestrel/components/exchange/xmfLocsys3d.h"
#include "kestrel/components/exchange/xpDocument.h"
#include "xml_fixture.h"

namespace {

using kestrel_test::describe;

struct SystemRoot : xmfLocsys3d {
    SystemRoot() { setName("system"); }
};

std::string outcome(const xpReadResult& result) {
    std::string columns;
    for (const auto& e : result.errors) columns += " " + std::to_string(e.column);
    return std::string(result.wellFormed ? "well-formed" : "refused") + " column " + std::to_string(result.column) +
           " error columns" + columns + "\n" + describe(result.errors);
}

class ImportCore : public kestrel_test::XmlFixture {};

TEST_F(ImportCore, ConsumedTextReadsAsBorrowedText) {
    const std::string texts[] = {
        // Element errors: places, lines and messages.
        "<system colour='red'>\n  <origin x='1' y='2 kN'/>\n  <extra/>\n  <x_axis x='1' y='0' z='0'/>\n"
        "  <x_axis x='5' y='0' z='0'/>\n  <y_axis x='0' y='1' z='0'/>stray\n</system>",
        // Parse errors after lines whose attribute values the parser rewrites in place (escapes,
        // white space, line ends), and after a name that ends at a line end.
        "<system>\n  <origin x='&lt;&amp;&#65;' y='a\tb\nc'\n z='1'/>\n  <x_axis x='1'>\n</system>",
        "<system\n>\r\n  <origin x='&quot;&quot;&quot;' y='1' z='2'/> <x_axis x='1' y='0' z='0'/><</system>",
        "<system>\n  <origin x='1' y='2' z='3'/></other>",
        // Character references the parser decodes in place into bytes that are no ASCII, before
        // an element error on the same line: its column still counts the source's characters.
        "<system>\n  <origin x='&#233;&#8364;' y='1' z='2'/><extra/>\n</system>",
        // Refusals found before or beside parsing.
        "<?xml version='1.0'?>\n<!DOCTYPE system>\n<system/>",
        "<system/>\n<system/>",
        "<system>\n  <origin x='&foo;'/>\n</system>",
        "\n\n<other/>",
        "<system/>\n\ntrailing",
        // Text that is no plain ASCII (read from a copy), and text in another encoding.
        "<system>\n  <origin x='caf\xC3\xA9' y='1' z='2'/><extra/>\n  <x_axis x='\xC3\xA9'/>\n</system>",
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n<system>\n  <origin x='\xE9'/>\n  <y_axis>\n</system>",
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n<system>\n  <origin x='1' y='2' z='3'/>\n  <y_axis>\n</system>",
        "\xEF\xBB\xBF<system>\n  <origin x='1' y='2' z='3'/>\n  <y_axis>\n</system>",
        "<system>\n ab\xFF</system>",
        "",
    };
    for (const std::string& text : texts) {
        SystemRoot borrowed;
        const std::string expected = outcome(read(borrowed, text));
        SystemRoot consumed;
        std::string copy = text;
        EXPECT_EQ(outcome(document.read(consumed, std::move(copy))), expected) << text;
    }
}

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
