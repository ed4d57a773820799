#include <gtest/gtest.h>

#include <string>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/kestrelLimits.h"
#include "kestrel/elements/xlaIntensityFunctionGrid.h"
#include "kind_fixture.h"

namespace {

using kestrel_test::describe;
using Pressure = laPressure<double>;
using Grid = laIntensityFunctionGrid<Pressure>;
using Owner = kestrel_test::Owner<laIntensityFunction<Pressure>>;

// "<x_values>" with one "<x_value>" per line.
std::string axis(const std::string& name, const std::vector<std::string>& values) {
    std::string text = "<" + name + "_values>\n";
    for (const std::string& v : values) text += "<" + name + "_value value=\"" + v + "\"/>\n";
    return text + "</" + name + "_values>\n";
}

// A grid on line 1 whose axes take one line per value; points follow on one line each.
std::string gridText(const std::vector<std::string>& x, const std::vector<std::string>& points = {},
                     const std::vector<std::string>& y = {"0"}, const std::vector<std::string>& z = {"0"}) {
    std::string text = "<owner><f><pressure2d_grid><grid>\n" + axis("x", x) + axis("y", y) + axis("z", z) + "</grid>";
    if (!points.empty()) {
        text += "<pressure_points>\n";
        for (const std::string& p : points) text += "<pressure_point " + p + "/>\n";
        text += "</pressure_points>";
    }
    return text + "</pressure2d_grid></f></owner>";
}

class GridElement : public kestrel_test::KindFixture {
protected:
    void TearDown() override {
        kestrel::setMaxGridNodes(kestrel::kDefaultMaxGridNodes);
        KindFixture::TearDown();
    }

