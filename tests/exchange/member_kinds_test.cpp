// One body per behaviour, run for every kind of member node.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>

#include "kestrel/components/framework/List.h"
#include "kestrel/components/framework/Vector.h"
#include "kestrel/exchange/xpMemberDeclaration.h"
#include "kestrel/exchange/xpProtoDeclarations.h"
#include "xml_fixture.h"

namespace {

using kestrel_test::describe;

enum class Side { left, right };

// An element "holder" whose one member `value` is bound as "v" by the kind.
template <class Kind>
struct Holder : xpElement {
    typename Kind::Value value = Kind::initial();
    explicit Holder(bool required = true) {
        setName("holder");
        add(Kind::node(required, this));
    }
};

template <class H, class T>
xpAttributeDeclaration<T H::*> attribute(bool required, T H::*member) {
    return {required, "v", "", member};
}

template <class H, class T>
xpMemberDeclaration<T H::*> element(bool required, T H::*member) {
    xpMemberDeclaration<T H::*> declaration;
    declaration.required = required;
    declaration.name = "v";
    declaration.member = member;
    return declaration;
}

struct DoubleKind {
    using Value = double;
    static Value initial() { return 1.5; }
    static Value other() { return -0.25; }
    static constexpr const char* text = R"(<holder v=" -25e-2"/>)";
    static constexpr const char* refused = R"(<holder v="5x"/>)";
    static constexpr const char* refusal =
        "1 /holder/@v: invalid value \"5x\": Bad lexical cast: from std::string to double\n";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateNumberAttribute(attribute(required, &H::value), owner);
    }
};

struct IntKind {
    using Value = int;
    static Value initial() { return 3; }
    static Value other() { return -7; }
    static constexpr const char* text = R"(<holder v="-7 "/>)";
    static constexpr const char* refused = R"(<holder v="2.5"/>)";
    static constexpr const char* refusal =
        "1 /holder/@v: invalid value \"2.5\": Bad lexical cast: from std::string to int\n";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateNumberAttribute(attribute(required, &H::value), owner);
    }
};

struct StringKind {
    using Value = std::string;
    static Value initial() { return "alpha"; }
    static Value other() { return "\tb <&>\"\nc "; }
    static constexpr const char* text = R"(<holder v="&#9;b &lt;&amp;&gt;&quot;&#10;c "/>)";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateStringAttribute(attribute(required, &H::value), owner);
    }
};

struct QuantityKind {
    using Value = double;
    static Value initial() { return 100; }
    static Value other() { return 10000; }
    static constexpr const char* text = R"(<holder v="10 kN/m2"/>)";
    static constexpr const char* refused = R"(<holder v="5 kg"/>)";
    static constexpr const char* refusal =
        "1 /holder/@v: invalid value \"5 kg\": cannot read \"5 kg\" as a pressure (Pa): \"kg\" "
        "does not convert to Pa\n";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateQuantityAttribute<jsPressure>(attribute(required, &H::value), owner);
    }
};

struct MappingKind {
    using Value = Side;
    static Value initial() { return Side::right; }
    static Value other() { return Side::left; }
    static constexpr const char* text = R"(<holder v="left"/>)";
    static constexpr const char* refused = R"(<holder v="Left"/>)";
    static constexpr const char* refusal = "1 /holder/@v: invalid value \"Left\", expected one of Right, left, right\n";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateMappingAttribute(attribute(required, &H::value),
                                        {{"left", Side::left}, {"Right", Side::right}, {"right", Side::right}}, owner);
    }
};

struct PositionKind {
    using Value = pos3d;
    static Value initial() { return {7, 8, 9}; }
    static Value other() { return {1, 2.5, -3}; }
    static constexpr const char* text = R"(<holder><v x="1 m" y="2500 mm" z="-3"/></holder>)";
    static constexpr const char* refused = R"(<holder><v x="1 m" y="2 m"/></holder>)";
    static constexpr const char* refusal = "1 /holder/v/@z: Required field not found\n";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateMemberNode(element(required, &H::value), owner);
    }
};

// A failing value constructor is recorded, not thrown out of the read.
struct SystemKind {
    using Value = locsys3d;
    static Value initial() { return {}; }
    static Value other() { return {{1, 0, 0}, {0, 2, 0}, {-1, 0, 0}}; }
    static constexpr const char* text = R"(<holder><v>
  <origin x="1" y="0" z="0"/><x_axis x="0" y="2" z="0"/><y_axis x="-1" y="0" z="0"/>
</v></holder>)";
    static constexpr const char* refused = R"(<holder><v>
  <origin x="1" y="0" z="0"/><x_axis x="1" y="0" z="0"/><y_axis x="2" y="0" z="0"/>
</v></holder>)";
    static constexpr const char* refusal =
        "1 /holder/v: local system axes x_axis (1, 0, 0) and y_axis (2, 0, 0) are not "
        "independent\n";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateMemberNode(element(required, &H::value), owner);
    }
};

