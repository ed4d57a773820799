#include <gtest/gtest.h>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/kestrelRegistration.h"
#include "kestrel/elements/xlaFootprintPoint.h"
#include "kestrel/elements/xlaLimitFunctionLiquidPressure.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "xml_fixture.h"

namespace {

using kestrel_test::describe;

// A point footprint of a kind no element is registered for.
class SpecialPoint : public laFootprintPoint {
public:
    using laFootprintPoint::laFootprintPoint;
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<SpecialPoint, laFootprintPoint>(this, type);
    }
};

// An owner of one polymorphic member of base B, required or not; it owns what the member points to.
template <class B>
struct Holder : xpElement {
    B* object = nullptr;
    explicit Holder(const char* member = "where", bool required = true, bool reuseParent = false) {
        setName("holder");
        xpMemberDeclaration<B * Holder::*> declaration;
        declaration.required = required;
        declaration.reuseParent = reuseParent;
        declaration.name = member;
        declaration.member = &Holder::object;
        add(xpCreateMemberNode(declaration, this));
    }
    ~Holder() override { delete object; }
    auto& specialization() {
        auto& where = dynamic_cast<xpElement&>(*children()[0]);
        return dynamic_cast<xpSpecialization<B, xpMemberData<B*, Holder>>&>(*where.children()[0]);
    }
};
using Footprint = Holder<lcFootprint_0d>;
using Limit = Holder<laLimitFunctionPressure>;

// A host's own element class for point footprints: a second prototype for one model type.
class HostPoint : public xpClass<laFootprintPoint> {};

class Future : public kestrel_test::XmlFixture {
protected:
    void SetUp() override { live = mfProgram::program().defaultStrategy().live(); }
    void TearDown() override { EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live); }
    long live = 0;
};

// Written by dynamic type inside the member's element and read back by element name; with no
// alternative for the exact type, the first whose type matches writes the object.
TEST_F(Future, WritesByDynamicTypeAndReadsByElementName) {
    kestrel::register_futures();
    Footprint holder;
    EXPECT_EQ(write(holder).find("where"), std::string::npos);
    holder.object = mfCreate<SpecialPoint>(pos3d(1, 2, 3));
    const std::string text = write(holder);
    EXPECT_NE(text.find(R"(<where>
    <footprint_point>
      <point x="1 m" y="2 m" z="3 m" />)"),
              std::string::npos)
        << text;
    Footprint back;
    readClean(back, text);
    ASSERT_NE(back.object, nullptr);
    EXPECT_EQ(typeid(*back.object), typeid(laFootprintPoint));
    EXPECT_EQ(dynamic_cast<laFootprintPoint&>(*back.object).position(), pos3d(1, 2, 3));
}

// An alternative may write its content into the member's element, and is read from there whatever
// the names of the children. The schema does not describe this form, so the text is only read back.
TEST_F(Future, AlternativeReusingTheMembersElementReadsItsContentThere) {
    kestrel::register_futures();
    Footprint holder("where", true, true);
    holder.object = mfCreate<laFootprintPoint>(pos3d(1, 2, 3));
    std::string text;
    EXPECT_EQ(describe(document.write(holder, text)), "");
    EXPECT_NE(text.find("<where>\n    <point x=\"1 m\" y=\"2 m\" z=\"3 m\" />"), std::string::npos) << text;
    Footprint back("where", true, true);
    readClean(back, text);
    ASSERT_NE(back.object, nullptr);
    EXPECT_EQ(dynamic_cast<laFootprintPoint&>(*back.object).position(), pos3d(1, 2, 3));
}

TEST_F(Future, MemberBuiltBeforeRegistrationHasNoAlternatives) {
    Footprint early;
    kestrel::register_futures();
    Footprint late;
    EXPECT_TRUE(early.specialization().alternatives().empty());
    EXPECT_EQ(late.specialization().alternatives().size(), 1u);

    // Writing or reading the member of a holder built too early is an error that says so, never
    // a document that silently lacks the object.
    early.object = mfCreate<laFootprintPoint>(pos3d(1, 1, 1));
    std::string text;
    const std::string expected =
        "/holder/where: no element class is registered for lcFootprint_0d: call "
        "kestrel::register_futures() with the document current before building the elements\n";
    EXPECT_EQ(describe(document.write(early, text)), "0 " + expected);
    EXPECT_EQ(describe(read(early, "<holder>\n<where><footprint_point/></where></holder>").errors),
              "2 " + expected + "2 /holder/where/footprint_point: unexpected element \"footprint_point\"\n");
}

