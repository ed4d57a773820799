#include "kestrel/kestrel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <tuple>

#include "tools/host/hostDocument.h"

namespace {
long live() {
    return mfProgram::program().defaultStrategy().live();
}

kestrel::Load facade() {
    kestrel::Load load;
    load.name = "facade";
    load.footprint = kestrel::make<laFootprintPolygon>(List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}});
    auto pressure = kestrel::make<laIntensityThreePointVarying<laPressure<double>>>(
        pos3d(0, 0, 0), laPressure<double>(600), pos3d(12, 0, 0), laPressure<double>(600), pos3d(0, 0, 7),
        laPressure<double>(1100));
    pressure->positionSystem = lcLoad::global;
    load.intensity = pressure;
    return load;
}

// A read's errors, "LINE:COLUMN PATH: MESSAGE", what became of each load element, and the loads.
std::string report(const kestrel::ReadResult& read) {
    std::string text;
    for (const auto& e : read.errors)
        text += std::to_string(e.line) + ":" + std::to_string(e.column) + " " + e.path + ": " + e.message + "\n";
    for (const auto& r : read.records)
        text += std::to_string(r.line) + " " + r.path + " \"" + r.name + (r.read ? "\" read\n" : "\" left out\n");
    for (const auto& load : read.loads) text += "load \"" + load.name + "\"\n";
    return text;
}

// The results of reading a document from text, a stream, a file and a pugixml tree.
std::vector<kestrel::ReadResult> everyWay(const std::string& text, const kestrel::ReadOptions& options = {}) {
    // Named apart: other runs of the tests may read at the same time.
    const auto path = std::filesystem::temp_directory_path() / ("kestrel_" + std::to_string(std::random_device()()));
    std::ofstream(path) << text;
    std::istringstream stream(text);
    pugi::xml_document tree;
    EXPECT_TRUE(tree.load_string(text.c_str()));
    std::vector<kestrel::ReadResult> results;
    results.push_back(kestrel::readLoads(text, options));
    results.push_back(kestrel::readLoads(stream, options));
    results.push_back(kestrel::readLoadsFile(path, options));
    results.push_back(kestrel::readLoads(tree, options));
    std::filesystem::remove(path);
    return results;
}
}  // namespace

// A load reads back as written and evaluates to what its intensity function says; every model
// object is released with its loads. A tree whose root is another element is refused.
TEST(LoadDocument, AWrittenLoadReadsBackEqualAndEvaluates) {
    const long before = live();
    {
        const kestrel::WriteResult written = kestrel::writeLoads({facade(), facade()});
        ASSERT_TRUE(written.ok());
        EXPECT_EQ(kestrel::readLoads(written.text).loads.at(1), facade());
        // 600 Pa rising to 1100 Pa over 7 m, at 3.5 m.
        const kestrel::Evaluation at = kestrel::evaluate(facade(), pos3d(4, 0, 3.5));
        ASSERT_EQ(at.value.size(), 1u);
        EXPECT_DOUBLE_EQ(at.value[0], 850);
        EXPECT_FALSE(kestrel::evaluate(kestrel::Load{}, pos3d(0, 0, 0)).has_value());
    }
    EXPECT_EQ(live(), before);
    pugi::xml_document other;
    EXPECT_FALSE(kestrel::readLoads(other.append_child("other")).readable);
}

// Past the limit errors are counted, not kept, however a document is read: a hostile document
// cannot fill memory with them. A tree has no lines.
TEST(LoadDocument, EveryWayIntoAReadKeepsTheErrorLimit) {
    for (const auto& [limit, listed, last] : {std::tuple{1u, 2u, "2 more errors found and not listed (error limit 1)"},
                                              {2u, 3u, "1 more error found and not listed (error limit 2)"},
                                              {3u, 3u, "unexpected attribute \"d\""}}) {
        int way = 0;
        for (const kestrel::ReadResult& read : everyWay("<loads>\n<load name='a' b='' c='' d=''/></loads>", {limit})) {
            ASSERT_EQ(read.errors.size(), listed) << way;
            EXPECT_EQ(read.unlisted, 3 - limit) << way;
            EXPECT_EQ(read.errors[0].path, "/loads/load/@b") << way;
            EXPECT_EQ(read.errors[0].line, way++ == 3 ? 0 : 2);
            EXPECT_EQ(read.errors.back().message, last) << way;
        }
    }
}