// Items with errors are left out; the others are kept in document order.
template <template <class> class Container>
struct SequenceKind {
    using Value = Container<pos3d>;
    static Value initial() { return {{9, 9, 9}}; }
    static Value other() { return {{4, 5, 6}, {1, 2, 3}, {4, 5, 6}}; }
    static Value afterRefusal() { return {{4, 5, 6}}; }
    static constexpr const char* text = R"(<holder><v><point x="4" y="5" z="6"/><point x="1" y="2" z="3"/>)"
                                        R"(<point x="4" y="5" z="6"/></v></holder>)";
    static constexpr const char* refused = R"(<holder><v><point x="4" y="5" z="6"/><point x="1" y="2"/></v></holder>)";
    static constexpr const char* refusal = "1 /holder/v/point[2]/@z: Required field not found\n";
    template <class H>
    static xpNode* node(bool required, H* owner) {
        return xpCreateSequence(element(required, &H::value), "point", owner);
    }
};

template <class Kind>
class MemberKind : public kestrel_test::XmlFixture {};

using Kinds = ::testing::Types<DoubleKind, IntKind, StringKind, QuantityKind, MappingKind, PositionKind, SystemKind,
                               SequenceKind<List>, SequenceKind<Vector>>;
TYPED_TEST_SUITE(MemberKind, Kinds);

TYPED_TEST(MemberKind, ReadsItsTextAndWritesWhatReadsBack) {
    Holder<TypeParam> holder;
    this->readClean(holder, TypeParam::text);
    EXPECT_EQ(holder.value, TypeParam::other());

    Holder<TypeParam> back;
    this->readClean(back, this->write(holder));
    EXPECT_EQ(back.value, TypeParam::other());
}

TYPED_TEST(MemberKind, MissingRequiredIsReportedAndAbsentOptionalLeavesTheMember) {
    Holder<TypeParam> required;
    const bool attribute = std::string_view(TypeParam::text).starts_with("<holder v=");
    EXPECT_EQ(describe(this->read(required, "<holder/>").errors),
              std::string(attribute ? "1 /holder/@v" : "1 /holder/v") + ": Required field not found\n");
    EXPECT_EQ(required.value, TypeParam::initial());

    Holder<TypeParam> optional(false);
    optional.value = TypeParam::other();
    this->readClean(optional, "<holder/>");
    EXPECT_EQ(optional.value, TypeParam::other());
}

// Every kind but the string, which takes any text.
template <class Kind>
class RefusingKind : public MemberKind<Kind> {};

using RefusingKinds = ::testing::Types<DoubleKind, IntKind, QuantityKind, MappingKind, PositionKind, SystemKind,
                                       SequenceKind<List>, SequenceKind<Vector>>;
TYPED_TEST_SUITE(RefusingKind, RefusingKinds);

TYPED_TEST(RefusingKind, RefusedTextIsReportedAndTheMemberKept) {
    Holder<TypeParam> holder;
    xpReadResult result = this->read(holder, TypeParam::refused);
    EXPECT_TRUE(result.wellFormed);
    EXPECT_EQ(describe(result.errors), TypeParam::refusal);
    // The member is kept as it was, unless the kind says what a refusal leaves.
    typename TypeParam::Value kept = TypeParam::initial();
    if constexpr (requires { TypeParam::afterRefusal(); }) kept = TypeParam::afterRefusal();
    EXPECT_EQ(holder.value, kept);
}

// The first reset takes the current value as the default; later ones put it back.
TYPED_TEST(MemberKind, ResetCapturesThenRestores) {
    Holder<TypeParam> holder;
    holder.value = TypeParam::other();
    holder.reset_all();
    EXPECT_EQ(holder.value, TypeParam::other());
    holder.value = TypeParam::initial();
    holder.reset_all();
    EXPECT_EQ(holder.value, TypeParam::other());
    holder.reset_all();
    EXPECT_EQ(holder.value, TypeParam::other());
}

class Mapping : public kestrel_test::XmlFixture {};

// Texts of one value: all are read, all listed in byte order, and the last of them is written.
TEST_F(Mapping, ReadsEveryTextAndWritesTheLastOfAValue) {
    Holder<MappingKind> holder;
    for (const char* text : {R"(<holder v="Right"/>)", R"(<holder v="right"/>)"}) {
        holder.value = Side::left;
        readClean(holder, text);
        EXPECT_EQ(holder.value, Side::right);
    }
    EXPECT_NE(write(holder).find(R"(v="right")"), std::string::npos);

    pugi::xml_document xsd;
    ASSERT_TRUE(xsd.load_string(xpDocument::schema(holder).c_str()));
    std::string listed;
    for (const auto& found : xsd.select_nodes("//xs:attribute[@name='v']//xs:enumeration"))
        listed += found.node().attribute("value").value() + std::string(" ");
    EXPECT_EQ(listed, "Right left right ");
}

}  // namespace