// An element no alternative knows is reported where it stands; the rest is still read.
TEST_F(Future, UnknownElementNameIsReportedWithPathAndLine) {
    kestrel::register_futures();
    Footprint holder;
    holder.children()[0]->set_required(true);
    auto result = read(holder, "<holder>\n<where><footprint_pointy/></where></holder>");
    EXPECT_EQ(describe(result.errors),
              "2 /holder/where: Required field not found\n"
              "2 /holder/where/footprint_pointy: unexpected element \"footprint_pointy\"\n");
    EXPECT_EQ(holder.object, nullptr);
}

TEST_F(Future, RegistrationReplacesPrototypesAndNeedsADocument) {
    kestrel::register_futures();
    const std::size_t registries = document.futureElements().size();
    kestrel::register_futures();
    EXPECT_EQ(document.futureElements().size(), registries);
    auto* points = xpGetFutureElements<lcFootprint_0d>();
    xpRegisterFutureElement<laFootprintPoint>("renamed_point");
    ASSERT_EQ(points->prototypes().size(), 1u);
    EXPECT_EQ(dynamic_cast<xpElement&>(*points->prototypes().begin()->second).getName(), "renamed_point");

    xpDocument* saved = xpDocument::m_current;
    xpDocument::m_current = nullptr;
    kestrel::register_futures();
    EXPECT_EQ(xpGetFutureElements<lcFootprint_0d>(), nullptr);
    Footprint orphan;
    EXPECT_TRUE(orphan.specialization().alternatives().empty());
    xpDocument::m_current = saved;
}

// The alternative built from the second prototype replaces the first one's, which must leave
// the owner's reset list (resetting through it read freed memory).
TEST_F(Future, ReplacedAlternativeLeavesTheResetList) {
    kestrel::register_futures();
    auto* host = new HostPoint;
    host->setName("host_point");
    xpGetFutureElements<lcFootprint_0d>()->add(host);
    ASSERT_EQ(xpGetFutureElements<lcFootprint_0d>()->prototypes().size(), 2u);
    Footprint holder;
    ASSERT_EQ(holder.specialization().alternatives().size(), 1u);
    holder.reset_all();
    holder.object = mfCreate<laFootprintPoint>(pos3d(1, 2, 3));
    Footprint back;
    back.reset_all();
    readClean(back, write(holder));
    ASSERT_NE(back.object, nullptr);
}

// An optional member writes an object whose element has no content; its absence reads as no object.
TEST_F(Future, OptionalMemberWritesEmptyElements) {
    kestrel::register_futures();
    Limit liquid("limit", false);
    liquid.object = mfCreate<laLimitFunctionLiquidPressure>();
    const std::string text = write(liquid);
    EXPECT_NE(text.find("<limit_function_liquid_pressure />"), std::string::npos) << text;
    Limit back("limit", false);
    readClean(back, text);
    EXPECT_NE(dynamic_cast<laLimitFunctionLiquidPressure*>(back.object), nullptr);
    Limit none("limit", false);
    readClean(none, "<holder/>");
    EXPECT_EQ(none.object, nullptr);
}

// The member's schema: a choice of the registered elements, inside the member's element.
TEST_F(Future, SchemaOffersTheRegisteredElementsAsAChoice) {
    kestrel::register_futures();
    Footprint holder;
    pugi::xml_document xsd;
    ASSERT_TRUE(xsd.load_string(xpDocument::schema(holder).c_str()));
    auto choice = xsd.select_node("//xs:element[@name='where']//xs:choice").node();
    ASSERT_TRUE(choice);
    EXPECT_FALSE(choice.attribute("minOccurs"));
    EXPECT_STREQ(choice.child("xs:element").attribute("name").value(), "footprint_point");
}

}  // namespace
