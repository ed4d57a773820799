#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "kestrel/components/exchange/xpAlternatives.h"
#include "kestrel/components/exchange/xpAttributes.h"
#include "kestrel/components/framework/mfLexicalCast.h"
#include "kestrel/exchange/xpMemberDeclaration.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "xml_fixture.h"

namespace {

using kestrel_test::describe;

class Binding : public kestrel_test::XmlFixture {};

struct Probe : xpElement {
    double width = 0;
    pos3d where;
    Probe() {
        setName("probe");
        add(xpCreateNumberAttribute(xpAttributeDeclaration<double Probe::*>{true, "width", "", &Probe::width}, this));
    }
};

// A member node below no Probe fails once per attempt, reading or writing, and writes no value.
TEST_F(Binding, MemberNodeWithoutItsOwnerReportsEachAttempt) {
    xpElement stray;
    stray.setName("stray");
    xpMemberDeclaration<pos3d Probe::*> where;
    where.name = "where";
    where.member = &Probe::where;
    stray.add(xpCreateMemberNode(where, nullptr));
    std::string text;
    const std::string error = " /stray/where: No owner of type anonymousnamespace.Probe above this node\n";
    EXPECT_EQ(describe(document.write(stray, text)), "0" + error);
    EXPECT_EQ(text.find(" x="), std::string::npos) << text;
    EXPECT_EQ(describe(read(stray, R"(<stray><where x="1" y="2" z="3"/></stray>)").errors), "1" + error);
}

// Finite doubles travel to the bit. A document never carries a non-finite number: writing one is
// an error, not a text that reads back as something else or not at all.
TEST_F(Binding, DoublesTravelBitExactAndNonFiniteOnesAreWriteErrors) {
    for (double value : {DBL_MAX, -DBL_MAX, DBL_MIN, std::numeric_limits<double>::denorm_min(), -0.0, 0.1, 1.0 / 3}) {
        Probe probe, back;
        probe.width = value;
        readClean(back, write(probe));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back.width), std::bit_cast<std::uint64_t>(value));
    }
    for (const char* word : {"INF", "-INF", "NaN"}) {
        Probe probe;
        probe.width = mfLexicalCast<double>(word);
        std::string text;
        EXPECT_EQ(describe(document.write(probe, text)),
                  std::string("0 /probe/@width: cannot write the non-finite number ") + word + "\n");
    }
}

// Two same-named children told apart by the constant attribute "end"; the second holds it in a
// group of attributes.
struct Span : xpElement {
    double start = 0, stop = 0;
    Span() {
        setName("span");
        add(intensity(1, &Span::start));
        add(intensity(2, &Span::stop));
    }
    xpElement* intensity(int end, double Span::*field) {
        auto* element = new xpElement;
        element->setName("intensity");
        element->set_required(true);
        xpNode* constant = xpCreateConstantAttribute(xpAttributeDeclaration<int>{true, "end", "", end}, nullptr);
        if (end == 2) {
            auto* group = new xpAttributes;
            group->set_required(true);
            group->add(constant);
            constant = group;
        }
        element->add(constant);
        element->add(xpCreateQuantityAttribute<jsForcePerUnitLength>(
            xpAttributeDeclaration<double Span::*>{true, "value", "", field}, this));
        return element;
    }
};

TEST_F(Binding, ConstantAttributesTellSameNamedChildrenApart) {
    for (const char* text : {R"(<span><intensity end="1" value="1 kN/m"/><intensity end="2" value="2"/></span>)",
                             R"(<span><intensity end="2" value="2"/><intensity end=" 1" value="1 kN/m"/></span>)"}) {
        Span span;
        readClean(span, text);
        EXPECT_EQ(span.start, 1000);
        EXPECT_EQ(span.stop, 2);
        Span back;
        readClean(back, write(span));
        EXPECT_EQ(back.start, 1000);
        EXPECT_EQ(back.stop, 2);
    }
    Span span;
    EXPECT_EQ(describe(read(span, R"(<span><intensity end="1" value="1"/>
<intensity end="3" value="2"/></span>)")
                           .errors),
              "2 /span/intensity[2]: attribute \"end\" does not accept \"3\", expected \"2\"\n");
}

enum class Dir { x, y, z, other };

// A direction either named or given as a vector.
struct Load : xpElement {
    Dir dir = Dir::other;
    double dx = 0, dy = 0, dz = 0, dw = 0;
    xpAttributes* vector = nullptr;
    Load() {
        setName("load");
        auto* choice = new xpAlternatives;
        choice->set_required(true);
        choice->add(xpCreateMappingAttribute(xpAttributeDeclaration<Dir Load::*>{true, "direction", "", &Load::dir},
                                             {{"x", Dir::x}, {"y", Dir::y}, {"z", Dir::z}}, this));
        vector = new xpAttributes;
        for (auto [name, field] : {std::pair{"dx", &Load::dx}, {"dy", &Load::dy}, {"dz", &Load::dz}})
            vector->add(xpCreateNumberAttribute(xpAttributeDeclaration<double Load::*>{true, name, "", field}, this));
        choice->add(vector);
        add(choice);
    }
};

TEST_F(Binding, AlternativesWriteTheFirstWritableAndReadTheFirstPresent) {
    Load named;
    named.dir = Dir::z;
    named.dx = 5;
    EXPECT_NE(write(named).find(R"(<load direction="z" />)"), std::string::npos);
    Load vector;
    vector.dz = -1;
    EXPECT_NE(write(vector).find(R"(<load dx="0" dy="0" dz="-1" />)"), std::string::npos);

    Load load;
    readClean(load, R"(<load dx="1" dy="2" dz="3"/>)");
    EXPECT_EQ(load.dir, Dir::other);
    EXPECT_EQ(load.dy, 2);
    readClean(load, R"(<load direction="y"/>)");
    EXPECT_EQ(load.dir, Dir::y);
    EXPECT_EQ(load.dy, 2);

    EXPECT_EQ(describe(read(load, R"(<load direction="up" dx="1" dy="2"/>)").errors),
              "1 /load: no alternative accepts direction=\"up\" dx=\"1\" dy=\"2\"\n");
    EXPECT_EQ(describe(read(load, "<load/>").errors), "1 /load: Required field not found\n");
    EXPECT_EQ(load.dir, Dir::y);
}

// What each alternative reads is looked up once, not per element: the lookup keeps each
// alternative's own attributes, and an attribute added to a group after a read counts for the next.
TEST_F(Binding, AlternativesSeeAttributesAddedAfterARead) {
    Load load;
    readClean(load, R"(<load dx="1" dy="2" dz="3"/>)");
    readClean(load, R"(<load direction="x"/>)");
    EXPECT_EQ(load.dir, Dir::x);
    load.vector->add(xpCreateNumberAttribute(xpAttributeDeclaration<double Load::*>{true, "dw", "", &Load::dw}, &load));
    EXPECT_EQ(describe(read(load, R"(<load dx="1" dy="2" dz="3"/>)").errors),
              "1 /load: no alternative accepts dx=\"1\" dy=\"2\" dz=\"3\"\n");
    readClean(load, R"(<load dx="4" dy="5" dz="6" dw="7"/>)");
    EXPECT_EQ(load.dw, 7);
    EXPECT_EQ(load.dx, 4);
}

}  // namespace
