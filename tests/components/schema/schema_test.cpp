#include "kestrel/components/schema/xsSchema.h"

#include <gtest/gtest.h>

#include <string>

#include "xml_fixture.h"

namespace {

using kestrel_test::schemaComplaints;

// An element "end" with a required attribute "at" listing `texts`.
xsElement* endElement(std::initializer_list<const char*> texts) {
    auto* element = new xsElement("end");
    auto* attribute = new xsAttribute("at", "xs:string", true);
    element->localType()->attributes().push_back(attribute);
    xsSimpleType* simple = attribute->createSimpleType(0);
    simple->setBase("xs:int");
    for (const char* text : texts) simple->enumeration(text);
    return element;
}

TEST(Schema, SameNamedNeighboursFoldAndChoicesDoNot) {
    xsSchema schema;
    xsComplexType* top = schema.setRoot(new xsElement("span"))->localType();
    xsGroup& group = top->getDefaultGroup();
    group.push_back(endElement({"1"}));
    group.push_back(endElement({"2", "1"}));
    auto* choice = new xsChoice;
    choice->push_back(new xsElement("a"));
    choice->push_back(new xsElement("a"));
    group.push_back(choice);
    top->attributes().push_back(new xsAttribute("id", "xs:string", false));
    top->attributes().push_back(new xsAttribute("id", "xs:int", true));

    ASSERT_EQ(group.particles().size(), 2u);
    auto* folded = dynamic_cast<xsElement*>(group.particles()[0].get());
    ASSERT_NE(folded, nullptr);
    EXPECT_EQ(folded->minOccurs(), 2);
    EXPECT_EQ(folded->maxOccurs(), 2);
    const xsSimpleType* ends = folded->localType()->attributes().find("at")->simpleType();
    EXPECT_EQ(ends->enumerations(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(choice->particles().size(), 2u);
    EXPECT_EQ(top->attributes().attributes().size(), 1u);
    EXPECT_EQ(top->attributes().find("id")->type(), "xs:string");

    const std::string xsd = schema.toString();
    EXPECT_EQ(schemaComplaints(xsd), "") << xsd;
    EXPECT_EQ(schemaComplaints(xsd, "<span><end at='2'/><end at='1'/><a/></span>"), "");
    EXPECT_NE(schemaComplaints(xsd, "<span><end at='3'/><end at='1'/><a/></span>"), "");
    EXPECT_NE(schemaComplaints(xsd, "<span><end at='1'/><a/></span>"), "");
}

// Neighbours fold only when their content agrees to the last child; an unbounded use stays unbounded.
TEST(Schema, NeighboursOfAnotherShapeStayApart) {
    auto withChildren = [](std::initializer_list<const char*> names, bool mixed = false) {
        auto* element = new xsElement("row");
        element->localType()->setMixed(mixed);
        for (const char* name : names) element->localType()->getDefaultGroup().push_back(new xsElement(name));
        return element;
    };
    xsGroup group;
    group.push_back(withChildren({"a", "b"}));
    group.push_back(withChildren({"a", "c"}));
    group.push_back(withChildren({"a", "c"}, true));
    EXPECT_EQ(group.particles().size(), 3u);

    xsGroup bounded;
    bounded.push_back(new xsElement("v"));
    auto* many = new xsElement("v");
    many->setMaxOccurs(-1);
    bounded.push_back(many);
    ASSERT_EQ(bounded.particles().size(), 1u);
    EXPECT_EQ(bounded.particles()[0]->maxOccurs(), -1);
}

TEST(Schema, NamedTypesAreDefinedOnce) {
    xsSchema schema;
    xsElement* root = schema.setRoot(new xsElement("p"));
    root->setTypeName("pointType");
    xsComplexType* type = schema.defineType("pointType");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(schema.defineType("pointType"), nullptr);
    EXPECT_EQ(schema.findType("pointType"), type);
    type->attributes().push_back(new xsAttribute("x", "xs:double", true));
    type->setMixed(true);
    type->annotate(new xsDocumentation("a <point> & more"));

    const std::string xsd = schema.toString();
    EXPECT_EQ(schemaComplaints(xsd), "") << xsd;
    EXPECT_EQ(schemaComplaints(xsd, "<p x='1e3'>text</p>"), "");
    EXPECT_NE(schemaComplaints(xsd, "<p x='one'/>"), "");
}

}  // namespace
