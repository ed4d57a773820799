#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laIntensityThreePointVarying.h"
#include "tools/host/hostDocument.h"
#include "tools/view/viewColourMap.h"
#include "tools/view/viewCommands.h"
#include "tools/view/viewEvaluation.h"
#include "tools/view/viewSampling.h"

namespace {

long live() {
    return mfProgram::program().defaultStrategy().live();
}

const hostLoad& named(const List<hostLoad>& loads, const std::string& name) {
    for (const hostLoad& l : loads)
        if (l.name == name) return l;
    throw std::runtime_error("no load " + name);
}

// The example written to a file, as a person would pass it to the command.
std::string exampleFile() {
    const std::string path = ::testing::TempDir() + "view_example.xml";
    hostSession session;
    session.root.m_loads = hostExampleLoads();
    std::string text;
    session.document.write(session.root, text);
    std::ofstream(path) << text;
    return path;
}

TEST(ViewEval, AppliesTheLimitFunctionAndTellsOffFootprintPositions) {
    const long start = live();
    {
        const List<hostLoad> loads = hostExampleLoads();
        // Above the facade the wind function still rises, but its range limit stops at 1000 Pa.
        const viewEvaluation wind = viewEvaluator(named(loads, "wind on facade")).at(pos3d(1, 0, 10));
        ASSERT_TRUE(wind.value && wind.limited);
        EXPECT_NEAR(wind.value->at(0), 600 + 500 * 10 / 7.0, 1e-9);
        EXPECT_EQ(*wind.limited, std::vector<double>{1000});
        EXPECT_EQ(wind.onFootprint, false);
        EXPECT_EQ(viewEvaluator(named(loads, "wind on facade")).at(pos3d(4, 0, 3)).onFootprint, true);
        // A liquid never pulls.
        const viewEvaluation water = viewEvaluator(named(loads, "hydrostatic")).at(pos3d(1, 0, 10));
        EXPECT_EQ(*water.value, std::vector<double>{-19620});
        EXPECT_EQ(*water.limited, std::vector<double>{0});
        // Without a limit function the limited value is the value; past the rail's end is off it.
        const viewEvaluation rail = viewEvaluator(named(loads, "crane rail")).at(pos3d(30, 0, 6));
        EXPECT_EQ(rail.limited, rail.value);
        EXPECT_EQ(rail.onFootprint, false);
        EXPECT_EQ(viewEvaluator(named(loads, "crane rail")).at(pos3d(24, 0, 6)).onFootprint, true);
        // No footprint: membership unknown. A script runs like any other function.
        EXPECT_FALSE(viewEvaluator(named(loads, "dead load")).at(pos3d(0, 0, 0)).onFootprint);
        const viewEvaluation gusts = viewEvaluator(named(loads, "gusts")).at(pos3d(1, 0, 1));
        EXPECT_EQ(*gusts.value, std::vector<double>{600});
        EXPECT_EQ(gusts.limited, gusts.value);
        EXPECT_EQ(gusts.onFootprint, true);
        EXPECT_EQ(gusts.error, "");
    }
    EXPECT_EQ(live(), start);
}

TEST(ViewEval, EveryExampleLoadReportsValueLimitFootprintAndUnit) {
    const std::map<std::string, std::string> units{
        {"dead load", "N/m2"},    {"column head", "N, N.m"},    {"crane rail", "N/m"},
        {"wind on facade", "Pa"}, {"tank wall", "Pa"},          {"snow drift", "N/m2"},
        {"braking", "Pa"},        {"belt friction", "Pa"},      {"support settlement", "m, rad"},
        {"gusts", "Pa"},          {"roof maintenance", "N/m2"}, {"conveyor", "Pa"},
        {"cable weight", "N/m"},  {"heated pipe", "K"},         {"pipe sun side", "K"},
        {"hydrostatic", "Pa"},    {"silo swirl", "Pa"},         {"measured wind", "Pa"}};
    std::ostringstream out, err;
    ASSERT_EQ(viewEvalCommand(exampleFile(), pos3d(4, 0, 3), lcLoad::global, true, out, err), 0) << err.str();
    const nlohmann::json report = nlohmann::json::parse(out.str());
    ASSERT_EQ(report["loads"].size(), units.size());
    for (const auto& l : report["loads"]) {
        const std::string name = l["name"];
        EXPECT_EQ(l["unit"], units.at(name)) << name;
        EXPECT_EQ(l["units"].size(), l["value"].is_null() ? l["units"].size() : l["value"].size()) << name;
        for (const char* key : {"value", "limited", "on_footprint", "intensity"}) EXPECT_TRUE(l.contains(key)) << name;
    }
    const auto find = [&](const std::string& name) {
        for (const auto& l : report["loads"])
            if (l["name"] == name) return l;
        return nlohmann::json();
    };
    EXPECT_EQ(find("column head")["units"], nlohmann::json({"N", "N", "N", "N.m", "N.m", "N.m"}));
    EXPECT_TRUE(find("dead load")["on_footprint"].is_null());

    // The text form says the same with units.
    std::ostringstream text;
    ASSERT_EQ(viewEvalCommand(exampleFile(), pos3d(1, 0, 10), lcLoad::global, false, text, err), 0);
    EXPECT_NE(text.str().find("load \"wind on facade\" pressure2d_3point_varying: value 1314.2857142857142 Pa, "
                              "limited 1000 Pa; off the footprint\n"),
              std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("value (0, 0, -120000) N, (0, 15000, 0) N.m; off the footprint"), std::string::npos);
    EXPECT_NE(text.str().find("\"gusts\" pressure2d_javascript: value 800 Pa; off the footprint"), std::string::npos);
}

TEST(ViewEval, AFailingScriptIsAnErrorOfItsLoad) {
    // function intensity(x, y, z) { throw new Error("no wind data"); }
    const std::string path = ::testing::TempDir() + "view_failing_script.xml";
    std::ofstream(path) << "<loads><load name=\"storm\"><intensity><pressure2d_javascript refinement=\"1 m\"><function "
                           "encoding=\"base64\">ZnVuY3Rpb24gaW50ZW5zaXR5KHgsIHksIHopIHsgdGhyb3cgbmV3IEVycm9yKCJu"
                           "byB3aW5kIGRhdGEiKTsgfQ==</function></pressure2d_javascript></intensity></load></loads>";
    for (const bool json : {false, true}) {
        std::ostringstream out, err;
        EXPECT_EQ(viewEvalCommand(path, pos3d(1, 2, 3), lcLoad::global, json, out, err), 1);
        EXPECT_NE(err.str().find("error: load \"storm\": "), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("no wind data"), std::string::npos) << err.str();
        if (json) {
            const std::string error = nlohmann::json::parse(out.str())["loads"][0]["error"];
            EXPECT_NE(error.find("no wind data"), std::string::npos);
        }
    }
}

TEST(ViewEval, JsonIsPrintedForDocumentsThatCannotBeRead) {
    const std::string path = ::testing::TempDir() + "view_malformed.xml";
    std::ofstream(path) << "<loads>\n  <load name=\"a\">\n</loads>";
    for (const std::string& file : {path, ::testing::TempDir() + "no-such-file.xml"}) {
        std::ostringstream out, err;
        EXPECT_EQ(viewEvalCommand(file, pos3d(0, 0, 0), lcLoad::global, true, out, err), 2);
        const nlohmann::json report = nlohmann::json::parse(out.str());
        EXPECT_EQ(report["file"], file);
        EXPECT_TRUE(report["loads"].empty());
        ASSERT_EQ(report["errors"].size(), 1u) << out.str();
        EXPECT_FALSE(report["errors"][0]["message"].get<std::string>().empty());
    }
}

TEST(ViewSample, RegularPositionsOverEachKindOfFootprint) {
    std::vector<pos3d> at;
    std::string error;
    // A 12 m by 7 m facade every metre: both edges included.
    const laFootprintPolygon facade(List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}});
    ASSERT_TRUE(viewSamplePositions(facade, 1.0, at, error)) << error;
    EXPECT_EQ(at.size(), 13u * 8u);
    EXPECT_EQ(at.front(), pos3d(0, 0, 0));
    for (const pos3d& p : at) EXPECT_TRUE(facade.within(p)) << mf_format(p);
    // A triangle keeps only the grid positions inside it: x + z <= 4 on a 1 m grid.
    const laFootprintPolygon triangle(List<pos3d>{{0, 0, 0}, {4, 0, 0}, {0, 0, 4}});
    ASSERT_TRUE(viewSamplePositions(triangle, 1.0, at, error));
    EXPECT_EQ(at.size(), 15u);
    // A line every 5 m from its first end, then its second end.
    const laFootprintLine rail(line3d(pos3d(0, 0, 6), pos3d(24, 0, 6)));
    ASSERT_TRUE(viewSamplePositions(rail, 5.0, at, error));
    ASSERT_EQ(at.size(), 6u);
    EXPECT_EQ(at[1], pos3d(5, 0, 6));
    EXPECT_EQ(at.back(), pos3d(24, 0, 6));
    // A point gives its one position; a box a grid along its own axes.
    ASSERT_TRUE(viewSamplePositions(laFootprintPoint(pos3d(1, 2, 3)), 0.1, at, error));
    EXPECT_EQ(at, std::vector<pos3d>{pos3d(1, 2, 3)});
    const locsys3d turned(pos3d(10, 0, 0), vec3d(0, 1, 0), vec3d(-1, 0, 0));
    const laFootprintBox box(oriented_bbox3d(pos3d(-3, -3, 0), pos3d(3, 3, 8), turned));
    ASSERT_TRUE(viewSamplePositions(box, 2.0, at, error));
    EXPECT_EQ(at.size(), 4u * 4u * 5u);
    for (const pos3d& p : at) EXPECT_TRUE(box.within(p)) << mf_format(p);
}

