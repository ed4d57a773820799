#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/xlaFootprintLine.h"
#include "kestrel/elements/xlaFootprintPoint.h"
#include "kestrel/exchange/xpFutureElements.h"
#include "tools/host/hostDocument.h"

namespace {
struct Read {
    xpReadResult result;
    List<hostLoad> loads;
};

Read readLoads(const std::string& text) {
    hostSession session;
    Read read{session.document.read(session.root, text), session.root.m_loads};
    return read;
}

std::string writeLoads(const List<hostLoad>& loads) {
    hostSession session;
    session.root.m_loads = loads;
    std::string text;
    EXPECT_TRUE(session.document.write(session.root, text).empty());
    return text;
}
}  // namespace

TEST(HostDocument, ExampleRoundTripsExactly) {
    const List<hostLoad> example = hostExampleLoads();
    const std::string text = writeLoads(example);
    Read read = readLoads(text);
    EXPECT_TRUE(read.result.ok());
    EXPECT_EQ(read.loads, example);
    EXPECT_EQ(writeLoads(read.loads), text);
}

// The example shows every element of the vocabulary: a kind added to the list needs a load here.
TEST(HostDocument, ExampleShowsEveryKindOfTheList) {
    const std::string text = writeLoads(hostExampleLoads());
    kestrelForEach(kestrelKinds{}, [&](auto kind) {
        const std::string name = decltype(kind)::type::name;
        EXPECT_TRUE(text.find("<" + name + " ") != std::string::npos ||
                    text.find("<" + name + ">") != std::string::npos)
            << name;
    });
}

TEST(HostDocument, OptionalPartsOfOneLoadDoNotLeakIntoTheNext) {
    // The item element is read once per load: what one load had must not stay for the next.
    Read read = readLoads(R"(<loads>
      <load name="a" coordinates="cylindrical">
        <local_system><origin x="1" y="2" z="3"/><x_axis x="1" y="0" z="0"/><y_axis x="0" y="1" z="0"/></local_system>
      </load>
      <load name="b"/>
    </loads>)");
    ASSERT_TRUE(read.result.ok());
    ASSERT_EQ(read.loads.size(), 2u);
    EXPECT_EQ(read.loads.back().coordinates, hostCoordinates::cartesian);
    EXPECT_FALSE(read.loads.back().localSystem.has_value());
    EXPECT_EQ(read.loads.front().localSystem->origin(), pos3d(1, 2, 3));
}

TEST(HostDocument, ALoadWithErrorsIsReportedAndLeftOut) {
    Read read = readLoads(R"(<loads>
<load name="good"/>
<load name="bad"><local_system><origin x="1 kg" y="0" z="0"/><x_axis x="1" y="0" z="0"/><y_axis x="0" y="1" z="0"/></local_system></load>
<load name="also good" coordinates="cylindrical"/>
</loads>)");
    ASSERT_EQ(read.result.errors.size(), 1u);
    EXPECT_EQ(read.result.errors[0].line, 3);
    EXPECT_EQ(read.result.errors[0].path, "/loads/load[2]/local_system/origin/@x");
    EXPECT_NE(read.result.errors[0].message.find("1 kg"), std::string::npos);
    ASSERT_EQ(read.loads.size(), 2u);
    EXPECT_EQ(read.loads.back().name, "also good");
}

TEST(HostDocument, SchemaAcceptsWhatIsWrittenAndRefusesTypos) {
    hostSession session;
    const std::string schema = xpDocument::schema(session.root);
    hostValidation valid = hostValidate(writeLoads(hostExampleLoads()), schema);
    EXPECT_TRUE(valid.readable);
    EXPECT_TRUE(valid.errors.empty()) << valid.errors.front().message;
    hostValidation typo = hostValidate("<loads><load nmae='x'/></loads>", schema);
    EXPECT_FALSE(typo.errors.empty());
}

// Items of a sequence are placed among their same-named siblings only: other elements between
// them do not count, and a lone item carries no index.
TEST(host_document, sequence_items_are_placed_among_same_named_siblings) {
    const char* polygon = R"(<footprint><footprint_polygon><points>
<point x="0" y="0" z="0"/><point x="1" y="0" z="0"/><point x="1" y="1" z="oops"/></points></footprint_polygon></footprint>)";
    Read read = readLoads(std::string("<loads>\n<load name='a'>") + polygon + "</load>\n</loads>");
    ASSERT_EQ(read.result.errors.size(), 1u);
    EXPECT_EQ(read.result.errors[0].path, "/loads/load/footprint/footprint_polygon/points/point[3]/@z");
    EXPECT_EQ(read.result.errors[0].line, 3);
    read = readLoads(std::string("<loads>\n<stray/><load name='a'/>\n<stray/><load name='b'>") + polygon +
                     "</load>\n<load name='c'/></loads>");
    ASSERT_EQ(read.result.errors.size(), 3u);
    EXPECT_EQ(read.result.errors[0].path, "/loads/stray[1]");
    EXPECT_EQ(read.result.errors[1].path, "/loads/stray[2]");
    EXPECT_EQ(read.result.errors[2].path, "/loads/load[2]/footprint/footprint_polygon/points/point[3]/@z");
    ASSERT_EQ(read.loads.size(), 2u);
    EXPECT_EQ(read.loads.back().name, "c");
}