    // Reads a document that must be refused: no grid, and exactly the errors given.
    void refused(const std::string& text, const std::string& errors) {
        Owner in;
        EXPECT_EQ(describe(read(in, text).errors), errors) << text;
        EXPECT_EQ(in.object, nullptr);
    }
};

const std::string kPath = "/owner/f/pressure2d_grid";

// Nodes that no point could tell apart would lose values silently: every such axis is refused at
// the value's own element, naming the value it collides with.
TEST_F(GridElement, AxisValuesThatWouldShareANodeAreRefusedWhereTheyStand) {
    refused(gridText({"0", "1", "0"}),
            "5 " + kPath +
                "/grid/x_values/x_value[3]: x value 0 m is within the length tolerance (1e-06 m) of the "
                "x value 0 m on line 3: nodes must differ in position\n");
    refused(gridText({"0", "5e-7"}, {}, {"0"}, {"2", "1", "2.0000009"}),
            "4 " + kPath +
                "/grid/x_values/x_value[2]: x value 5e-07 m is within the length tolerance (1e-06 m) of "
                "the x value 0 m on line 3: nodes must differ in position\n"
                "12 " +
                kPath +
                "/grid/z_values/z_value[3]: z value 2.0000009 m is within the length "
                "tolerance (1e-06 m) of the z value 2 m on line 10: nodes must differ in position\n");
    // Exactly the tolerance apart is two nodes.
    Owner in;
    readClean(in, gridText({"0", "1e-6"}));
}

TEST_F(GridElement, AxisValuesThatAreNotFiniteAreRefused) {
    for (const char* bad : {"nan", "inf", "-inf"}) {
        Owner in;
        const std::string errors = describe(read(in, gridText({"0", bad, "1"})).errors);
        EXPECT_EQ(errors.rfind("4 " + kPath + "/grid/x_values/x_value[2]", 0), 0u) << errors;
        EXPECT_EQ(in.object, nullptr);
    }
}

// Two points on one node, whether at the same position or within the tolerance of it, and
// pressures that are not finite: refused at the point, never one value kept silently.
TEST_F(GridElement, PointsThatWouldBeLostAreRefusedWhereTheyStand) {
    const std::vector<std::string> x{"0", "1"};
    refused(gridText(x, {R"(x="1" y="0" z="0" pressure="480")", R"(x="1" y="0" z="0" pressure="0")"}),
            "14 " + kPath +
                "/pressure_points/pressure_point[2]: (1, 0, 0) lies on the grid node of the pressure point "
                "on line 13 (1, 0, 0)\n");
    refused(gridText(x, {R"(x="0" y="0" z="0" pressure="1")", R"(x="0.9999995" y="0" z="0" pressure="480")",
                         R"(x="1" y="0" z="0" pressure="2")"}),
            "15 " + kPath +
                "/pressure_points/pressure_point[3]: (1, 0, 0) lies on the grid node of the pressure point "
                "on line 14 (0.9999995, 0, 0)\n");
    for (const char* bad : {"nan", "inf", "-inf"}) {
        Owner in;
        const std::string errors =
            describe(read(in, gridText(x, {R"(x="0" y="0" z="0" pressure="1")",
                                           "x=\"1\" y=\"0\" z=\"0\" pressure=\"" + std::string(bad) + "\""}))
                         .errors);
        EXPECT_EQ(errors.rfind("14 " + kPath + "/pressure_points/pressure_point[2]", 0), 0u) << errors;
        EXPECT_EQ(in.object, nullptr);
    }
}

// Every later point on a taken node names the first point there, also after skipped points and
// when several nodes are taken twice.
TEST_F(GridElement, EachClashNamesTheFirstPointOnItsNode) {
    Owner in;
    const std::string errors = describe(
        read(in, gridText({"0", "1"}, {R"(x="0.5" y="0" z="0" pressure="9")", R"(x="0" y="0" z="0" pressure="1")",
                                       R"(x="1" y="0" z="0" pressure="2")", R"(x="0" y="0" z="0" pressure="3")",
                                       R"(x="1" y="0" z="0" pressure="4")", R"(x="1" y="0" z="0" pressure="5")"}))
            .errors);
    for (const std::string& clash :
         {"16 " + kPath +
              "/pressure_points/pressure_point[4]: (0, 0, 0) lies on the grid node of the pressure point "
              "on line 14 (0, 0, 0)\n",
          "17 " + kPath +
              "/pressure_points/pressure_point[5]: (1, 0, 0) lies on the grid node of the pressure point "
              "on line 15 (1, 0, 0)\n",
          "18 " + kPath +
              "/pressure_points/pressure_point[6]: (1, 0, 0) lies on the grid node of the pressure point "
              "on line 15 (1, 0, 0)\n"})
        EXPECT_NE(errors.find(clash), std::string::npos) << errors;
    EXPECT_EQ(in.object, nullptr);
}

// What is read is written, and what is written reads back the same: 480 Pa stays 480 Pa through
// two round trips, a node at -0 keeps its sign, a grid without values writes no points, and a
// sparse grid writes its values rather than every node.
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

    Owner empty;
    readClean(empty, gridText({"0", "1"}));
    EXPECT_EQ(write(empty).find("pressure_point"), std::string::npos);
    EXPECT_FALSE(dynamic_cast<Grid&>(*empty.object).hasValues());

    // A million nodes, three of them given.
    std::vector<std::string> hundred;
    for (int i = 0; i < 100; ++i) hundred.push_back(std::to_string(i));
    Owner sparse;
    readClean(sparse, gridText(hundred,
                               {R"(x="1" y="1" z="1" pressure="1")", R"(x="50" y="2" z="3" pressure="2")",
                                R"(x="99" y="99" z="99" pressure="3")"},
                               hundred, hundred));
    const std::string text = write(sparse);
    std::size_t points = 0;
    for (std::size_t at = text.find("<pressure_point "); at != std::string::npos;
         at = text.find("<pressure_point ", at + 1))
        ++points;
    EXPECT_EQ(points, 4u);
}

// A refused grid leaves nothing behind in the element that read it: the next grid read by the
// same element writes only its own values.
TEST_F(GridElement, AGridReadAfterARefusedOneTakesNothingFromIt) {
    Owner in;
    EXPECT_NE(describe(read(in, gridText({"0", "1", "1"}, {R"(x="1" y="0" z="0" pressure="480")"})).errors), "");
    ASSERT_EQ(in.object, nullptr);
    readClean(in, gridText({"0", "2"}));
    EXPECT_EQ(write(in).find("pressure_point"), std::string::npos);
    EXPECT_FALSE(dynamic_cast<Grid&>(*in.object).hasValues());
}

