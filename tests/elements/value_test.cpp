#include <gtest/gtest.h>

#include "kestrel/elements/xlaValueElements.h"
#include "xml_fixture.h"

namespace {

using kestrel_test::describe;

// An element holding one value member named "v".
template <class T>
struct Holder : xpElement {
    T value;
    Holder() {
        setName("holder");
        xpMemberDeclaration<T Holder::*> declaration;
        declaration.name = "v";
        declaration.member = &Holder::value;
        add(xpCreateMemberNode(declaration, this));
    }
};

class Values : public kestrel_test::XmlFixture {
protected:
    template <class T>
    T roundTrip(const T& value, const std::string& expected) {
        Holder<T> out;
        out.value = value;
        const std::string text = write(out);
        EXPECT_NE(text.find(expected), std::string::npos) << text;
        Holder<T> in;
        readClean(in, text);
        return in.value;
    }
};

// Component i of the model is attribute i of the element, in the quantity's units.
TEST_F(Values, ComponentsTravelInOrderWithTheirUnits) {
    EXPECT_EQ(roundTrip(laForce<double>(1, 2, 3), R"(<v fx="1 N" fy="2 N" fz="3 N" />)"), laForce<double>(1, 2, 3));
    EXPECT_EQ(roundTrip(laPressure<double>(5), R"(<v pressure="5 Pa" />)"), laPressure<double>(5));
    EXPECT_EQ(roundTrip(laTraction<double>(0.1), R"(<v traction="0.1 Pa" />)"), laTraction<double>(0.1));
    EXPECT_EQ(roundTrip(laTemperature<double>(-12.5), R"(<v temperature="-12.5 K" />)"), laTemperature<double>(-12.5));
    EXPECT_EQ(roundTrip(laForcePerLength<double>(1, 0, -1), R"(fz="-1 N/m")"), laForcePerLength<double>(1, 0, -1));
    EXPECT_EQ(roundTrip(laForcePerArea<double>(0, 7, 0), R"(fy="7 N/m2")"), laForcePerArea<double>(0, 7, 0));
    EXPECT_EQ(roundTrip(laRotation<double>(0.5, 0, 0), R"(rx="0.5 rad")"), laRotation<double>(0.5, 0, 0));

    const laForceMoment<double> fm(laForce<double>(1, 2, 3), laMoment<double>(4, 5, 6));
    const laForceMoment<double> back = roundTrip(fm, R"(<v>
    <force fx="1 N" fy="2 N" fz="3 N" />
    <moment mx="4 N.m" my="5 N.m" mz="6 N.m" />)");
    EXPECT_EQ(back, fm);
    EXPECT_EQ(back.moment, fm.moment);

    const laDisplacement<double> d(laTranslation<double>(0.001, 0, 0), laRotation<double>(0, 0, 0.25));
    EXPECT_EQ(roundTrip(d, R"(<translation dx="0.001 m" dy="0 m" dz="0 m" />)"), d);
}

// Documents may use any unit that converts; every component and part is required.
TEST_F(Values, UnitsConvertAndEveryPartIsRequired) {
    Holder<laForcePerArea<double>> area;
    readClean(area, R"(<holder><v fx="1 kN/m2" fy="2 MPa" fz="0"/></holder>)");
    EXPECT_EQ(area.value, laForcePerArea<double>(1000, 2e6, 0));

    Holder<laForce<double>> force;
    EXPECT_EQ(describe(read(force, R"(<holder><v fx="1" fy="2"/></holder>)").errors),
              "1 /holder/v/@fz: Required field not found\n");
    Holder<laForceMoment<double>> fm;
    EXPECT_EQ(describe(read(fm, R"(<holder><v><force fx="1" fy="2" fz="3"/></v></holder>)").errors),
              "1 /holder/v/moment: Required field not found\n");
    Holder<laPressure<double>> pressure;
    EXPECT_NE(describe(read(pressure, R"(<holder><v pressure="3 m"/></holder>)").errors).find("/holder/v/@pressure"),
              std::string::npos);
}

TEST_F(Values, SchemaTypesAreNamedAfterTheQuantity) {
    Holder<laDisplacement<double>> displacement;
    const std::string xsd = xpDocument::schema(displacement);
    for (const char* type : {"DisplacementType", "TranslationType", "RotationType"})
        EXPECT_NE(xsd.find(std::string("name=\"") + type + "\""), std::string::npos) << type << "\n" << xsd;
}

}  // namespace
