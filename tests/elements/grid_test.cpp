#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/kestrelLimits.h"
#include "kestrel/elements/xlaIntensityFunctionGrid.h"
#include "kind_fixture.h"

namespace {

using Pressure = laPressure<double>;
using Grid = laIntensityFunctionGrid<Pressure>;
using Owner = kestrel_test::Owner<laIntensityFunction<Pressure>>;

// "<x_values>" with one "<x_value>" per line.
std::string axis(const std::string& name, const std::vector<std::string>& values) {
    std::string text = "<" + name + "_values>\n";
    for (const std::string& v : values) text += "<" + name + "_value value=\"" + v + "\"/>\n";
    return text + "</" + name + "_values>\n";
}

// A grid on line 1 whose axes take one line per value; points follow on one line each. Every
// line after the first is indented by two, so that its element stands at column 3.
std::string gridText(const std::vector<std::string>& x, const std::vector<std::string>& points = {},
                     const std::vector<std::string>& y = {"0"}, const std::vector<std::string>& z = {"0"}) {
    std::string text = "<owner><f><pressure2d_grid><grid>\n" + axis("x", x) + axis("y", y) + axis("z", z) + "</grid>";
    if (!points.empty()) {
        text += "<pressure_points>\n";
        for (const std::string& p : points) text += "<pressure_point " + p + "/>\n";
        text += "</pressure_points>";
    }
    text += "</pressure2d_grid></f></owner>";
    for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 3)) text.insert(i + 1, "  ");
    return text;
}

// A pressure point at (x, 0, 0).
std::string at(const std::string& x, const std::string& pressure) {
    return "x=\"" + x + "\" y=\"0\" z=\"0\" pressure=\"" + pressure + "\"";
}

// "LINE:COLUMN PATH: MESSAGE", one line per error.
std::string placed(const std::vector<xpReportedError>& errors) {
    std::string text;
    for (const xpReportedError& e : errors)
        text += std::to_string(e.line) + ":" + std::to_string(e.column) + " " + e.path + ": " + e.message + "\n";
    return text;
}

const std::string kPath = "/owner/f/pressure2d_grid";

class GridElement : public kestrel_test::KindFixture {
protected:
    void TearDown() override {
        kestrel::setMaxGridNodes(kestrel::kDefaultMaxGridNodes);
        KindFixture::TearDown();
    }

    // The errors of reading a document that must be refused.
    std::string refused(const std::string& text) {
        Owner in;
        const std::string errors = placed(read(in, text).errors);
        EXPECT_EQ(in.object, nullptr) << text;
        return errors;
    }
};