// A write that fails hands back every problem, with the place of its load, and no text; written
// to a stream, what went out before a problem stays there.
TEST(LoadDocument, AFailedWriteSaysWhereAndGivesNoText) {
    std::vector<kestrel::Load> loads(3, facade());
    loads[1].localSystem = locsys3d({NAN, 0, 0}, {1, 0, 0}, {0, 1, 0});
    loads[2].localSystem = locsys3d({INFINITY, 0, 0}, {1, 0, 0}, {0, 1, 0});
    const kestrel::WriteResult whole = kestrel::writeLoads(loads);
    EXPECT_EQ(whole.text, "");
    std::ostringstream out;
    for (const std::vector<kestrel::Diagnostic>& errors : {whole.errors, kestrel::writeLoads(loads, out)}) {
        ASSERT_EQ(errors.size(), 2u);
        EXPECT_EQ(errors[0].path, "/loads/load[2]/local_system/origin/@x");
        EXPECT_EQ(errors[0].message, "cannot write the non-finite number NaN");
        EXPECT_EQ(errors[1].path, "/loads/load[3]/local_system/origin/@x");
    }
    const std::string first = kestrel::writeLoads({facade()}).text;
    EXPECT_TRUE(out.str().starts_with(first.substr(0, first.find("</load>")))) << out.str();

    // Grid points stream out one at a time: the ones written before still count for the path.
    std::vector<kestrel::Load> grid = kestrel::readLoads(R"(<loads><load name="silo"><intensity><pressure2d_grid>
<grid><x_values><x_value value="0"/><x_value value="1"/><x_value value="2"/></x_values>
<y_values><y_value value="0"/></y_values><z_values><z_value value="0"/></z_values></grid>
<pressure_points><pressure_point x="0" y="0" z="0" pressure="1"/><pressure_point x="1" y="0" z="0" pressure="2"/>
<pressure_point x="2" y="0" z="0" pressure="3"/></pressure_points></pressure2d_grid></intensity></load></loads>)")
                                          .loads;
    auto& nodes = dynamic_cast<laIntensityFunctionGrid<laPressure<double>>&>(*grid.at(0).intensity);
    nodes.node(1, 0, 0) = nodes.node(2, 0, 0) = laPressure<double>(INFINITY);
    const std::vector<kestrel::Diagnostic> points = kestrel::writeLoads(grid).errors;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].path, "/loads/load/intensity/pressure2d_grid/pressure_points/pressure_point[2]/@pressure");
    EXPECT_EQ(points[1].path, "/loads/load/intensity/pressure2d_grid/pressure_points/pressure_point[3]/@pressure");
}

// Errors carry the line, the column (in characters, not bytes) and the path of what they concern;
// a load with errors is left out and the others are read. A grid point on no node is a warning
// about that point: its load keeps the grid and is read.
TEST(LoadDocument, ErrorsCarryLineColumnAndPath) {
    EXPECT_EQ(report(kestrel::readLoads("<loads>\n<load nmae='x'/>\n<load name='y'/></loads>")),
              "2:1 /loads/load[1]/@name: Required field not found\n"
              "2:1 /loads/load[1]/@nmae: unexpected attribute \"nmae\"\n"
              "2 /loads/load[1] \"\" left out\n3 /loads/load[2] \"y\" read\nload \"y\"\n");
    EXPECT_EQ(report(kestrel::readLoads("<loads>\n<load name='é'/> <bad/></loads>")),
              "2:18 /loads/bad: unexpected element \"bad\"\n2 /loads/load \"é\" read\nload \"é\"\n");
    const long before = live();
    {
        const kestrel::ReadResult read = kestrel::readLoads(R"(<loads>
<load name="silo"><intensity><pressure2d_grid><grid>
  <x_values><x_value value="0"/><x_value value="1"/></x_values>
  <y_values><y_value value="0"/></y_values><z_values><z_value value="0"/></z_values></grid>
  <pressure_points><pressure_point x="0.5" y="0" z="0" pressure="7"/>
  <pressure_point x="1" y="0" z="0" pressure="9"/></pressure_points>
</pressure2d_grid></intensity></load>
<load name="after"/></loads>)");
        EXPECT_EQ(report(read),
                  "2:30 /loads/load[1]/intensity/pressure2d_grid: (0.5, 0, 0) does not represent a gridpoint\n"
                  "2 /loads/load[1] \"silo\" read\n8 /loads/load[2] \"after\" read\nload \"silo\"\nload \"after\"\n");
        EXPECT_NE(dynamic_cast<laIntensityFunctionGrid<laPressure<double>>*>(read.loads.at(0).intensity.get()),
                  nullptr);
    }
    EXPECT_EQ(live(), before);
}

