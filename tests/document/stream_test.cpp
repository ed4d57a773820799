// Reading a document from a stream gives what reading its text gives: the same loads, records,
// errors with their paths, lines and columns, and the same refusals. Every document the tests,
// the fuzz corpus and the examples use is read both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/bench_documents.h"
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

// The documents the test sources hold: their string literals that hold markup.
std::set<std::string> literalDocuments() {
    std::set<std::string> documents;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(KESTREL_SOURCE_DIR) / "tests")) {
        if (entry.path().extension() != ".cpp") continue;
        for (std::string& text : literals(slurp(entry.path())))
            if (text.find('<') != std::string::npos && text.find('>') != std::string::npos) documents.insert(text);
    }
    return documents;
}

// FNV-1a, in hexadecimal: the same on every platform.
std::string hashOf(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    std::ostringstream out;
    out << std::hex << h;
    return out.str();
}

enum class Read { text, stream, tree };

// Everything a read gives, as one text, the loads as a hash of their written text.
std::string outcome(const std::string& text, Read how, std::size_t maxErrors = 1000) {
    std::vector<hostLoad> loads;
    std::ostringstream out;
    {
        hostSession session;
        session.document.setMaxErrors(maxErrors);
        xpReadResult result;
        pugi::xml_document tree;
        if (how == Read::stream) {
            std::istringstream in(text);
            result = session.document.readStream(session.root, in);
        } else if (how == Read::text) {
            result = session.document.read(session.root, text);
        } else if (const pugi::xml_parse_result parsed = tree.load_buffer(text.data(), text.size())) {
            result = session.document.readTree(session.root, tree);
        } else {
            return std::string("unparsed: ") + parsed.description() + '\n';
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
    out << loads.size() << " loads " << hashOf(written.text) << '\n';
    for (const auto& e : written.errors) out << "write: " << e.path << ": " << e.message << '\n';
    return out.str();
}

// What the three reads give for a document, as recorded: the text read, then each other read
// (and the error limit of 2) where it differs from the text read at the same limit. A tree has no
// places, and is read only from text the text read accepts.
std::string pinned(const std::string& text) {
    const std::string read = outcome(text, Read::text), limited = outcome(text, Read::text, 2);
    const std::string placeless =
        std::regex_replace(std::regex_replace(read, std::regex("^\\d+:\\d+ ", std::regex::multiline), "0:0 "),
                           std::regex(" \\d+( [01])$", std::regex::multiline), " 0$1");
    std::string record = read;
    for (auto [name, other, like] :
         {std::tuple{"-- limit 2\n", limited, read}, std::tuple{"-- stream\n", outcome(text, Read::stream), read},
          std::tuple{"-- stream, limit 2\n", outcome(text, Read::stream, 2), limited},
          std::tuple{"-- tree\n", read.starts_with("well") ? outcome(text, Read::tree) : placeless, placeless}})
        if (other != like) record += name + other;
    return record;
}

// The documents of the tests by corpus: literals by a hash of their text, the others by name.
std::map<std::string, std::map<std::string, std::string>> pinnedCorpora() {
    std::map<std::string, std::map<std::string, std::string>> corpora;
    const fs::path root = KESTREL_SOURCE_DIR;
    for (const std::string& text : literalDocuments()) corpora["literals"][hashOf(text)] = text;
    for (const auto& entry : fs::directory_iterator(root / "fuzz/corpus/document"))
        corpora["fuzz"][entry.path().filename()] = slurp(entry.path());
    corpora["examples"]["loads.xml"] = slurp(root / "examples/loads.xml");
    corpora["examples"]["grid_points.xml"] = slurp(root / "tests/document/grid_points.xml");
    // A carriage return alone ends a line (the DOM read once counted only line feeds).
    corpora["examples"]["carriage returns"] =
        "<loads>\r<load nmae='x'/>\r\n<load/>\r<load name='\r'><bad/></load></loads>";
    corpora["bench"]["grid 4"] = benchdoc::grid(4);
    corpora["bench"]["example 2"] = benchdoc::example(2);
    corpora["bench"]["plain 1"] = benchdoc::example(1, false);
    return corpora;
}

// Records of the form "== NAME" followed by its lines.
std::map<std::string, std::string> records(const std::string& text) {
    std::map<std::string, std::string> found;
    for (std::size_t at = text.find("== "), name, end; at != std::string::npos; at = end + (end != std::string::npos)) {
        name = text.find('\n', at);
        end = text.find("\n== ", name);
        found[text.substr(at + 3, name - at - 3)] = text.substr(name + 1, end == std::string::npos ? end : end - name);
    }
    return found;
}

// Every read of every document of the tests gives what it gave when the records were made
// (KESTREL_PIN=write remakes them). A literal no longer in the tests is passed over.
TEST(StreamRead, GivesWhatWasRecordedForEveryDocumentOfTheTests) {
    const bool write = std::getenv("KESTREL_PIN") && std::string(std::getenv("KESTREL_PIN")) == "write";
    std::size_t wellFormed = 0;
    for (const auto& [corpus, documents] : pinnedCorpora()) {
        const fs::path file = fs::path(KESTREL_SOURCE_DIR) / "tests/document/pinned" / (corpus + ".txt");
        const std::map<std::string, std::string> recorded = records(slurp(file));
        std::string all;
        std::size_t compared = 0;
        for (const auto& [name, text] : documents) {
            const std::string now = pinned(text);
            wellFormed += now.starts_with("well-formed");
            all += "== " + name + '\n' + now;
            // The streamed read gives what the text read gives.
            EXPECT_EQ(now.find("-- stream"), std::string::npos) << now;
            const auto record = recorded.find(name);
            if (write || (record == recorded.end() && corpus == "literals")) continue;
            ++compared;
            ASSERT_NE(record, recorded.end()) << corpus << ": no record of " << name;
            if (record->second == now) continue;
            const auto at =
                std::mismatch(now.begin(), now.end(), record->second.begin(), record->second.end()).first - now.begin();
            const std::size_t from = at ? now.rfind('\n', std::size_t(at) - 1) + 1 : 0;  // the line that differs
            auto line = [&](const std::string& all) { return all.substr(from, all.find('\n', from) - from); };
            ADD_FAILURE() << corpus << " " << name << ": recorded \"" << line(record->second) << "\", now \""
                          << line(now) << "\"\n"
                          << text.substr(0, 2000);
        }
        if (write)
            std::ofstream(file, std::ios::binary) << all;
        else
            EXPECT_GE(compared * 2, recorded.size()) << corpus;
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
    const std::string read = outcome(clean, Read::stream);
    EXPECT_TRUE(read.starts_with("well-formed column 0 unlisted 0\n")) << read.substr(0, 200);
    EXPECT_EQ(read, outcome(clean, Read::text));
    for (const std::string& bad : {text + "<load nmae='x'/></loads>",     // an element error at the end
                                   text + "<load></loads>",               // malformed at the end
                                   text + "</loads>\n<loads/>",           // a second root
                                   text + "<load name='\xFF'/></loads>",  // no UTF-8 at the end
                                   "<loads><load></lods>" + text.substr(7) + "\xC3</loads>",  // both: the bytes win
                                   text + "<load name='&nope;'/></loads>"}) {                 // an undefined entity
        EXPECT_EQ(outcome(bad, Read::stream), outcome(bad, Read::text)) << bad.substr(bad.size() - 60);
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
    const std::string points = outcome(grid, Read::stream);
    EXPECT_NE(points.find("pressure_point[2501]/@bad"), std::string::npos) << points.substr(0, 300);
    EXPECT_EQ(points, outcome(grid, Read::text));
    grid.replace(grid.find(" bad='1'"), 8, "");
    const std::string clash = outcome(grid, Read::stream);
    EXPECT_NE(clash.find("pressure_point[3000]: (10, 0, 0) lies on the grid node"), std::string::npos)
        << clash.substr(0, 300);
    EXPECT_EQ(clash, outcome(grid, Read::text));
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
            // Cut short at the border: the sequence is refused where it starts.
            if (split == wide.size()) continue;
            std::istringstream cut(head + name.substr(0, name.size() - 1) + "'/></loads>");
            const kestrel::ReadResult broken = kestrel::readLoads(cut);
            ASSERT_EQ(broken.errors.size(), 1u) << wide << split;
            EXPECT_EQ(broken.errors[0].column, int(head.size() + name.size() - wide.size()) + 1) << wide << split;
        }
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
