#include "kestrel/components/exchange/xpDocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
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
    ASSERT_TRUE(root.export_(expected));
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

// Whitespace between elements is layout, also when written as character references: only a
// literal carriage return is normalised away by the parser, "&#13;" reaches the element as '\r'.
TEST_F(Document, ReportsUnexpectedContentButNotWhitespaceReferences) {
    for (const char* gap : {"&#13;&#10;&#9;", "&#13;", "&#9;&#32;", "&#10;"}) {
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

TEST_F(Document, RefusesTextThatIsNoAcceptableDocument) {
    SystemRoot root;
    xpReadResult malformed = read(root, "<system>\n  <origin x='1'>\n</system>");
    EXPECT_FALSE(malformed.wellFormed);
    ASSERT_EQ(malformed.errors.size(), 1u);
    EXPECT_EQ(malformed.errors[0].line, 3);
    EXPECT_EQ(malformed.column, 3);

    // Neither is read: a DOCTYPE could expand entities, another root is another document.
    for (const auto& [text, line, message] :
         {std::tuple{"<?xml version='1.0'?>\n<!DOCTYPE system [<!ENTITY e 'x'>]>\n<system>&e;</system>", 2,
                     "document type declarations are not accepted"},
          {"\n<other/>", 2, "root element is \"other\", expected \"system\""}}) {
        xpReadResult result = read(root, text);
        EXPECT_FALSE(result.wellFormed);
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_EQ(result.errors[0].line, line);
        EXPECT_TRUE(result.errors[0].message.starts_with(message)) << result.errors[0].message;
    }
    EXPECT_FALSE(read(root, "").wellFormed);
    xpReadResult missing = document.readFile(root, ::testing::TempDir() + "/absent/none.xml");
    EXPECT_FALSE(missing.wellFormed);
    EXPECT_EQ(missing.errors.size(), 1u);
}

// "<note>café</note>" as UTF-16 code units in the given byte order, with or without a mark.
std::string utf16(bool littleEndian, bool mark) {
    std::u16string units = u"<note>caf\u00e9</note>";
    if (mark) units.insert(units.begin(), u'\uFEFF');
    std::string bytes;
    for (char16_t unit : units) {
        const char low = char(unit & 0xFF);
        const char high = char(unit >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

bool validUtf8(const std::string& text) {
    std::string storage;
    std::string_view decoded;
    return !xpDecodeSource(text, storage, decoded);
}

TEST_F(Document, HonoursTheDeclaredEncoding) {
    const std::string cafe = "caf\xC3\xA9";
    for (const std::string& text :
         {std::string("<?xml version='1.0' encoding='ISO-8859-1'?>\n<note>caf\xE9</note>"),
          std::string("<?xml version=\"1.0\" encoding = \"latin1\"?><note>caf\xE9</note>"),
          "\xEF\xBB\xBF<note>" + cafe + "</note>", "<?xml version='1.0' encoding='utf-8'?><note>" + cafe + "</note>",
          utf16(true, true), utf16(false, true), utf16(true, false), utf16(false, false)}) {
        Note note;
        readClean(note, text);
        EXPECT_EQ(note.text, cafe);
    }
}

// Bytes that are no text in the document's encoding are refused where they stand.
TEST_F(Document, RefusesInvalidBytesWithLineAndColumn) {
    std::string lonelySurrogate = utf16(true, true);
    lonelySurrogate.insert(lonelySurrogate.size() - 16, std::string("\x00\xD8", 2));
    for (const auto& [text, line, column, message] :
         {std::tuple{std::string("<note>\nab\xFF</note>"), 2, 3, "invalid UTF-8 byte sequence"},
          {std::string("<note>\xC0\xAF</note>"), 1, 7, "invalid UTF-8 byte sequence"},
          {std::string("<note>\xED\xA0\x80</note>"), 1, 7, "invalid UTF-8 byte sequence"},
          {std::string("<note>\n \x01</note>"), 2, 2, "character U+0001 is not allowed in XML"},
          {lonelySurrogate, 1, 10, "invalid byte sequence for encoding UTF-16LE"},
          {std::string("<?xml version='1.0' encoding='no-such'?><note/>"), 1, 1, "unsupported encoding \"no-such\""},
          {std::string("<?xml version='1.0' encoding='UTF-16'?><note/>"), 1, 1,
           "the document declares encoding \"UTF-16\""}}) {
        Note note;
        xpReadResult result = read(note, text);
        EXPECT_FALSE(result.wellFormed);
        ASSERT_EQ(result.errors.size(), 1u) << message;
        EXPECT_EQ(result.errors[0].line, line) << message;
        EXPECT_EQ(result.column, column) << message;
        EXPECT_TRUE(result.errors[0].message.starts_with(message)) << result.errors[0].message;
    }
}

// What a conforming parser refuses is refused, with its line; nothing after the root is ignored.
TEST_F(Document, RefusesSecondRootsAndUndefinedEntities) {
    for (const auto& [text, line, message] :
         {std::tuple{"<note>a</note>\n<note>b</note>", 2, "a second root element"},
          {"<note>\n&foo;</note>", 2, "undefined entity \"&foo;\""},
          {"<note a='&bar;'/>", 1, "undefined entity \"&bar;\""},
          {"<note>a & b</note>", 1, "'&' that starts no entity or character reference"},
          {"<note>&#0;</note>", 1, "character reference \"&#0;\" names a character XML does not allow"},
          {"<note>&#xZ;</note>", 1, "malformed character reference"},
          {"<note/>\n\ntrailing", 3, "text outside the root element"}}) {
        Note note;
        xpReadResult result = read(note, text);
        EXPECT_FALSE(result.wellFormed) << text;
        ASSERT_EQ(result.errors.size(), 1u) << text;
        EXPECT_EQ(result.errors[0].line, line) << text;
        EXPECT_TRUE(result.errors[0].message.starts_with(message)) << result.errors[0].message;
    }
    Note note;
    xpReadResult result =
        read(note,
             "<?xml version='1.0'?><!-- & <b/> --><note a='&quot;>'>&lt;&#x41;&#66;<!-- & --><![CDATA[&]]></note>"
             "<?done?>\n");
    EXPECT_TRUE(result.wellFormed);
    EXPECT_EQ(describe(result.errors), "1 /note/@a: unexpected attribute \"a\"\n");
    EXPECT_EQ(note.text, "<AB&");
}

// Problems are found at any place in a long text: a bad byte, a bad reference after a good one
// in text or in either quote, a '>' and the other quote inside a value, a second root after a
// tag full of them.
TEST_F(Document, FindsProblemsAtEveryPlaceInALongText) {
    for (int pad = 0; pad < 40; ++pad) {
        const std::string x(std::size_t(pad), 'x');
        Note note;
        xpReadResult result = read(note, "<note>" + x + "\x01" + x + "</note>");
        ASSERT_EQ(result.errors.size(), 1u) << pad;
        EXPECT_EQ(result.column, 7 + pad) << pad;
        EXPECT_TRUE(result.errors[0].message.starts_with("character U+0001")) << result.errors[0].message;

        result = read(note, "<note>" + x + "&amp;" + x + "&bad;" + x + "<!-- -->" + x + "</note>");
        ASSERT_EQ(result.errors.size(), 1u) << pad;
        EXPECT_EQ(result.column, 12 + 2 * pad) << pad;
        EXPECT_TRUE(result.errors[0].message.starts_with("undefined entity \"&bad;\"")) << result.errors[0].message;
        result = read(note, "<note>" + x + "&lt;" + x + "<!-- & -->&amp;</note>");
        EXPECT_TRUE(result.errors.empty()) << pad;
        EXPECT_EQ(note.text, x + "<" + x + "&") << pad;

        for (const char* quote : {"'", "\""}) {
            const std::string other = *quote == '"' ? "'" : "\"";
            const std::string value = x + other + ">&amp;" + x + "&bad;";
            result = read(note, "<note a=" + std::string(quote) + value + quote + "/>");
            ASSERT_EQ(result.errors.size(), 1u) << pad;
            EXPECT_EQ(result.column, 10 + int(value.size()) - 5) << pad;
            EXPECT_TRUE(result.errors[0].message.starts_with("undefined entity \"&bad;\"")) << result.errors[0].message;
        }

        // Quotes and '>' inside values end nothing; the second root is found after the tag.
        const std::string tag = "<note" + std::string(std::size_t(pad), ' ') + " a=\"'>" + x + "\" b='\"/>'>";
        result = read(note, tag + "</note><note/>");
        ASSERT_EQ(result.errors.size(), 1u) << pad;
        EXPECT_EQ(result.column, int(tag.size()) + 8) << pad;
        EXPECT_TRUE(result.errors[0].message.starts_with("a second root element")) << result.errors[0].message;
    }
}

// Past the limit errors are counted, not kept: a hostile document cannot fill memory with them.
TEST_F(Document, StopsRecordingErrorsAtTheLimit) {
    std::string text = "<system";
    for (int i = 0; i < 20; ++i) text += " a" + std::to_string(i) + "=''";
    text += "/>";
    SystemRoot all;
    const std::size_t found = read(all, text).errors.size();
    ASSERT_GT(found, 20u);
    EXPECT_EQ(document.maxErrors(), xpDocument::kDefaultMaxErrors);
    document.setMaxErrors(3);
    SystemRoot limited;
    xpReadResult result = read(limited, text);
    ASSERT_EQ(result.errors.size(), 4u);
    EXPECT_EQ(result.unlisted, found - 3);
    EXPECT_EQ(result.errors.back().message,
              std::to_string(found - 3) + " more errors found and not listed (error limit 3)");
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
    EXPECT_LE(message.size(), 403u);
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

    SystemRoot nan;
    ASSERT_TRUE(nan.export_(locsys3d({std::nan(""), 0, 0}, {1, 0, 0}, {0, 1, 0})));
    std::string text;
    EXPECT_EQ(describe(document.write(nan, text)), "0 /system/origin/@x: cannot write the non-finite number NaN\n");
}

TEST_F(Document, ReadsFileItWrote) {
    Note note;
    note.text = "first line\nsecond line";
    const std::string path = ::testing::TempDir() + "/kestrel_note.xml";
    std::ofstream(path) << write(note);
    Note back;
    xpReadResult result = document.readFile(back, path);
    std::remove(path.c_str());
    EXPECT_TRUE(result.ok()) << describe(result.errors);
    EXPECT_EQ(back.text, note.text);
}

// A CDATA section cannot hold "]]>", so such text is split over sections and joined on reading.
TEST_F(Document, CharacterDataRoundTripsMarkupCharacters) {
    for (const char* text : {"a]]>b<&c", "]]>", "x]]>]]>", "]]]]>>", "<![CDATA[ & ]]>"}) {
        Note note;
        note.text = text;
        Note back;
        readClean(back, write(note));
        EXPECT_EQ(back.text, text);
    }
}

TEST(CurrentDocument, IsScopedAndClearedWithItsDocument) {
    xpDocument* const before = xpDocument::m_current;
    xpElement node;
    {
        xpDocument outer;
        xpCurrentDocument first(outer);
        {
            xpDocument inner;
            xpCurrentDocument second(inner);
            EXPECT_EQ(node.getDocument(), &inner);
        }
        EXPECT_EQ(node.getDocument(), &outer);
    }
    EXPECT_EQ(xpDocument::m_current, before);
    auto* gone = new xpDocument;
    xpDocument::m_current = gone;
    delete gone;
    EXPECT_EQ(xpDocument::m_current, nullptr);
    xpDocument::m_current = before;
}

}  // namespace