TEST(ViewSample, RefusesStepsThatAreNoLengthOrMakeTooManyPositions) {
    std::vector<pos3d> at;
    std::string error;
    const laFootprintPolygon facade(List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}});
    for (double step : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(viewSamplePositions(facade, step, at, error)) << step;
        EXPECT_NE(error.find("step"), std::string::npos);
    }
    EXPECT_FALSE(viewSamplePositions(facade, 1e-3, at, error));
    EXPECT_NE(error.find("at most 1000000"), std::string::npos) << error;
    EXPECT_TRUE(at.empty());
    // The step it proposes is accepted.
    const std::string proposed = error.substr(error.rfind("least ") + 6);
    EXPECT_TRUE(viewSamplePositions(facade, std::stod(proposed), at, error)) << error;
    const laFootprintBox box(oriented_bbox3d(pos3d(0, 0, 0), pos3d(100, 100, 100), locsys3d()));
    EXPECT_FALSE(viewSamplePositions(box, 0.5, at, error));
    const laFootprintLine longLine(line3d(pos3d(0, 0, 0), pos3d(1e9, 0, 0)));
    EXPECT_FALSE(viewSamplePositions(longLine, 1.0, at, error));
    const laFootprintLine broken(line3d(pos3d(0, 0, 0), pos3d(std::nan(""), 0, 0)));
    EXPECT_FALSE(viewSamplePositions(broken, 1.0, at, error));
    EXPECT_NE(error.find("not finite"), std::string::npos);
}

