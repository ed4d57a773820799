#include "components/exchange/xpDocument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>

#include "components/exchange/xmfLocsys3d.h"
#include "components/exchange/xpCData.h"
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
