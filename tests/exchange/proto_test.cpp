#include <gtest/gtest.h>

#include "kestrel/components/framework/Map.h"
#include "kestrel/components/framework/Vector.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "xml_fixture.h"

namespace {

using kestrel_test::describe;
using Entry = std::pair<pos3d, double>;

// A grid-like holder: an axis of lengths and a map from positions to pressures.
struct Grid : xpElement {
    Vector<double> axis;
    Map<pos3d, double> values;
    Grid() {
        setName("grid");
        add(xpCreateProtoNode(
            xpDeclareSequence("axis", &Grid::axis,
                              xpDeclareElement("line") << xpDeclareAttribute<jsLength>("at", xpProtoMemberElement{})),
            this));
        auto item = xpDeclareElement<pos3d>("value", &Entry::first)
                    << xpDeclareAttribute<jsPressure>("p", &Entry::second);
        add(xpCreateProtoNode(xpDeclareSequence("values", &Grid::values, item, false), this));
    }
};

class Proto : public kestrel_test::XmlFixture {};

// Vector items carry their one attribute; the empty optional sequence is left out.
TEST_F(Proto, VectorItemsCarryTheirOneAttribute) {
    Grid grid;
    readClean(grid, R"(<grid><axis><line at="2 m"/><line at="50 cm"/><line at="1 km"/></axis></grid>)");
    EXPECT_EQ(grid.axis, (Vector<double>{2, 0.5, 1000}));
    const std::string text = write(grid);
    EXPECT_NE(text.find(R"(<line at="2 m" />)"), std::string::npos) << text;
    EXPECT_EQ(text.find("values"), std::string::npos) << text;
}

// Map items: written in key order, a repeated key keeps its first value, key and value on one element.
// The empty required sequence is written without items.
TEST_F(Proto, MapItemsAreKeyedByPositionInKeyOrder) {
    Grid grid;
    readClean(grid, R"(<grid><axis/><values>
        <value x="1" y="0" z="0" p="3 Pa"/>
        <value x="0" y="5" z="0" p="2 kPa"/>
        <value x="1" y="0" z="0" p="9 Pa"/>
      </values></grid>)");
    ASSERT_EQ(grid.values.size(), 2u);
    EXPECT_EQ(grid.values.at(pos3d(1, 0, 0)), 3.0);
    EXPECT_EQ(grid.values.at(pos3d(0, 5, 0)), 2000.0);

    const std::string text = write(grid);
    const auto first = text.find(R"(<value x="0 m" y="5 m" z="0 m" p="2000 Pa" />)");
    const auto second = text.find(R"(<value x="1 m" y="0 m" z="0 m" p="3 Pa" />)");
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    EXPECT_LT(first, second);
    EXPECT_NE(text.find("<axis />"), std::string::npos) << text;

    Grid back;
    readClean(back, text);
    EXPECT_EQ(back.values, grid.values);
    EXPECT_TRUE(back.axis.empty());
}

// Children are created in order of attachment and made required.
TEST(ProtoDeclaration, ChildrenKeepTheirOrderAndBecomeRequired) {
    auto optional = xpDeclareAttribute<int>("b", xpMemberConstant<int>{2}, false);
    std::unique_ptr<xpNode> node(
        xpCreateProtoNode(xpDeclareElement("e") << xpDeclareConstant("a", 1) << optional, nullptr));
    auto& element = dynamic_cast<xpElement&>(*node);
    ASSERT_EQ(element.children().size(), 2u);
    EXPECT_EQ(element.children()[0]->getName(), "a");
    EXPECT_EQ(element.children()[1]->getName(), "b");
    EXPECT_TRUE(element.children()[1]->is_required());
}

}  // namespace