// Nothing read is lost silently: axis values that would share a node or are not finite, two points
// on one node, pressures that are not finite, and more nodes than a document may allocate refuse
// the grid, each problem at its own element and naming what it collides with.
TEST_F(GridElement, GridsThatWouldLoseValuesAreRefusedWhereTheProblemStands) {
    const std::string x = kPath + "/grid/x_values/x_value", p = kPath + "/pressure_points/pressure_point";
    const std::string tolerance = " is within the length tolerance (1e-06 m) of the ",
                      node = " lies on the grid node of ";
    const std::string apart = ": nodes must differ in position\n";
    const std::vector<std::string> two{"0", "1"};
    std::vector<std::string> thousand;
    for (int i = 0; i < 1000; ++i) thousand.push_back(std::to_string(i));
    const std::pair<std::string, std::string> cases[] = {
        {gridText({"0", "1", "0"}), "5:3 " + x + "[3]: x value 0 m" + tolerance + "x value 0 m on line 3" + apart},
        {gridText({"0", "5e-7"}, {}, {"0"}, {"2", "1", "2.0000009"}),
         "4:3 " + x + "[2]: x value 5e-07 m" + tolerance + "x value 0 m on line 3" + apart + "12:3 " + kPath +
             "/grid/z_values/z_value[3]: z value 2.0000009 m" + tolerance + "z value 2 m on line 10" + apart},
        {gridText({"0", "nan", "1"}), "4:3 " + x + "[2]/@value: invalid value \"nan\": not a finite number\n"},
        {gridText(two, {at("1", "480"), at("1", "0")}),
         "14:3 " + p + "[2]: (1, 0, 0)" + node + "the pressure point on line 13 (1, 0, 0)\n"},
        {gridText(two, {at("0", "1"), at("0.9999995", "480"), at("1", "2")}),
         "15:3 " + p + "[3]: (1, 0, 0)" + node + "the pressure point on line 14 (0.9999995, 0, 0)\n"},
        {gridText(two, {at("0", "1"), at("1", "inf")}),
         "14:3 " + p + "[2]/@pressure: invalid value \"inf\": not a finite number\n"},
        // Each clash names the first point on its node, also after a stray point, and for a node
        // first taken after a clash.
        {gridText({"0", "1", "2"}, {at("0.5", "9"), at("0", "1"), at("1", "2"), at("0", "3"), at("1", "4"),
                                    at("1", "5"), at("2", "6"), at("2", "7")}),
         "1:11 " + kPath + ": (0.5, 0, 0) does not represent a gridpoint\n17:3 " + p + "[4]: (0, 0, 0)" + node +
             "the pressure point on line 15 (0, 0, 0)\n18:3 " + p + "[5]: (1, 0, 0)" + node +
             "the pressure point on line 16 (1, 0, 0)\n19:3 " + p + "[6]: (1, 0, 0)" + node +
             "the pressure point on line 16 (1, 0, 0)\n21:3 " + p + "[8]: (2, 0, 0)" + node +
             "the pressure point on line 20 (2, 0, 0)\n"},
        // Refused at the "grid" element, before any node is allocated.
        {gridText(thousand, {at("0", "1")}, thousand, thousand),
         "1:28 " + kPath +
             "/grid: a grid of 1000 x 1000 x 1000 nodes exceeds the limit of 10000000 grid nodes per "
             "document\n"},
    };
    for (const auto& [text, errors] : cases) EXPECT_EQ(refused(text), errors) << text;
}

// A point on no node is reported at the grid function and left out; the grid is kept. Nodes
// match strictly within the length tolerance; exactly the tolerance apart are two nodes.
TEST_F(GridElement, StrayPointsAreReportedAndTheGridKept) {
    Owner in;
    EXPECT_EQ(placed(read(in, gridText({"0", "1"}, {at("0.5", "7"), at("5e-7", "8"), at("1e-6", "9")})).errors),
              "1:11 " + kPath + ": (0.5, 0, 0) does not represent a gridpoint\n1:11 " + kPath +
                  ": (1e-06, 0, 0) does not represent a gridpoint\n");
    ASSERT_NE(in.object, nullptr);
    EXPECT_EQ(dynamic_cast<Grid&>(*in.object).nodeValue(0, 0, 0), Pressure(8));
    EXPECT_EQ(dynamic_cast<Grid&>(*in.object).nodeValue(1, 0, 0), Pressure());
    Owner apart;
    readClean(apart, gridText({"0", "1e-6"}));
}

// What is read is written, and what is written reads back the same: 480 Pa stays 480 Pa through
// two round trips, a node at -0 keeps its sign, nodes at zero are left out, and a grid without
// values writes no points.
TEST_F(GridElement, RoundTripsKeepEveryValueAndWriteOnlyWhatIsThere) {
    Owner first;
    readClean(first,
              gridText({"2", "0", "1"}, {R"(x="1" y="0" z="5" pressure="480")", R"(x="2" y="0" z="0" pressure="-0")"},
                       {"0"}, {"0", "5"}));
    const std::string once = write(first);
    Owner second;
    readClean(second, once);
    EXPECT_EQ(write(second), once);
    auto& grid = dynamic_cast<Grid&>(*second.object);
    EXPECT_EQ(grid.nodeValue(1, 0, 1), Pressure(480));
    EXPECT_TRUE(std::signbit(grid.nodeValue(2, 0, 0).real(0)));
    // The first node, zero, so that the values are there; then the two given.
    EXPECT_NE(once.find(R"(<pressure_point x="0 m" y="0 m" z="0 m" pressure="0 Pa" />
        <pressure_point x="1 m" y="0 m" z="5 m" pressure="480 Pa" />
        <pressure_point x="2 m" y="0 m" z="0 m" pressure="-0 Pa" />
      </pressure_points>)"),
              std::string::npos)
        << once;

    // An axis long enough that the written text comes in several blocks.
    std::vector<std::string> values;
    for (int i = 0; i < 300; ++i) values.push_back(std::to_string(i));
    Owner empty;
    readClean(empty, gridText(values));
    const std::string text = write(empty);
    EXPECT_EQ(text.find("pressure_point"), std::string::npos);
    EXPECT_FALSE(dynamic_cast<Grid&>(*empty.object).hasValues());
    Owner again;
    readClean(again, text);
    EXPECT_EQ(write(again), text);
}

