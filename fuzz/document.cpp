// Reads a document the way `kestrel check` does. A document read without errors must write
// without errors, read back to equal loads and write again to identical text.
//
// KESTREL_FUZZ_SESSION picks how sessions serve successive documents: "reuse" (the default; one
// session for the whole run, as a host reading many files keeps one), "fresh" (one per document,
// as `kestrel check` makes per file) or "compare" (both, requiring the same errors and loads).
// Either way no model object made for a document may outlive its loads, and the document read
// from a stream must give what its text gives: the same refusal or errors (with columns) and loads.
// A document the text read accepts is parsed by pugixml too and read as a host's tree, a path of
// its own: the same errors (by path, lines unknown there) and loads.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/components/exchange/xpSourceText.h"
#include "kestrel/components/framework/mfProgram.h"
#include "tools/host/hostDocument.h"

namespace {
enum class Mode { reuse, fresh, compare };

Mode sessionMode() {
    const char* value = std::getenv("KESTREL_FUZZ_SESSION");
    if (!value || std::strcmp(value, "reuse") == 0) return Mode::reuse;
    if (std::strcmp(value, "fresh") == 0) return Mode::fresh;
    if (std::strcmp(value, "compare") == 0) return Mode::compare;
    std::fprintf(stderr, "KESTREL_FUZZ_SESSION must be reuse, fresh or compare, not \"%s\"\n", value);
    std::exit(2);
}

[[noreturn]] void fail(const char* what, const std::string& first, const std::string& second) {
    std::fprintf(stderr, "==== document harness: %s\n---- first:\n%s\n---- second:\n%s\n", what, first.c_str(),
                 second.c_str());
    std::abort();
}

std::string describe(const xpReadResult& result) {
    std::string text = result.wellFormed ? "well-formed\n" : "not well-formed\n";
    for (const auto& e : result.errors) text += std::to_string(e.line) + ": " + e.path + ": " + e.message + '\n';
    return text;
}

bool sameErrors(const xpReadResult& a, const xpReadResult& b) {
    if (a.wellFormed != b.wellFormed || a.errors.size() != b.errors.size()) return false;
    for (std::size_t i = 0; i < a.errors.size(); ++i)
        if (a.errors[i].line != b.errors[i].line || a.errors[i].path != b.errors[i].path ||
            a.errors[i].message != b.errors[i].message)
            return false;
    return true;
}

// The first load of `a` that `b` does not hold equal in its place; null when they agree.
const hostLoad* firstDifference(const List<hostLoad>& a, const List<hostLoad>& b) {
    static const hostLoad missing;
    auto j = b.begin();
    for (const hostLoad& load : a) {
        if (j == b.end() || !(load == *j)) return &load;
        ++j;
    }
    return j == b.end() ? nullptr : &missing;
}

struct Outcome {
    xpReadResult result;
    List<hostLoad> loads;
};

// The session keeps nothing of the document: its loads move out of the root.
Outcome readWith(hostSession& session, std::string_view text) {
    Outcome outcome;
    outcome.result = session.document.read(session.root, text);
    outcome.loads = std::move(session.root.m_loads);
    session.root.m_loads.clear();
    return outcome;
}

Outcome streamWith(hostSession& session, std::string_view text) {
    Outcome outcome;
    std::istringstream in{std::string(text)};
    outcome.result = session.document.readStream(session.root, in);
    outcome.loads = std::move(session.root.m_loads);
    session.root.m_loads.clear();
    return outcome;
}

// The streamed read of `text` against its text read.
void compareStreamed(hostSession& session, std::string_view text, const Outcome& read) {
    Outcome streamed = streamWith(session, text);
    bool same = sameErrors(read.result, streamed.result) && read.result.column == streamed.result.column;
    for (std::size_t i = 0; same && i < read.result.errors.size(); ++i)
        same = read.result.errors[i].column == streamed.result.errors[i].column;
    if (!same) fail("the streamed read differs from the text read", describe(read.result), describe(streamed.result));
    if (const hostLoad* load = firstDifference(read.loads, streamed.loads))
        fail("the streamed read gives a load otherwise", std::string(text), "load \"" + load->name + "\"");
    streamed.loads.clear();
}

// The text's own DOM read as a host's tree against its text read: the same loads and errors, which
// are compared by path and count since a tree has no lines and its errors are not put in line order.
void compareTree(hostSession& session, std::string_view bytes, const Outcome& read) {
    if (!read.result.wellFormed) return;
    std::string storage;
    std::string_view text;
    xpDecodeSource(bytes, storage, text);
    pugi::xml_document dom;
    if (!dom.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8))
        fail("pugixml refuses what the text read accepts", std::string(bytes), "");
    Outcome tree;
    tree.result = session.document.readTree(session.root, dom);
    tree.loads = std::move(session.root.m_loads);
    session.root.m_loads.clear();
    auto paths = [](const xpReadResult& r) {
        std::string all = r.wellFormed ? "well-formed " + std::to_string(r.unlisted) + "\n" : "refused\n";
        std::vector<std::string> each;
        // Past the error limit, which errors are kept depends on the order they were found in.
        for (const auto& e : r.errors) each.push_back(r.unlisted ? std::string() : e.path);
        std::sort(each.begin(), each.end());
        for (const auto& path : each) all += path + '\n';
        return all;
    };
    if (paths(read.result) != paths(tree.result))
        fail("the host-tree read differs from the text read", describe(read.result), describe(tree.result));
    if (const hostLoad* load = firstDifference(read.loads, tree.loads))
        fail("the host-tree read gives a load otherwise", std::string(bytes), "load \"" + load->name + "\"");
    tree.loads.clear();
}