// A grid is one pressure per node: the grids of one document may hold only so many nodes, and a
// grid beyond that is refused at its "grid" element before any node is allocated.
TEST_F(GridElement, NodesBeyondTheLimitAreRefusedBeforeTheyAreAllocated) {
    std::vector<std::string> thousand;
    for (int i = 0; i < 1000; ++i) thousand.push_back(std::to_string(i));
    refused(gridText(thousand, {R"(x="0" y="0" z="0" pressure="1")"}, thousand, thousand),
            "1 " + kPath +
                "/grid: a grid of 1000 x 1000 x 1000 nodes exceeds the limit of 10000000 grid nodes per "
                "document\n");

    kestrel::setMaxGridNodes(6);
    Owner in;
    readClean(in, gridText({"0", "1", "2"}, {}, {"0", "1"}));
    refused(gridText({"0", "1", "2", "3"}, {}, {"0", "1"}),
            "1 " + kPath + "/grid: a grid of 4 x 2 x 1 nodes exceeds the limit of 6 grid nodes per document\n");
    // An empty axis makes no nodes.
    Owner flat;
    readClean(flat, gridText({"0", "1", "2", "3"}, {}, {}));

    // One limit for all the grids of a document.
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
    EXPECT_EQ(describe(read(pair, "<pair><a>" + grid + "</a>\n<b>" + grid + "</b></pair>").errors),
              "2 /pair/b/pressure2d_grid/grid: a grid of 2 x 2 x 1 nodes exceeds the limit of 6 grid nodes per "
              "document (4 taken by the grids before it)\n");
    EXPECT_NE(pair.a, nullptr);
    EXPECT_EQ(pair.b, nullptr);
}

// Every grid problem carries the column of the element it is reported at, as every read error does.
TEST_F(GridElement, ProblemsCarryTheColumnOfTheirElement) {
    // Each line after the first indented by two: its element stands at column 3.
    const auto at = [this](std::string text) {
        for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 3))
            text.insert(i + 1, "  ");
        Owner in;
        std::vector<std::pair<int, int>> places;
        for (const xpReportedError& e : read(in, text).errors) places.emplace_back(e.line, e.column);
        return places;
    };
    using Places = std::vector<std::pair<int, int>>;
    const std::vector<std::string> x{"0", "1"};
    EXPECT_EQ(at(gridText({"0", "nan"})), (Places{{4, 3}}));
    EXPECT_EQ(at(gridText({"0", "1", "0"})), (Places{{5, 3}}));
    EXPECT_EQ(at(gridText(x, {R"(x="1" y="0" z="0" pressure="480")", R"(x="1" y="0" z="0" pressure="0")"})),
              (Places{{14, 3}}));
    EXPECT_EQ(at(gridText(x, {R"(x="0" y="0" z="0" pressure="inf")"})), (Places{{13, 3}}));
    // A point on no node is reported at the grid function, the node limit at its "grid" element.
    EXPECT_EQ(at(gridText(x, {R"(x="0.5" y="0" z="0" pressure="1")"})), (Places{{1, 11}}));
    kestrel::setMaxGridNodes(1);
    EXPECT_EQ(at(gridText(x)), (Places{{1, 28}}));
}

// A model whose axes would be refused on reading is written as it is, with an error saying so.
TEST_F(GridElement, WritingAxesThatWouldNotReadBackIsReported) {
    Owner out;
    auto* grid = mfCreate<Grid>();
    grid->setXValues({0, 1, 1});
    grid->setYValues({0});
    grid->setZValues({0});
    grid->node(2, 0, 0) = Pressure(480);
    out.object = grid;
    std::string text;
    const std::string errors = describe(document.write(out, text));
    EXPECT_NE(errors.find("x values 1 m and 1 m lie within the length tolerance: the grid would not read back"),
              std::string::npos)
        << errors;
    EXPECT_NE(text.find("480 Pa"), std::string::npos) << text;
}

}  // namespace