TEST(ViewSample, CommandWritesRowsWithValuesAndLimits) {
    const std::string file = exampleFile();
    std::ostringstream csv, err;
    ASSERT_EQ(viewSampleCommand(file, "wind on facade", 1.0, viewFormat::csv, csv, err), 0) << err.str();
    std::istringstream lines(csv.str());
    std::string header, row;
    std::getline(lines, header);
    EXPECT_EQ(header, "x [m],y [m],z [m],value pressure [Pa],limited pressure [Pa]");
    int rows = 0;
    while (std::getline(lines, row)) ++rows;
    EXPECT_EQ(rows, 13 * 8);
    EXPECT_NE(csv.str().find("\n0,0,7,1100,1000\n"), std::string::npos);

    std::ostringstream json;
    ASSERT_EQ(viewSampleCommand(file, "gusts", 4.0, viewFormat::json, json, err), 0);
    const nlohmann::json report = nlohmann::json::parse(json.str());
    EXPECT_EQ(report["unit"], "Pa");
    EXPECT_EQ(report["samples"].size(), 4u * 2u);
    EXPECT_FALSE(report["samples"][0]["value"].is_null());

    std::ostringstream none;
    EXPECT_EQ(viewSampleCommand(file, "no such load", 1.0, viewFormat::csv, none, err), 2);
    EXPECT_NE(err.str().find("has no load named \"no such load\""), std::string::npos);
    EXPECT_EQ(viewSampleCommand(file, "dead load", 1.0, viewFormat::csv, none, err), 2);
    EXPECT_EQ(viewSampleCommand(file, "hydrostatic", 1e-4, viewFormat::csv, none, err), 2);
    EXPECT_TRUE(none.str().empty());
}

