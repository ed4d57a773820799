#include "kestrel/kestrel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
}  // namespace

// Text, stream and file give the same loads; every model object is released with its loads.
TEST(LoadDocument, WrittenLoadsReadBackEqualFromTextStreamAndFile) {
    const long before = live();
    {
        const kestrel::WriteResult written = kestrel::writeLoads({facade(), facade()});
        ASSERT_TRUE(written.ok());
        std::istringstream stream(written.text);
        const auto path = std::filesystem::temp_directory_path() / "kestrel_loads_test.xml";
        std::ofstream(path) << written.text;
        for (const kestrel::ReadResult& read :
             {kestrel::readLoads(written.text), kestrel::readLoads(stream), kestrel::readLoadsFile(path)}) {
            EXPECT_TRUE(read.ok());
            ASSERT_EQ(read.loads.size(), 2u);
            EXPECT_EQ(read.loads.front(), facade());
            EXPECT_EQ(read.records.size(), 2u);
        }
        std::filesystem::remove(path);
        // 600 Pa rising to 1100 Pa over 7 m, at 3.5 m.
        const kestrel::Evaluation at = kestrel::evaluate(facade(), pos3d(4, 0, 3.5));
        ASSERT_EQ(at.value.size(), 1u);
        EXPECT_DOUBLE_EQ(at.value[0], 850);
        EXPECT_FALSE(kestrel::evaluate(kestrel::Load{}, pos3d(0, 0, 0)).has_value());
    }
    EXPECT_EQ(live(), before);
}

TEST(LoadDocument, ErrorsCarryLineColumnAndPath) {
    const kestrel::ReadResult malformed = kestrel::readLoads("<loads>\n  <load name='a'/><load");
    EXPECT_FALSE(malformed.readable);
    ASSERT_EQ(malformed.errors.size(), 1u);
    EXPECT_EQ(malformed.errors[0].line, 2);
    EXPECT_GT(malformed.errors[0].column, 0);
    EXPECT_EQ(malformed.errors[0].message.find("column"), std::string::npos);

    const kestrel::ReadResult typo = kestrel::readLoads("<loads>\n<load nmae='x'/>\n<load name='y'/></loads>");
    // Columns count characters, not bytes.
    const kestrel::ReadResult wide = kestrel::readLoads("<loads>\n<load name='é'/> <bad/></loads>");
    ASSERT_EQ(wide.errors.size(), 1u);
    EXPECT_EQ(wide.errors[0].line, 2);
    EXPECT_EQ(wide.errors[0].column, 18);
    EXPECT_TRUE(typo.readable);
    EXPECT_FALSE(typo.ok());
    ASSERT_FALSE(typo.errors.empty());
    EXPECT_EQ(typo.errors[0].line, 2);
    EXPECT_EQ(typo.errors[0].column, 1);
    EXPECT_EQ(typo.errors[0].path.rfind("/loads/load[1]", 0), 0u) << typo.errors[0].path;
    ASSERT_EQ(typo.loads.size(), 1u);
    EXPECT_EQ(typo.loads.front().name, "y");
}

TEST(LoadDocument, AFileThatCannotBeOpenedSaysWhy) {
    const kestrel::ReadResult absent = kestrel::readLoadsFile("/nonexistent/loads.xml");
    EXPECT_FALSE(absent.readable);
    ASSERT_EQ(absent.errors.size(), 1u);
    EXPECT_EQ(absent.errors[0].message, "No such file or directory");
    const kestrel::ReadResult folder = kestrel::readLoadsFile(std::filesystem::temp_directory_path());
    ASSERT_EQ(folder.errors.size(), 1u);
    EXPECT_EQ(folder.errors[0].message, "Is a directory");
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
        std::string text;
        const std::vector<xpReportedError> errors = document.write(root, text);
        ASSERT_FALSE(errors.empty());
        EXPECT_NE(errors[0].message.find("call kestrel::register_futures() with the document current"),
                  std::string::npos)
            << errors[0].message;
        std::string all;
        for (const auto& e : errors) all += e.message + "\n";
        EXPECT_NE(all.find("lcFootprint_2d"), std::string::npos) << all;
        EXPECT_NE(all.find("laIntensityFunction"), std::string::npos) << all;
    }
    EXPECT_EQ(live(), before);
}

TEST(LoadDocument, VersionMatchesTheHeaders) {
    EXPECT_STREQ(kestrel::version(), KESTREL_VERSION_STRING);
    EXPECT_EQ(KESTREL_VERSION, KESTREL_VERSION_MAJOR * 10000 + KESTREL_VERSION_MINOR * 100 + KESTREL_VERSION_PATCH);
}

// Every element and attribute is documented, in the schema as in the reference.
TEST(LoadDocument, VocabularyIsDocumentedInTheSchema) {
    EXPECT_EQ(kestrel::undocumentedVocabulary(), std::vector<std::string>());
    const std::string schema = kestrel::loadsSchema();
    std::size_t named = 0;
    for (std::size_t at = schema.find(" name=\""); at != std::string::npos; at = schema.find(" name=\"", at + 1))
        ++named;
    std::size_t documented = 0;
    for (std::size_t at = schema.find("<xs:documentation>"); at != std::string::npos;
         at = schema.find("<xs:documentation>", at + 1))
        ++documented;
    // Named types carry no documentation of their own.
    EXPECT_GT(documented, named / 2);
    EXPECT_NE(schema.find("<xs:documentation>A temperature difference"), std::string::npos);
    const std::string reference = kestrel::vocabularyReference();
    EXPECT_NE(reference.find("| `range_type` | `limit_function_range` |"), std::string::npos);
    EXPECT_NE(reference.find("| `temperature` |"), std::string::npos);
}

// A pressure point on no grid node is a warning about that point: the load keeps its grid and
// the other points, and is read.
TEST(LoadDocument, AStrayGridPointKeepsItsLoad) {
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
        EXPECT_TRUE(read.readable);
        ASSERT_EQ(read.errors.size(), 1u);
        EXPECT_EQ(read.errors[0].message, "(0.5, 0, 0) does not represent a gridpoint");
        EXPECT_EQ(read.errors[0].line, 2);
        EXPECT_EQ(read.errors[0].path, "/loads/load[1]/intensity/pressure2d_grid");
        ASSERT_EQ(read.records.size(), 2u);
        EXPECT_TRUE(read.records[0].read);
        ASSERT_EQ(read.loads.size(), 2u);
        auto* grid = dynamic_cast<laIntensityFunctionGrid<laPressure<double>>*>(read.loads[0].intensity.get());
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->nodeValue(1, 0, 0), laPressure<double>(9));
        EXPECT_EQ(grid->nodeValue(0, 0, 0), laPressure<double>());
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
    const long before = live();
    {
        const kestrel::ReadResult read = kestrel::readLoads(example);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.loads.size(), read.records.size());
        const hostValidation valid = hostValidate(example, schema);
        EXPECT_TRUE(valid.readable);
        EXPECT_TRUE(valid.errors.empty()) << valid.errors.front().message;
        const kestrel::WriteResult written = kestrel::writeLoads(read.loads);
        ASSERT_TRUE(written.ok());
        EXPECT_EQ(written.text, example);
    }
    EXPECT_EQ(live(), before);
}