std::string writeWith(hostSession& session, const List<hostLoad>& loads) {
    session.root.m_loads = loads;
    // Text and streams are written by one writer: writing once is enough.
    std::string text;
    const auto errors = session.document.write(session.root, text);
    session.root.m_loads.clear();
    if (!errors.empty()) {
        xpReadResult written;
        written.wellFormed = true;
        written.errors = errors;
        fail("a document read without errors wrote with errors", describe(written), text);
    }
    return text;
}

void roundTrip(hostSession& session, const Outcome& first) {
    const std::string text = writeWith(session, first.loads);
    const Outcome second = readWith(session, text);
    if (!second.result.ok()) fail("written text reads with errors", text, describe(second.result));
    // Non-finite numbers are refused on reading, so every value read compares equal to itself.
    if (const hostLoad* load = firstDifference(first.loads, second.loads))
        fail("a load reads back different", text, "load \"" + load->name + "\"");
    const std::string again = writeWith(session, second.loads);
    if (again != text) fail("second write differs from the first", text, again);
}

// Reads with a session of its own; nothing made for the document may outlive its loads.
xpReadResult readFresh(std::string_view text) {
    const long live = mfProgram::program().defaultStrategy().live();
    Outcome outcome;
    {
        hostSession session;
        outcome = readWith(session, text);
        compareStreamed(session, text, outcome);
        compareTree(session, text, outcome);
        if (outcome.result.ok()) roundTrip(session, outcome);
    }
    outcome.loads.clear();
    if (mfProgram::program().defaultStrategy().live() != live)
        fail("a fresh session left model objects alive", std::string(text), "");
    return outcome.result;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Mode mode = sessionMode();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (mode == Mode::fresh) {
        readFresh(text);
        return 0;
    }
    static auto* session = new hostSession;  // lives for the run, like a host's
    const long live = mfProgram::program().defaultStrategy().live();
    Outcome outcome = readWith(*session, text);
    compareStreamed(*session, text, outcome);
    compareTree(*session, text, outcome);
    if (outcome.result.ok()) roundTrip(*session, outcome);
    if (mode == Mode::compare) {
        Outcome fresh;
        {
            hostSession other;
            fresh = readWith(other, text);
        }
        if (!sameErrors(outcome.result, fresh.result))
            fail("a reused session reads otherwise than a fresh one", describe(outcome.result), describe(fresh.result));
        if (const hostLoad* load = firstDifference(outcome.loads, fresh.loads))
            fail("a reused session reads a load otherwise", std::string(text), "load \"" + load->name + "\"");
        fresh.loads.clear();
        readFresh(text);
    }
    outcome.loads.clear();
    if (mfProgram::program().defaultStrategy().live() != live)
        fail("the session kept model objects of the document", std::string(text), "");
    return 0;
}
