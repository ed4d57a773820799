#include <gtest/gtest.h>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaFootprintLine.h"
#include "kestrel/elements/xlaFootprintPoint.h"
#include "kestrel/elements/xlaFootprintPolygon.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "kestrel/model/laFootprintBox.h"
#include "kind_fixture.h"

namespace {

using kestrel_test::describe;

class Footprints : public kestrel_test::KindFixture {};

// The two positions are told apart by "end", in whatever order they stand.
TEST_F(Footprints, LineEndsAreMatchedByTheirEndAttribute) {
    xlaFootprintLine element;
    element.setName("footprint_line");
    readClean(element, R"(<footprint_line><line>
        <position x="2" y="0" z="0" end="2"/><position x="1" y="0" z="0" end="1"/></line></footprint_line>)");
    std::unique_ptr<laFootprintLine> line(element.import());
    EXPECT_EQ(line->geometry(), line3d(pos3d(1, 0, 0), pos3d(2, 0, 0)));

    auto result = read(element, R"(<footprint_line><line>
        <position x="2" y="0" z="0" end="2"/><position x="1" y="0" z="0" end="3"/></line></footprint_line>)");
    EXPECT_NE(describe(result.errors).find("/footprint_line/line/position[2]"), std::string::npos)
        << describe(result.errors);
}

// A box without "local_system" has the element's default system, also after a box that had one.
// The box element is used as a polymorphic member uses it: as a clone of its prototype.
TEST_F(Footprints, BoxWithoutSystemKeepsTheDefault) {
    std::unique_ptr<xpFutureElementBase<lcFootprint_3d>> box(
        xpGetFutureElements<lcFootprint_3d>()->prototypes().begin()->second->clone());
    auto& element = dynamic_cast<xpElement&>(*box);
    auto readBox = [&](const std::string& system) {
        readClean(element, R"(<footprint_box><lower_corner x="0" y="0" z="0"/><upper_corner x="1" y="1" z="1"/>)" +
                               system + R"(<local_system_origin x="3" y="3" z="3"/></footprint_box>)");
        lcFootprint_3d* read = nullptr;
        EXPECT_TRUE(box->future_import(read));
        return std::unique_ptr<laFootprintBox>(dynamic_cast<laFootprintBox*>(read));
    };
    auto first = readBox(R"(<local_system><origin x="1" y="1" z="1"/><x_axis x="0" y="1" z="0"/>)"
                         R"(<y_axis x="0" y="0" z="1"/></local_system>)");
    EXPECT_EQ(first->orientedBounding().locsys().origin(), pos3d(1, 1, 1));
    auto second = readBox("");
    EXPECT_EQ(second->orientedBounding().locsys(), locsys3d());
    EXPECT_EQ(second->getOriginLocalSystem(), pos3d(3, 3, 3));
}

TEST_F(Footprints, StorageWithoutMemoryYieldsNoFootprint) {
    bosNullStrategy none;
    bosStrategyInterface* previous = mfProgram::program().setStrategy(&none);
    xlaFootprintPoint element;
    EXPECT_EQ(element.import(), nullptr);
    lcFootprint_0d* result = nullptr;
    EXPECT_FALSE(element.future_import(result));
    mfProgram::program().setStrategy(previous);
}

// Corners that bound no area make no footprint: fewer than three, fewer than three apart by the
// length tolerance, or all within it of one line. Each is refused at the polygon's element.
TEST_F(Footprints, PolygonsWithoutAreaAreRefused) {
    const auto points = [](const std::vector<std::string>& corners) {
        std::string text = "<owner><footprint>\n  <footprint_polygon><points>";
        for (const std::string& c : corners) text += "<point " + c + "/>";
        return text + "</points></footprint_polygon></footprint></owner>";
    };
    const std::string a = R"(x="0" y="0" z="0")", b = R"(x="1" y="0" z="0")", c = R"(x="2" y="0" z="0")",
                      nearA = R"(x="0" y="5e-7" z="0")", up = R"(x="1" y="1e-6" z="0")";
    const std::string where = "2 /owner/footprint/footprint_polygon: ";
    for (const auto& [corners, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{}, "a polygon needs at least three points, this one has 0"},
             {{a}, "a polygon needs at least three points, this one has 1"},
             {{a, b}, "a polygon needs at least three points, this one has 2"},
             {{a, a, nearA}, "its points all coincide: a polygon needs three distinct points"},
             {{a, b, a, nearA}, "it has only two distinct points: a polygon needs three"},
             {{a, b, c}, "its points lie on one straight line: the polygon has no area"},
             {{c, a, b, R"(x="1.5" y="9e-7" z="0")"}, "its points lie on one straight line: the polygon has no area"},
         }) {
        kestrel_test::Owner<lcFootprint_2d> in("footprint");
        const xpReadResult result = read(in, points(corners));
        EXPECT_EQ(describe(result.errors), where + message + "\n") << points(corners);
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_EQ(result.errors[0].column, 3);
        EXPECT_EQ(in.object, nullptr);
    }
    // Written as it is, with an error: what is written must read back.
    kestrel_test::Owner<lcFootprint_2d> out("footprint");
    out.object = mfCreate<laFootprintPolygon>(List<pos3d>{{0, 0, 0}, {1, 0, 0}});
    std::string text;
    EXPECT_NE(describe(document.write(out, text))
                  .find("a polygon needs at least three points, this one has 2; it "
                        "would not read back"),
              std::string::npos);
    EXPECT_NE(text.find(R"(<point x="1 m" y="0 m" z="0 m" />)"), std::string::npos) << text;
    // A corner the tolerance off the line makes an area.
    kestrel_test::Owner<lcFootprint_2d> thin("footprint");
    readClean(thin, points({a, c, up}));
    EXPECT_NE(thin.object, nullptr);
}

}  // namespace
