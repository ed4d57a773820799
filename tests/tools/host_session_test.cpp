// One session serving many documents, as a host reading many files (and the document fuzzer)
// keeps one: each document must read as it does in a session of its own, and the committed fuzz
// corpus must round-trip exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kestrel/components/framework/mfProgram.h"
#include "tools/host/hostDocument.h"

namespace {
struct Read {
    xpReadResult result;
    List<hostLoad> loads;
};

Read readWith(hostSession& session, const std::string& text) {
    Read read{session.document.read(session.root, text), std::move(session.root.m_loads)};
    session.root.m_loads.clear();
    return read;
}

Read readFresh(const std::string& text) {
    hostSession session;
    return readWith(session, text);
}

std::string writeWith(hostSession& session, const List<hostLoad>& loads) {
    session.root.m_loads = loads;
    std::string text;
    EXPECT_TRUE(session.document.write(session.root, text).empty());
    session.root.m_loads.clear();
    return text;
}

std::string errorsOf(const xpReadResult& result) {
    std::string text = result.wellFormed ? "" : "not well-formed\n";
    for (const auto& e : result.errors) text += std::to_string(e.line) + " " + e.path + ": " + e.message + '\n';
    return text;
}

// The committed seed documents, in name order.
std::vector<std::pair<std::string, std::string>> corpus() {
    std::vector<std::pair<std::string, std::string>> documents;
    for (const auto& entry : std::filesystem::directory_iterator(KESTREL_DOCUMENT_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        documents.emplace_back(entry.path().filename().string(), text.str());
    }
    std::sort(documents.begin(), documents.end());
    return documents;
}

// Documents with errors of every sort, to sit between good ones.
const char* const kBadDocuments[] = {
    "<loads><load",
    "<loads><load nmae=\"x\"/></loads>",
    "<loads><load name=\"a\" coordinates=\"polar\"><local_system><origin x=\"1 kg\" y=\"0\" z=\"0\"/>"
    "</local_system><footprint><footprint_point><point x=\"1\"/></footprint_point><footprint_box/></footprint>"
    "<intensity><pressure2d_constant><limit_function><limit_function_range range_type=\"x\"/>"
    "</limit_function></pressure2d_constant></intensity></load></loads>",
    "<other/>",
    // The footprint reads, the intensity does not: the load is left out with what it read.
    "<loads><load name=\"b\"><footprint><footprint_point><point x=\"1\" y=\"2\" z=\"3\"/></footprint_point>"
    "</footprint><intensity><pressure2d_constant intensity=\"5 m\"/></intensity></load></loads>",
};

class HostSession : public ::testing::Test {
protected:
    void SetUp() override { live = mfProgram::program().defaultStrategy().live(); }
    void TearDown() override { EXPECT_EQ(mfProgram::program().defaultStrategy().live(), live); }
    long live = 0;
};
}  // namespace

TEST_F(HostSession, CorpusDocumentsRoundTripExactly) {
    const auto documents = corpus();
    ASSERT_FALSE(documents.empty());
    for (const auto& [name, text] : documents) {
        SCOPED_TRACE(name);
        hostSession session;
        const Read first = readWith(session, text);
        ASSERT_TRUE(first.result.ok()) << errorsOf(first.result);
        const std::string written = writeWith(session, first.loads);
        const Read second = readWith(session, written);
        ASSERT_TRUE(second.result.ok()) << errorsOf(second.result);
        EXPECT_EQ(second.loads, first.loads);
        EXPECT_EQ(writeWith(session, second.loads), written);
    }
}

// Forwards and backwards, so that each kind follows others with and without errors; what the
// session reads and writes of one document leaves no model object behind.
TEST_F(HostSession, AReusedSessionReadsEveryDocumentAsAFreshOne) {
    std::vector<std::string> texts;
    for (const auto& [name, text] : corpus()) {
        texts.push_back(text);
        texts.push_back(kBadDocuments[texts.size() / 2 % std::size(kBadDocuments)]);
    }
    std::vector<std::string> order = texts;
    order.insert(order.end(), texts.rbegin(), texts.rend());
    hostSession session;
    const long before = mfProgram::program().defaultStrategy().live();
    for (const std::string& text : order) {
        SCOPED_TRACE(text);
        {
            const Read reused = readWith(session, text);
            const Read fresh = readFresh(text);
            EXPECT_EQ(errorsOf(reused.result), errorsOf(fresh.result));
            EXPECT_EQ(reused.loads, fresh.loads);
            writeWith(session, reused.loads);
        }
        EXPECT_EQ(mfProgram::program().defaultStrategy().live(), before);
    }
}
