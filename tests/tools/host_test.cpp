#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kestrel/components/framework/mfProgram.h"
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
