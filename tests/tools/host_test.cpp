#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
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

// Loads handed on as they are read are those a read keeps, and none is kept; a document refused
// after some loads has handed them on, and says it was refused.
TEST(HostDocument, EachLoadIsHandedOnAsItIsRead) {
    const std::string text = R"(<loads>
<load name="good"/>
<load name="bad"><local_system/></load>
<load name="also good" coordinates="cylindrical"/>
</loads>)";
    const Read kept = readLoads(text);
    for (const bool stream : {false, true}) {
        hostSession session;
        std::vector<hostLoad> handed;
        // Each record comes just before its load, if it has one.
        std::string order;
        session.root.setEach([&](hostLoad&& load) {
            EXPECT_TRUE(session.root.m_loads.empty());
            order += "L";
            handed.push_back(std::move(load));
        });
        session.root.setEachRecord([&](hostLoadRecord&& record) { order += record.read ? "r" : "u"; });
        std::istringstream in(text);
        const xpReadResult result =
            stream ? session.document.readStream(session.root, in) : session.document.read(session.root, text);
        EXPECT_EQ(result.errors.size(), kept.result.errors.size());
        EXPECT_TRUE(session.root.m_loads.empty());
        EXPECT_TRUE(session.root.m_records.empty());
        EXPECT_EQ(order, "rLurL");
        ASSERT_EQ(handed.size(), kept.loads.size());
        EXPECT_TRUE(std::equal(handed.begin(), handed.end(), kept.loads.begin()));
        session.root.setEachRecord({});

        handed.clear();
        const xpReadResult cut = session.document.read(session.root, text.substr(0, text.size() - 3));
        EXPECT_FALSE(cut.wellFormed);
        EXPECT_EQ(handed.size(), 2u);
    }
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
    }
    EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live);
}
