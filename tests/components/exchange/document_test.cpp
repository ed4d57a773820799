#include "kestrel/components/exchange/xpDocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "kestrel/components/exchange/xmfLocsys3d.h"
#include "kestrel/components/exchange/xpCData.h"
#include "kestrel/components/exchange/xpSourceText.h"
#include "xml_fixture.h"

namespace {

using kestrel_test::describe;

struct SystemRoot : xmfLocsys3d {
    SystemRoot() { setName("system"); }
};

// Character data bound to a string, as an element "note".
class NoteText : public xpCData {
public:
    explicit NoteText(std::string* text) : m_text(text) {}
    bool export_cdata(std::string& text) override {
        text = *m_text;
        return true;
    }
    bool import_cdata(const std::string& text) override {
        *m_text = text;
        return true;
    }

private:
    std::string* m_text;
};

struct Note : xpElement {
    std::string text;
    Note() {
        setName("note");
        add(new NoteText(&text));
    }
};

class Document : public kestrel_test::XmlFixture {};

TEST_F(Document, ReadsAndWritesGeometryBinding) {
    SystemRoot root;
    readClean(root, R"(<system>
  <origin x="300 mm" y="0" z="-2 m"/>
  <x_axis x="2" y="0" z="0"/>
  <y_axis x="1" y="1" z="-0"/>
</system>)");
    const locsys3d expected({0.3, 0, -2}, {2, 0, 0}, {1, 1, -0.0});
    EXPECT_EQ(root.import(), expected);

    SystemRoot back;
    readClean(back, write(root));
    EXPECT_EQ(back.import(), expected);
}

TEST_F(Document, ReportsUnexpectedContentWithPathAndLineAndReadsTheRest) {
    SystemRoot root;
    xpReadResult result = read(root, R"(<system colour="red">
  <origin x="1" y="2" w="4"/>
  <extra/>
  <x_axis x="1" y="0" z="0"/>
  <x_axis x="5" y="0" z="0"/>
  <y_axis x="0" y="1" z="0"/>stray
</system>)");
    EXPECT_TRUE(result.wellFormed);
    EXPECT_EQ(describe(result.errors),
              "1 /system/@colour: unexpected attribute \"colour\"\n"
              "1 /system: unexpected text content\n"
              "2 /system/origin/@z: Required field not found\n"
              "2 /system/origin/@w: unexpected attribute \"w\"\n"
              "3 /system/extra: unexpected element \"extra\"\n"
              "5 /system/x_axis[2]: element \"x_axis\" occurs more often than allowed here\n");
    EXPECT_EQ(root.import(), locsys3d({1, 2, 0}, {1, 0, 0}, {0, 1, 0}));
}

// A host reads document after document through one tree: a node keeps the errors of the latest
// read that found any, not those of every read.
TEST_F(Document, NodesKeepTheErrorsOfTheLatestReadOnly) {
    SystemRoot root;
    const std::string text = R"(<system colour="red" shade="dark"><origin x="1" y="2" z="3"/>
<x_axis x="1" y="0" z="0"/><y_axis x="0" y="1" z="0"/></system>)";
    read(root, text);
    ASSERT_EQ(root.nodeError().size(), 2u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(read(root, text).errors.size(), 2u);
    EXPECT_EQ(root.nodeError().size(), 2u);
}

// Whitespace between elements is layout, also when written as character references: only a
// literal carriage return is normalised away by the parser, "&#13;" reaches the element as '\r'.
TEST_F(Document, ReportsUnexpectedContentButNotWhitespaceReferences) {
    for (const char* gap : {"&#13;&#10;&#9;", "&#xD;", "&#9;&#32;", "&#xa;"}) {
        SystemRoot root;
        const std::string g = gap;
        readClean(root, "<system>" + g + R"(<origin x="1" y="2" z="3"/>)" + g + R"(<x_axis x="1" y="0" z="0"/>)" + g +
                            R"(<y_axis x="0" y="1" z="0"/>)" + g + "</system>");
        EXPECT_EQ(root.import(), locsys3d({1, 2, 3}, {1, 0, 0}, {0, 1, 0})) << gap;
    }
    SystemRoot root;
    const xpReadResult result = read(
        root, R"(<system>&#13;&#10;&#9;<origin x="1" y="2" z="3"/>&#13;&#160;<x_axis x="1" y="0" z="0"/></system>)");
    EXPECT_EQ(describe(result.errors),
              "1 /system/y_axis: Required field not found\n1 /system: unexpected text content\n");
}

// "<note>café</note>" as UTF-16 code units in the given byte order, with or without a mark.
std::string utf16(bool littleEndian, bool mark) {
    std::string bytes;
    for (char16_t unit : std::u16string(mark ? u"\uFEFF" : u"") + u"<note>caf\u00e9</note>") {
        const char low = char(unit & 0xFF), high = char(unit >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

bool validUtf8(const std::string& text) {
    std::string storage;
    std::string_view decoded;
    return !xpDecodeSource(text, storage, decoded);
}

// The text read from a string and streamed: both give the same result.
xpReadResult bothWays(xpDocument& document, const std::string& text, std::string* value = nullptr) {
    Note note, streamed;
    const xpReadResult result = document.read(note, text);
    std::istringstream in(text);
    const xpReadResult stream = document.readStream(streamed, in);
    EXPECT_EQ(describe(stream.errors), describe(result.errors)) << text;
    EXPECT_EQ(stream.column, result.column) << text;
    EXPECT_EQ(streamed.text, note.text) << text;
    if (value) *value = note.text;
    return result;
}

// A run of text is kept whole, the blanks before it included, however the parser cuts it; a run
// of blanks alone is no text.
TEST_F(Document, KeepsTheBlanksOfARunOfText) {
    const std::string indent(100, ' ');
    for (const std::string& text :
         {std::string("    ab"), std::string("\n    x"), "\t \n" + indent + "x\n" + indent, indent + "&amp;"}) {
        std::string value;
        bothWays(document, "<note>" + text + "</note>", &value);
        std::string expected = text;
        if (const std::size_t at = expected.find("&amp;"); at != std::string::npos) expected.replace(at, 5, "&");
        EXPECT_EQ(value, expected);
    }
    std::string value = "unread";
    bothWays(document, "<note>\n" + indent + "<!-- between -->\n  </note>", &value);
    EXPECT_EQ(value, "");
}

// Text that is no acceptable document is refused as a whole, with the place and the reason: what
// a conforming parser refuses, bytes that are no text in the document's encoding, characters XML
// forbids, a DOCTYPE (it could expand entities) and another root element (another document).
TEST_F(Document, RefusesTextThatIsNoAcceptableDocument) {
    std::string lonelySurrogate = utf16(true, true);
    lonelySurrogate.insert(lonelySurrogate.size() - 16, std::string("\x00\xD8", 2));
    for (const auto& [text, line, column, message] :
         {std::tuple{std::string("<note>\n  <a x='1'>\n</note>"), 3, 3, "mismatched tag"},
          {"<?xml version='1.0'?>\n<!DOCTYPE note [<!ENTITY e 'x'>]>\n<note>&e;</note>", 2, 11,
           "document type declarations are not accepted"},
          {"\n<other/>", 2, 2, "root element is \"other\", expected \"note\""},
          {"<other>\n</wrong>", 2, 3, "mismatched tag"},
          {"<note>\nab\xFF</note>", 2, 3, "invalid UTF-8 byte sequence"},
          {"<note>\xC0\xAF</note>", 1, 7, "invalid UTF-8 byte sequence"},
          {"<note>\xED\xA0\x80</note>", 1, 7, "invalid UTF-8 byte sequence"},
          {"<note>\xF4\x90\x80\x80</note>", 1, 7, "invalid UTF-8 byte sequence"},
          {"<note/>\xE2\x82", 1, 8, "invalid UTF-8 byte sequence"},
          {"<note>\n \x01</note>", 2, 2, "character U+0001 is not allowed in XML"},
          {"<note>caf\xC3\xA9\xEF\xBF\xBE</note>", 1, 11, "character U+FFFE is not allowed in XML"},
          {lonelySurrogate, 1, 10, "invalid byte sequence for encoding UTF-16LE"},
          {"<?xml version='1.0' encoding='ISO-8859-1'?>\n<note>\xE9\xE9\x01</note>", 2, 9,
           "character U+0001 is not allowed in XML"},
          {"<?xml version='1.0' encoding='no-such'?><note/>", 1, 1, "unsupported encoding \"no-such\""},
          {"<?xml version='1.0' encoding='UTF-16'?><note/>", 1, 1,
           "the document declares encoding \"UTF-16\" but its bytes are not in it"},
          {"<note>a</note>\n<note>b</note>", 2, 1, "a second root element; a document has one"},
          {"<note>\n&foo;</note>", 2, 1, "undefined entity \"&foo;\""},
          {"<note a='&bar;'/>", 1, 10, "undefined entity \"&bar;\""},
          {"<note>a & b</note>", 1, 9, "'&' that starts no entity or character reference"},
          {"<note>&#0;</note>", 1, 7, "character reference \"&#0;\" names a character XML does not allow"},
          {"<note>&#xZ;</note>", 1, 7, "malformed character reference \"&#xZ;\""},
          {"<note/>\n\ntrailing", 3, 1, "text outside the root element"},
          {"", 1, 1, "no element found"}}) {
        const xpReadResult result = bothWays(document, text);
        EXPECT_FALSE(result.wellFormed) << text;
        EXPECT_EQ(result.column, column) << text;
        EXPECT_EQ(describe(result.errors), std::to_string(line) + " : " + message + "\n");
    }
    std::string text;
    const xpReadResult result =
        bothWays(document,
                 "<?xml version='1.0'?><!-- & <b/> --><note a='&quot;>'>&lt;&#x41;&#66;<!-- & --><![CDATA[&]]></note>"
                 "<?done?>\n",
                 &text);
    EXPECT_TRUE(result.wellFormed);
    EXPECT_EQ(describe(result.errors), "1 /note/@a: unexpected attribute \"a\"\n");
    EXPECT_EQ(text, "<AB&");
}

TEST_F(Document, HonoursTheDeclaredEncoding) {
    const std::string cafe = "caf\xC3\xA9";
    for (const std::string& text :
         {std::string("<?xml version='1.0' encoding='ISO-8859-1'?>\n<note>caf\xE9</note>"),
          std::string("<?xml version=\"1.0\" encoding = \"latin1\"?><note>caf\xE9</note>"),
          "\xEF\xBB\xBF<note>" + cafe + "</note>", "<?xml version='1.0' encoding='utf-8'?><note>" + cafe + "</note>",
          utf16(true, true), utf16(false, true), utf16(true, false), utf16(false, false)}) {
        std::string value;
        EXPECT_TRUE(bothWays(document, text, &value).ok());
        EXPECT_EQ(value, cafe);
    }
}

// Problems are found at any place in a long text: a bad byte, a bad reference after a good one
// in text or in either quote, a '>' and the other quote inside a value, a second root after a
// tag full of them.
TEST_F(Document, FindsProblemsAtEveryPlaceInALongText) {
    for (int pad = 0; pad < 40; ++pad) {
        const std::string x(std::size_t(pad), 'x');
        // Quotes and '>' inside values end nothing; the second root is found after the tag.
        const std::string tag = "<note" + std::string(std::size_t(pad), ' ') + " a=\"'>" + x + "\" b='\"/>'>";
        for (const auto& [text, column, message] :
             {std::tuple{"<note>" + x + "\x1F" + x + "</note>", 7 + pad, "character U+001F is not allowed in XML"},
              {"<note>" + x + "&amp;" + x + "&bad;" + x + "<!-- -->" + x + "</note>", 12 + 2 * pad,
               "undefined entity \"&bad;\""},
              {"<note a='" + x + "\">&amp;" + x + "&bad;'/>", 17 + 2 * pad, "undefined entity \"&bad;\""},
              {"<note a=\"" + x + "'>&#xa;" + x + "&bad;\"/>", 17 + 2 * pad, "undefined entity \"&bad;\""},
              {tag + "</note><note/>", int(tag.size()) + 8, "a second root element; a document has one"}}) {
            Note note;
            const xpReadResult result = read(note, text);
            EXPECT_EQ(describe(result.errors), "1 : " + std::string(message) + "\n") << text;
            EXPECT_EQ(result.column, column) << text;
        }
        Note note;
        EXPECT_TRUE(read(note, "<note>" + x + "&lt;" + x + "<!-- & -->&amp;</note>").ok()) << pad;
        EXPECT_EQ(note.text, x + "<" + x + "&") << pad;
    }
}

// A message cut to its maximum length stays text: the cut falls between characters.
TEST_F(Document, CutsLongMessagesBetweenCharacters) {
    std::string value;
    for (int i = 0; i < 300; ++i) value += "\xC3\xA9";
    SystemRoot root;
    xpReadResult result = read(root, "<system><origin x='" + value + "' y='0' z='0'/></system>");
    ASSERT_FALSE(result.errors.empty());
    const std::string& message = result.errors[0].message;
    EXPECT_TRUE(message.ends_with("...")) << message;
    EXPECT_TRUE(message.size() > 397 && message.size() <= 403) << message.size();
    EXPECT_TRUE(validUtf8(message));
}

// A document never carries NaN or infinity: refused on reading, and a write error on writing.
TEST_F(Document, RefusesNonFiniteNumbers) {
    SystemRoot root;
    xpReadResult result = read(root, R"(<system>
  <origin x="NaN" y="0" z="0"/>
  <x_axis x="1" y="-INF" z="0"/>
  <y_axis x="0" y="1" z="0"/>
</system>)");
    EXPECT_EQ(describe(result.errors),
              "2 /system/origin/@x: invalid value \"NaN\": not a finite number\n"
              "3 /system/x_axis/@y: invalid value \"-INF\": not a finite number\n");

    // Past the error limit a write counts its errors too.
    SystemRoot nan;
    ASSERT_TRUE(nan.export_(locsys3d({std::nan(""), INFINITY, 0}, {1, 0, 0}, {0, 1, 0})));
    std::string text;
    EXPECT_EQ(describe(document.write(nan, text)),
              "0 /system/origin/@x: cannot write the non-finite number NaN\n"
              "0 /system/origin/@y: cannot write the non-finite number INF\n");
    document.setMaxErrors(1);
    EXPECT_EQ(describe(document.write(nan, text)),
              "0 /system/origin/@x: cannot write the non-finite number NaN\n"
              "0 : 1 more error found and not listed (error limit 1)\n");
}

// A CDATA section cannot hold "]]>", so such text is split over sections and joined on reading.
TEST_F(Document, ReadsTheFileItWroteWithEveryCharacterOfItsText) {
    const std::string path = ::testing::TempDir() + "/kestrel_note" + std::to_string(std::random_device()());
    for (const char* text : {"first line\nsecond line", "a]]>b<&c", "]]>", "x]]>]]>", "]]]]>>", "<![CDATA[ & ]]>"}) {
        Note note;
        note.text = text;
        std::ofstream(path) << write(note);
        Note back;
        const xpReadResult result = document.readFile(back, path);
        EXPECT_EQ(describe(result.errors), "") << text;
        EXPECT_EQ(back.text, text);
    }
    std::remove(path.c_str());
    Note none;
    EXPECT_EQ(describe(document.readFile(none, path).errors), "0 : cannot read file \"" + path + "\"\n");
}

TEST(CurrentDocument, IsScopedAndClearedWithItsDocument) {
    xpDocument* const before = xpDocument::m_current;
    xpElement node;
    {
        xpDocument outer, inner;
        xpCurrentDocument first(outer);
        {
            xpCurrentDocument second(inner);
            EXPECT_EQ(node.getDocument(), &inner);
        }
        EXPECT_EQ(node.getDocument(), &outer);
    }
    EXPECT_EQ(xpDocument::m_current, before);
    {
        xpDocument gone;
        xpDocument::m_current = &gone;
    }
    EXPECT_EQ(xpDocument::m_current, nullptr);
    xpDocument::m_current = before;
}

}  // namespace
