// Reading a document from a stream gives what reading its text gives: the same loads, records,
// errors with their paths, lines and columns, and the same refusals. Every document the tests,
// the fuzz corpus and the examples use is read both ways.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "kestrel/document/kestrelLoads.h"
#include "tools/host/hostDocument.h"

namespace {

namespace fs = std::filesystem;

long live() {
    return mfProgram::program().defaultStrategy().live();
}

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The string literals of C++ source, adjacent ones joined, escapes decoded.
std::vector<std::string> literals(const std::string& source) {
    std::vector<std::string> found;
    std::string current;
    bool open = false;  // a literal may still be continued by the next one
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c == '\'' || source.compare(i, 2, "//") == 0) {  // a character literal or a comment: skipped
            i = c == '\'' ? source.find('\'', i + (source[i + 1] == '\\' ? 3 : 2)) : source.find('\n', i);
            if (i == std::string::npos) break;
        } else if (source.compare(i, 2, "R\"") == 0) {
            const std::size_t paren = source.find('(', i);
            const std::string end = ")" + source.substr(i + 2, paren - i - 2) + "\"";
            const std::size_t stop = source.find(end, paren);
            current += source.substr(paren + 1, stop - paren - 1);
            open = true;
            i = stop + end.size() - 1;
        } else if (c == '"') {
            for (++i; source[i] != '"'; ++i) {
                const char e = source[i] == '\\' ? source[++i] : '\0';
                std::size_t used = 0;
                if (e == 'x' || (e >= '0' && e <= '7')) {
                    current +=
                        char(std::stoi(source.substr(i + (e == 'x'), e == 'x' ? 2 : 3), &used, e == 'x' ? 16 : 8));
                    i += used - (e != 'x');
                } else {
                    current += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e ? e : source[i];
                }
            }
            open = true;
        } else if (c != ' ' && c != '\n' && c != '\t' && c != '\r' && open) {
            found.push_back(std::exchange(current, {}));
            open = false;
        }
    }
    if (open) found.push_back(current);
    return found;
}

// Every document the tests use: the literals of the test sources that hold markup, the fuzz
// corpus, the examples, and grids whose points go wrong in every way a point can.
std::vector<std::string> corpus() {
    std::set<std::string> documents;
    const fs::path root = KESTREL_SOURCE_DIR;
    for (const auto& entry : fs::recursive_directory_iterator(root / "tests")) {
        if (entry.path().extension() != ".cpp") continue;
        for (std::string& text : literals(slurp(entry.path())))
            if (text.find('<') != std::string::npos && text.find('>') != std::string::npos) documents.insert(text);
    }
    for (const auto& entry : fs::directory_iterator(root / "fuzz/corpus/document"))
        documents.insert(slurp(entry.path()));
    documents.insert(slurp(root / "examples/loads.xml"));
    documents.insert(slurp(root / "tests/document/grid_points.xml"));
    return {documents.begin(), documents.end()};
}

// Everything a read gives, as one text.
std::string outcome(const std::string& text, bool streamed, std::size_t maxErrors = 1000) {
    std::vector<hostLoad> loads;
    std::ostringstream out;
    {
        hostSession session;
        session.document.setMaxErrors(maxErrors);
        xpReadResult result;
        if (streamed) {
            std::istringstream in(text);
            result = session.document.readStream(session.root, in);
        } else {
            result = session.document.read(session.root, text);
        }
        out << (result.wellFormed ? "well-formed" : "refused") << " column " << result.column << " unlisted "
            << result.unlisted << '\n';
        for (const auto& e : result.errors)
            out << e.line << ':' << e.column << ' ' << e.path << ": " << e.message << '\n';
        for (const hostLoadRecord& r : session.root.m_records)
            out << "record " << r.name << ' ' << r.path << ' ' << r.line << ' ' << r.read << '\n';
        loads.assign(session.root.m_loads.begin(), session.root.m_loads.end());
    }
    const kestrel::WriteResult written = kestrel::writeLoads(loads);
    out << loads.size() << " loads\n" << written.text;
    for (const auto& e : written.errors) out << "write: " << e.path << ": " << e.message << '\n';
    return out.str();
}

TEST(StreamRead, AgreesWithTheDomReadOnEveryDocumentOfTheTests) {
    const std::vector<std::string> documents = corpus();
    ASSERT_GT(documents.size(), 100u);
    std::size_t wellFormed = 0;
    for (const std::string& text : documents) {
        const std::string dom = outcome(text, false);
        EXPECT_EQ(outcome(text, true), dom) << text;
        wellFormed += dom.starts_with("well-formed");
        // The error limit keeps the same errors.
        EXPECT_EQ(outcome(text, true, 2), outcome(text, false, 2)) << text;
    }
    EXPECT_GT(wellFormed, 20u);
}