// A footprint child holds exactly one footprint element; whatever else is read is not kept.
TEST(HostDocument, FootprintChildTakesExactlyOneFootprint) {
    const long live = mfProgram::program().defaultStrategy().live();
    {
        Read read = readLoads(R"(<loads>
<load name="none"><footprint/></load>
<load name="two"><footprint><footprint_point><point x="1" y="2" z="3"/></footprint_point>
  <footprint_line><line><position x="0" y="0" z="0" end="1"/><position x="1" y="0" z="0" end="2"/></line></footprint_line>
</footprint></load>
<load name="unknown"><footprint><footprint_circle/></footprint></load>
<load name="kept"><footprint><footprint_point><point x="1" y="2" z="3"/></footprint_point></footprint></load>
</loads>)");
        std::string errors;
        for (const auto& e : read.result.errors) errors += std::to_string(e.line) + " " + e.message + "\n";
        EXPECT_EQ(errors,
                  "2 no footprint element here\n"
                  "3 more than one footprint element here\n"
                  "6 unexpected element \"footprint_circle\"\n");
        ASSERT_EQ(read.loads.size(), 1u);
        hostSession session;
        EXPECT_EQ(hostFootprintName(*read.loads.front().footprint), "footprint_point");
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live);
}

// Kind names are gathered from the document current when the index is built: another document
// that names a kind differently, or knows fewer kinds, neither changes nor borrows from it.
TEST(host_document, kind_names_belong_to_their_document) {
    const long live = mfProgram::program().defaultStrategy().live();
    {
        const std::unique_ptr<laFootprintPoint> pointObject(mfCreate<laFootprintPoint>(pos3d(1, 2, 3)));
        const std::unique_ptr<laFootprintLine> lineObject(
            mfCreate<laFootprintLine>(line3d(pos3d(0, 0, 0), pos3d(1, 0, 0))));
        const lcFootprint& point = *pointObject;
        const lcFootprint& line = *lineObject;
        hostSession standard;
        const hostKindNames first;
        {
            xpDocument other;
            xpCurrentDocument current(other);
            xpRegisterFutureElement<laFootprintPoint>("spot");
            const hostKindNames second;
            EXPECT_EQ(second.footprint(point), "spot");
            EXPECT_EQ(second.footprint(line), "");
            EXPECT_EQ(hostFootprintName(point), "spot");
            EXPECT_EQ(first.footprint(point), "footprint_point");
        }
        EXPECT_EQ(first.footprint(point), "footprint_point");
        EXPECT_EQ(first.footprint(line), "footprint_line");
        EXPECT_EQ(hostKindNames().footprint(point), "footprint_point");
        Read read = readLoads(writeLoads(hostExampleLoads()));
        ASSERT_TRUE(read.result.ok());
        std::size_t named = 0;
        for (const hostLoad& l : read.loads) {
            ASSERT_TRUE(l.intensity);
            EXPECT_EQ(first.intensity(*l.intensity), hostIntensityName(*l.intensity));
            named += !first.intensity(*l.intensity).empty();
        }
        EXPECT_EQ(named, read.loads.size());
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live);
}

// The model load takes its system from the load: a cylindrical load's values turn with it.
TEST(HostDocument, ModelLoadFollowsCoordinatesAndLocalSystem) {
    hostLoad load{"tank", hostCoordinates::cylindrical, locsys3d(pos3d(1, 0, 0), vec3d(1, 0, 0), vec3d(0, 1, 0)),
                  nullptr, nullptr};
    const lcLoad model = load.model();
    EXPECT_TRUE(model.coordsys().isCylindrical());
    EXPECT_EQ(model.coordsys().toLocal(pos3d(1, 2, 5)).x, 2.0);
    load.coordinates = hostCoordinates::cartesian;
    load.localSystem.reset();
    EXPECT_EQ(load.model().coordsys().toLocal(pos3d(1, 2, 5)), pos3d(1, 2, 5));
}

// Every script load of the example, read back from its document, gives what its script says.
TEST(HostDocument, ExampleScriptsEvaluateToWhatTheySay) {
    const Read read = readLoads(writeLoads(hostExampleLoads()));
    ASSERT_TRUE(read.result.ok());
    struct Expected {
        const char* name;
        pos3d at;
        std::vector<double> value;
    };
    const double t = 0.25;  // at x = 6 m on the 24 m rail
    const std::vector<Expected> expected{
        {"gusts", {5, 0, 2}, {600}},
        {"gusts", {5, 0, 4}, {800}},
        {"roof maintenance", {4, 0, 2}, {0, 0, -1000 - 50 * 4}},
        {"conveyor", {1, 0, 10}, {100 * std::sin(10.0)}},
        {"cable weight", {6, 0, 6}, {0, 0, -400 - 100 * t * (1 - t)}},
        {"pipe sun side", {6, 0, 6}, {15 + 10 * t}},
    };
    int scripts = 0;
    for (const hostLoad& load : read.loads)
        scripts += dynamic_cast<const laScriptFunction*>(load.intensity.get()) != nullptr;
    EXPECT_EQ(scripts, 5);
    for (const Expected& e : expected) {
        const hostLoad* load = nullptr;
        for (const hostLoad& l : read.loads)
            if (l.name == e.name) load = &l;
        ASSERT_NE(load, nullptr) << e.name;
        const lcLoad model = load->model();
        const lcIntensity value = load->intensity->getIntensity(&model, e.at, lcLoad::global, 1.0);
        EXPECT_EQ(hostEvaluationError(*load->intensity), "") << e.name;
        ASSERT_EQ(value.size(), e.value.size()) << e.name;
        for (std::size_t i = 0; i < value.size(); ++i) EXPECT_DOUBLE_EQ(value.real(i), e.value[i]) << e.name;
    }
}