// Loads handed on one at a time are those a read keeps, with the same records and errors; what
// the receiver throws ends the read and reaches the caller, and nothing leaks either way.
TEST(LoadDocument, EachLoadCanBeTakenAsItIsRead) {
    const long before = live();
    {
        std::vector<kestrel::Load> loads(3, facade());
        loads[1].name = "second";
        std::string text = kestrel::writeLoads(loads).text;
        text.insert(text.find("<load name=\"second\""), "<load name=\"bad\" coordinates=\"polar\"/>");
        const kestrel::ReadResult kept = kestrel::readLoads(text);
        std::vector<kestrel::Load> handed;
        std::istringstream in(text);
        const kestrel::ReadResult each =
            kestrel::forEachLoad(in, [&](kestrel::Load&& load) { handed.push_back(std::move(load)); });
        EXPECT_TRUE(each.loads.empty());
        EXPECT_EQ(handed, kept.loads);
        kestrel::ReadResult whole = each;
        whole.loads = handed;
        EXPECT_EQ(report(whole), report(kept));

        // Records too can be handed on rather than kept, each just before its load.
        std::vector<kestrel::LoadRecord> records;
        std::istringstream again(text);
        const kestrel::ReadResult lean =
            kestrel::forEachLoad(again, {[&](kestrel::Load&&) { EXPECT_TRUE(records.back().read); },
                                         [&](kestrel::LoadRecord&& record) { records.push_back(std::move(record)); }});
        EXPECT_TRUE(lean.records.empty());
        auto fields = [](const std::vector<kestrel::LoadRecord>& list) {
            std::string all;
            for (const auto& r : list)
                all += r.name + ' ' + r.path + ' ' + std::to_string(r.line) + (r.read ? " read\n" : "\n");
            return all;
        };
        EXPECT_EQ(fields(records), fields(kept.records));
        EXPECT_EQ(records.size(), 4u);

        const auto path =
            std::filesystem::temp_directory_path() / ("kestrel_" + std::to_string(std::random_device()()));
        std::ofstream(path) << text;
        int calls = 0;
        EXPECT_THROW(kestrel::forEachLoadInFile(path,
                                                [&](kestrel::Load&&) {
                                                    if (++calls == 2) throw std::runtime_error("full");
                                                }),
                     std::runtime_error);
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(report(kestrel::forEachLoadInFile(path.string() + "-absent", [](kestrel::Load&&) {})),
                  "0:0 : No such file or directory\n");
        std::filesystem::remove(path);
    }
    EXPECT_EQ(live(), before);
}

TEST(LoadDocument, AFileThatCannotBeOpenedSaysWhy) {
    const kestrel::ReadResult absent = kestrel::readLoadsFile("/nonexistent/loads.xml");
    EXPECT_FALSE(absent.readable);
    EXPECT_EQ(report(absent), "0:0 : No such file or directory\n");
    EXPECT_EQ(report(kestrel::readLoadsFile(std::filesystem::temp_directory_path())), "0:0 : Is a directory\n");
}

// A host that builds its own document but forgets the registration gets an error naming the fix,
// not a document without footprint and intensity that reads back clean.
TEST(LoadDocument, WritingWithoutRegistrationIsAnError) {
    const long before = live();
    {
        xpDocument document;
        xpCurrentDocument current(document);
        xhostLoads root;
        root.m_loads.push_back(facade());
        std::string text, all;
        for (const auto& e : document.write(root, text)) all += e.message + "\n";
        EXPECT_LT(all.find("call kestrel::register_futures() with the document current"), all.find('\n')) << all;
        EXPECT_NE(all.find("lcFootprint_2d"), std::string::npos) << all;
        EXPECT_NE(all.find("laIntensityFunction"), std::string::npos) << all;
        // Reading names the fix too, and does not take the loads just written for its own.
        all.clear();
        const std::string point =
            "<loads><load name='p'><footprint><footprint_point><point x='1' y='2' z='3'/>"
            "</footprint_point></footprint></load></loads>";
        for (const auto& e : document.read(root, point).errors) all += e.message + "\n";
        EXPECT_NE(all.find("no element class is registered for lcFootprint"), std::string::npos) << all;
    }
    EXPECT_EQ(live(), before);
}

// The committed example document reads clean, validates against the committed schema and is
// written back byte for byte; the schema written today is the committed one. Any change to an
// element's children, their order or their types shows here first.
TEST(LoadDocument, ReferenceDocumentsAreWrittenAsCommitted) {
    const auto committed = [](const char* name) {
        std::string text, failure;
        EXPECT_TRUE(kestrel::readFileText(std::filesystem::path(KESTREL_SOURCE_DIR) / name, text, failure)) << failure;
        return text;
    };
    const std::string example = committed("examples/loads.xml");
    const std::string schema = committed("tests/document/loads.xsd");
    EXPECT_EQ(kestrel::loadsSchema(), schema);
    EXPECT_EQ(kestrel::undocumentedVocabulary(), std::vector<std::string>());
    const long before = live();
    {
        // Text, stream, file and tree give the same loads.
        const std::vector<kestrel::ReadResult> reads = everyWay(example);
        for (const kestrel::ReadResult& read : reads) {
            EXPECT_TRUE(read.ok());
            ASSERT_EQ(read.loads.size(), reads[0].loads.size());
            for (std::size_t i = 0; i < read.loads.size(); ++i) EXPECT_TRUE(read.loads[i] == reads[0].loads[i]) << i;
            EXPECT_EQ(read.records.size(), read.loads.size());
        }
        const hostValidation valid = hostValidate(example, schema);
        EXPECT_TRUE(valid.readable);
        EXPECT_TRUE(valid.errors.empty()) << valid.errors.front().message;
        const kestrel::WriteResult written = kestrel::writeLoads(reads[0].loads);
        ASSERT_TRUE(written.ok());
        EXPECT_EQ(written.text, example);
    }
    EXPECT_EQ(live(), before);
}