TEST(ViewCommands, OutputThatCannotBeWrittenFails) {
    const std::string file = exampleFile();
    std::ostream broken(nullptr);
    std::ostringstream err;
    EXPECT_EQ(viewEvalCommand(file, pos3d(0, 0, 0), lcLoad::global, true, broken, err), 2);
    EXPECT_EQ(viewSampleCommand(file, "crane rail", 1.0, viewFormat::csv, broken, err), 2);
    EXPECT_NE(err.str().find("kestrel sample: cannot write the output"), std::string::npos);
}

TEST(ViewCommands, PlotDrawsEachLoadIntoAFolderOrOneIntoAFile) {
    namespace fs = std::filesystem;
    const std::string file = exampleFile();
    const fs::path folder = fs::path(::testing::TempDir()) / "view_plots";
    fs::remove_all(folder);
    std::ostringstream out, err;
    ASSERT_EQ(viewPlotCommand(file, "", folder.string(), out, err), 0) << err.str();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 17);
    EXPECT_TRUE(fs::exists(folder / "wind-on-facade.svg"));
    EXPECT_NE(err.str().find("skipped: load \"dead load\" has no footprint"), std::string::npos);
    // One load into an existing folder takes its name; into a path that cannot be written fails.
    fs::remove(folder / "tank-wall.svg");
    ASSERT_EQ(viewPlotCommand(file, "tank wall", folder.string(), out, err), 0);
    EXPECT_TRUE(fs::exists(folder / "tank-wall.svg"));
    EXPECT_EQ(viewPlotCommand(file, "tank wall", (folder / "missing" / "x.svg").string(), out, err), 2);
    EXPECT_EQ(viewPlotCommand(file, "dead load", (folder / "dead.svg").string(), out, err), 2);
    EXPECT_FALSE(fs::exists(folder / "dead.svg"));
}

TEST(ViewColourMap, RunsFromDarkToLight) {
    EXPECT_EQ(viewViridis(0).hex(), "#440154");
    EXPECT_EQ(viewViridis(1).hex(), "#fde725");
    EXPECT_EQ(viewViridis(-3).hex(), "#440154");
    EXPECT_EQ(viewViridis(std::nan("")).hex(), "#440154");
    // Lightness (a rough luma) rises all the way.
    double previous = -1;
    for (int i = 0; i <= 50; ++i) {
        const viewColour c = viewViridis(i / 50.0);
        const double luma = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        EXPECT_GT(luma, previous) << i;
        previous = luma;
    }
}

}  // namespace
