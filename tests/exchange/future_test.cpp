#include <gtest/gtest.h>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/kestrelRegistration.h"
#include "kestrel/elements/xlaFootprintPoint.h"
#include "kestrel/elements/xlaLimitFunctionLiquidPressure.h"
#include "kestrel/elements/xlaLimitFunctionRange.h"
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

// An owner of one polymorphic member; it owns what the member points to.
struct Holder : xpElement {
    lcFootprint_0d* footprint = nullptr;
    explicit Holder(bool required = false) {
        setName("holder");
        xpMemberDeclaration<lcFootprint_0d * Holder::*> declaration;
        declaration.name = "where";
        declaration.member = &Holder::footprint;
        xpNode* node = xpCreateMemberNode(declaration, this);
        node->set_required(required);
        add(node);
    }
    ~Holder() override { delete footprint; }
    auto& specialization() {
        auto& where = dynamic_cast<xpElement&>(*children()[0]);
        return dynamic_cast<xpSpecialization<lcFootprint_0d, xpMemberData<lcFootprint_0d*, Holder>>&>(
            *where.children()[0]);
    }
};

// A host's own element class for point footprints: a second prototype for one model type.
class HostPoint : public xpClass<laFootprintPoint> {};

// An owner of an optional limit-function member; it owns what the member points to.
struct OptionalLimit : xpElement {
    laLimitFunctionPressure* limit = nullptr;
    OptionalLimit() {
        setName("holder");
        xpMemberDeclaration<laLimitFunctionPressure * OptionalLimit::*> declaration;
        declaration.required = false;
        declaration.name = "limit";
        declaration.member = &OptionalLimit::limit;
        add(xpCreateMemberNode(declaration, this));
    }
    ~OptionalLimit() override { delete limit; }
};

class Future : public kestrel_test::XmlFixture {
protected:
    void SetUp() override { live = mfProgram::program().defaultStrategy().live(); }
    void TearDown() override { EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live); }
    long live = 0;
};

TEST_F(Future, WritesByDynamicTypeAndReadsByElementName) {
    kestrel::register_futures();
    Holder holder;
    holder.footprint = mfCreate<laFootprintPoint>(pos3d(1, 2, 3));
    const std::string text = write(holder);
    EXPECT_NE(text.find(R"(<where>
    <footprint_point>
      <point x="1 m" y="2 m" z="3 m" />)"),
              std::string::npos)
        << text;

    Holder back;
    readClean(back, text);
    auto* point = dynamic_cast<laFootprintPoint*>(back.footprint);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->position(), pos3d(1, 2, 3));
}

// No alternative for the exact type: the first whose type matches writes it.
TEST_F(Future, TypeMatchingStandsInForAMissingExactKind) {
    kestrel::register_futures();
    Holder holder;
    holder.footprint = mfCreate<SpecialPoint>(pos3d(4, 5, 6));
    Holder back;
    readClean(back, write(holder));
    ASSERT_NE(dynamic_cast<laFootprintPoint*>(back.footprint), nullptr);
    EXPECT_EQ(typeid(*back.footprint), typeid(laFootprintPoint));
}

TEST_F(Future, NullPointerWritesNothing) {
    kestrel::register_futures();
    Holder holder;
    EXPECT_EQ(write(holder).find("where"), std::string::npos);
}

TEST_F(Future, MemberBuiltBeforeRegistrationHasNoAlternatives) {
    Holder early;
    kestrel::register_futures();
    Holder late;
    EXPECT_TRUE(early.specialization().alternatives().empty());
    EXPECT_EQ(late.specialization().alternatives().size(), 1u);

    // Writing or reading the member of a holder built too early is an error that says so, never
    // a document that silently lacks the object.
    early.footprint = mfCreate<laFootprintPoint>(pos3d(1, 1, 1));
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
    Holder holder(true);
    auto result = read(holder, "<holder>\n<where><footprint_pointy/></where></holder>");
    EXPECT_EQ(describe(result.errors),
              "2 /holder/where: Required field not found\n"
              "2 /holder/where/footprint_pointy: unexpected element \"footprint_pointy\"\n");
    EXPECT_EQ(holder.footprint, nullptr);
}

TEST_F(Future, RegistrationReplacesPrototypesAndNeedsADocument) {
    kestrel::register_futures();
    const std::size_t registries = document.futureElements().size();
    kestrel::register_futures();
    EXPECT_EQ(document.futureElements().size(), registries);
    auto* points = xpGetFutureElements<lcFootprint_0d>();
    ASSERT_EQ(points->prototypes().size(), 1u);
    xpRegisterFutureElement<laFootprintPoint>("renamed_point");
    ASSERT_EQ(points->prototypes().size(), 1u);
    EXPECT_EQ(dynamic_cast<xpElement&>(*points->prototypes().begin()->second).getName(), "renamed_point");

    xpDocument* saved = xpDocument::m_current;
    xpDocument::m_current = nullptr;
    kestrel::register_futures();
    EXPECT_EQ(xpGetFutureElements<lcFootprint_0d>(), nullptr);
    Holder orphan;
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
    Holder holder;
    ASSERT_EQ(holder.specialization().alternatives().size(), 1u);
    holder.reset_all();
    holder.footprint = mfCreate<laFootprintPoint>(pos3d(1, 2, 3));
    Holder back;
    back.reset_all();
    readClean(back, write(holder));
    ASSERT_NE(back.footprint, nullptr);
}

// An optional member writes an object whose element has no content, and reads whichever of its
// alternatives the document holds.
TEST_F(Future, OptionalMemberWritesEmptyElementsAndReadsAnyAlternative) {
    kestrel::register_futures();
    OptionalLimit liquid;
    liquid.limit = mfCreate<laLimitFunctionLiquidPressure>();
    const std::string text = write(liquid);
    EXPECT_NE(text.find("<limit_function_liquid_pressure />"), std::string::npos) << text;
    OptionalLimit back;
    readClean(back, text);
    EXPECT_NE(dynamic_cast<laLimitFunctionLiquidPressure*>(back.limit), nullptr);

    OptionalLimit range;
    readClean(range, R"(<holder><limit><limit_function_range range_type="both_inclusive">
        <lower_limit pressure="1 Pa"/><upper_limit pressure="2 Pa"/></limit_function_range></limit></holder>)");
    auto* read = dynamic_cast<laLimitFunctionRange*>(range.limit);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getUpperLimit(), laPressure<double>(2.0));

    OptionalLimit none;
    readClean(none, "<holder/>");
    EXPECT_EQ(none.limit, nullptr);
}

// The member's schema: a choice of the registered elements, inside the member's element.
TEST_F(Future, SchemaOffersTheRegisteredElementsAsAChoice) {
    kestrel::register_futures();
    Holder holder;
    pugi::xml_document xsd;
    ASSERT_TRUE(xsd.load_string(xpDocument::schema(holder).c_str()));
    auto choice = xsd.select_node("//xs:element[@name='where']//xs:choice").node();
    ASSERT_TRUE(choice);
    EXPECT_FALSE(choice.attribute("minOccurs"));
    EXPECT_STREQ(choice.child("xs:element").attribute("name").value(), "footprint_point");
}

}  // namespace