// A document larger than the pieces the stream is read in: characters of several bytes across
// the pieces' borders, and problems far into the text, found at the same place both ways.
TEST(StreamRead, AgreesAcrossThePiecesOfALargeDocument) {
    std::string text = "<loads>\n";
    for (int i = 0; i < 3000; ++i)
        text += "  <load name=\"caf\xC3\xA9 \xE2\x82\xAC" + std::to_string(i) +
                "\">\n    <footprint><footprint_point><point x=\"1 m\" y=\"2 m\" z=\"3 m\"/></footprint_point>"
                "</footprint>\n  </load>\n";
    const std::string clean = text + "</loads>\n";
    ASSERT_GT(clean.size(), 300000u);
    const std::string read = outcome(clean, true);
    EXPECT_TRUE(read.starts_with("well-formed column 0 unlisted 0\n")) << read.substr(0, 200);
    EXPECT_EQ(read, outcome(clean, false));
    for (const std::string& bad : {text + "<load nmae='x'/></loads>",     // an element error at the end
                                   text + "<load></loads>",               // malformed at the end
                                   text + "</loads>\n<loads/>",           // a second root
                                   text + "<load name='\xFF'/></loads>",  // no UTF-8 at the end
                                   "<loads><load></lods>" + text.substr(7) + "\xC3</loads>",  // both: the bytes win
                                   text + "<load name='&nope;'/></loads>"}) {                 // an undefined entity
        EXPECT_EQ(outcome(bad, true), outcome(bad, false)) << bad.substr(bad.size() - 60);
    }
    // A grid's points, read as they arrive, across the pieces: a bad point and a clash far in.
    std::string grid =
        "<loads><load name='g'><footprint><footprint_point><point x='0 m' y='0 m' z='0 m'/>"
        "</footprint_point></footprint><intensity><pressure2d_grid><grid><x_values>";
    for (int i = 0; i < 3000; ++i) grid += "<x_value value='" + std::to_string(i) + " m'/>\n";
    grid +=
        "</x_values><y_values><y_value value='0 m'/></y_values><z_values><z_value value='0 m'/></z_values>"
        "</grid><pressure_points>\n";
    for (int i = 0; i < 3000; ++i)
        grid += "<pressure_point x='" + std::to_string(i == 2999 ? 10 : i) + " m' y='0 m' z='0 m' pressure='" +
                std::to_string(i) + " Pa'" + (i == 2500 ? " bad='1'" : "") + "/>\n";
    grid += "</pressure_points></pressure2d_grid></intensity></load></loads>";
    ASSERT_GT(grid.size(), 200000u);
    const std::string points = outcome(grid, true);
    EXPECT_NE(points.find("pressure_point[2501]/@bad"), std::string::npos) << points.substr(0, 300);
    EXPECT_EQ(points, outcome(grid, false));
    grid.replace(grid.find(" bad='1'"), 8, "");
    const std::string clash = outcome(grid, true);
    EXPECT_NE(clash.find("pressure_point[3000]: (10, 0, 0) lies on the grid node"), std::string::npos)
        << clash.substr(0, 300);
    EXPECT_EQ(clash, outcome(grid, false));
}

// A character of two, three or four bytes split at each of its bytes by the border of the 64 KiB
// pieces a stream is read in, or ending right at it: read whole, and a bad byte after it is placed
// by characters.
TEST(StreamRead, ReadsCharactersAcrossThePieceBorder) {
    for (const std::string wide : {"\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9D\x84\x9E"})
        for (std::size_t split = 1; split <= wide.size(); ++split) {
            const std::string head = "<loads><load name='";
            const std::string name = std::string((1u << 16) - split - head.size(), 'x') + wide;
            std::istringstream good(head + name + "'/></loads>");
            const kestrel::ReadResult read = kestrel::readLoads(good);
            ASSERT_EQ(read.loads.size(), 1u) << wide << split;
            EXPECT_EQ(read.loads[0].name, name);
            std::istringstream bad(head + name + "\xFF'/></loads>");
            const kestrel::ReadResult refused = kestrel::readLoads(bad);
            ASSERT_EQ(refused.errors.size(), 1u);
            EXPECT_EQ(refused.errors[0].column, int(head.size() + name.size() - wide.size()) + 2) << wide << split;
        }
}

// A carriage return alone ends a line for both reads (the DOM read once counted only line feeds).
TEST(StreamRead, CountsLinesEndedByACarriageReturnAlike) {
    const std::string text = "<loads>\r<load nmae='x'/>\r\n<load/>\r<load name='\r'><bad/></load></loads>";
    const std::string dom = outcome(text, false);
    EXPECT_EQ(outcome(text, true), dom);
    EXPECT_NE(dom.find("5:3 /loads/load[3]/bad"), std::string::npos) << dom;
}

// Loads read from a stream are released with the session, and a refused stream keeps nothing of
// what it had read before the refusal.
TEST(StreamRead, KeepsNothingOfARefusedDocument) {
    const long before = live();
    {
        hostSession session;
        std::istringstream in(slurp(fs::path(KESTREL_SOURCE_DIR) / "examples/loads.xml") + "<loads/>");
        const xpReadResult result = session.document.readStream(session.root, in);
        EXPECT_FALSE(result.wellFormed);
        EXPECT_TRUE(session.root.m_loads.empty());
        EXPECT_TRUE(session.root.m_records.empty());
    }
    EXPECT_EQ(live(), before);
}

}  // namespace