// A refused grid leaves nothing behind in the element that read it: the next grid read by the
// same element writes only its own values.
TEST_F(GridElement, AGridReadAfterARefusedOneTakesNothingFromIt) {
    Owner in;
    EXPECT_NE(placed(read(in, gridText({"0", "1", "1"}, {R"(x="1" y="0" z="0" pressure="480")"})).errors), "");
    ASSERT_EQ(in.object, nullptr);
    readClean(in, gridText({"0", "2"}));
    EXPECT_EQ(write(in).find("pressure_point"), std::string::npos);
    EXPECT_FALSE(dynamic_cast<Grid&>(*in.object).hasValues());
}

// The limit holds for the nodes of all the grids of one document together.
TEST_F(GridElement, TheNodeLimitHoldsForTheWholeDocument) {
    kestrel::setMaxGridNodes(6);
    Owner in;
    readClean(in, gridText({"0", "1", "2"}, {}, {"0", "1"}));
    EXPECT_EQ(refused(gridText({"0", "1", "2", "3"}, {}, {"0", "1"})),
              "1:28 " + kPath + "/grid: a grid of 4 x 2 x 1 nodes exceeds the limit of 6 grid nodes per document\n");
    // An empty axis makes no nodes.
    Owner flat;
    readClean(flat, gridText({"0", "1", "2", "3"}, {}, {}));

    struct Pair : xpElement {
        laIntensityFunction<Pressure>*a = nullptr, *b = nullptr;
        Pair() {
            setName("pair");
            for (auto [name, member] : {std::pair{"a", &Pair::a}, std::pair{"b", &Pair::b}}) {
                xpMemberDeclaration<laIntensityFunction<Pressure> * Pair::*> declaration;
                declaration.name = name;
                declaration.member = member;
                add(xpCreateMemberNode(declaration, this));
            }
        }
        ~Pair() override {
            delete a;
            delete b;
        }
    } pair;
    std::string grid = "<pressure2d_grid><grid>" + axis("x", {"0", "1"}) + axis("y", {"0", "1"}) + axis("z", {"0"}) +
                       "</grid></pressure2d_grid>";
    std::erase(grid, '\n');
    EXPECT_EQ(placed(read(pair, "<pair><a>" + grid + "</a>\n<b>" + grid + "</b></pair>").errors),
              "2:21 /pair/b/pressure2d_grid/grid: a grid of 2 x 2 x 1 nodes exceeds the limit of 6 grid nodes per "
              "document (4 taken by the grids before it)\n");
    EXPECT_NE(pair.a, nullptr);
    EXPECT_EQ(pair.b, nullptr);
}

// A model whose axes would be refused on reading is written as it is, with an error saying so.
TEST_F(GridElement, WritingAxesThatWouldNotReadBackIsReported) {
    Owner out;
    auto* grid = mfCreate<Grid>();
    grid->setXValues({1, 0, 0});
    grid->setYValues({0});
    grid->setZValues({0});
    grid->node(2, 0, 0) = Pressure(480);
    out.object = grid;
    std::string text;
    const std::string errors = kestrel_test::describe(document.write(out, text));
    EXPECT_NE(errors.find("x values 0 m and 0 m lie within the length tolerance: the grid would not read back"),
              std::string::npos)
        << errors;
    EXPECT_NE(text.find("480 Pa"), std::string::npos) << text;
}

}  // namespace
