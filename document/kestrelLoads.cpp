#include "kestrel/document/kestrelLoads.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "kestrel/document/kestrelLoadDocument.h"
#include "kestrel/document/kestrelVocabulary.h"
#include "kestrel/elements/kestrelLimits.h"
#include "kestrel/kestrelVersion.h"

namespace kestrel {

const char* version() {
    return KESTREL_VERSION_STRING;
}

namespace {
Diagnostic diagnostic(const xpReportedError& e) {
    return {e.line, e.column, e.path, e.message};
}

ReadResult unreadable(std::string message) {
    ReadResult result;
    result.errors.push_back({0, 0, {}, std::move(message)});
    return result;
}

// A session that reads with the options' limits; the grid limit holds on this thread until the
// session ends.
struct Reading {
    explicit Reading(const ReadOptions& options)
        : limited(options.maxGridNodes != 0), previous(limited ? setThreadMaxGridNodes(options.maxGridNodes) : 0) {
        session.document.setMaxErrors(options.maxErrors);
    }
    ~Reading() {
        if (limited) setThreadMaxGridNodes(previous);
    }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;
    bool limited;
    std::size_t previous;
    hostSession session;
};

// What a session read, as the library reports it.
ReadResult collect(hostSession& session, const xpReadResult& read) {
    ReadResult result;
    result.readable = read.wellFormed;
    result.unlisted = read.unlisted;
    for (const xpReportedError& e : read.errors) result.errors.push_back(diagnostic(e));
    result.loads.assign(session.root.m_loads.begin(), session.root.m_loads.end());
    result.records = session.root.m_records;
    return result;
}
}  // namespace

ReadResult readLoads(std::string_view text, const ReadOptions& options) {
    Reading reading(options);
    return collect(reading.session, reading.session.document.read(reading.session.root, text));
}

ReadResult readLoads(pugi::xml_node root, const ReadOptions& options) {
    Reading reading(options);
    return collect(reading.session, reading.session.document.readTree(reading.session.root, root));
}

bool readFileText(const std::filesystem::path& file, std::string& text, std::string& failure) {
    std::error_code code;
    if (std::filesystem::is_directory(file, code)) {
        failure = std::strerror(EISDIR);
        return false;
    }
    // A reason left from an earlier call must not be taken for this one's.
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        failure = std::strerror(errno ? errno : ENOENT);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        failure = "read error";
        return false;
    }
    text = std::move(buffer).str();
    return true;
}

ReadResult readLoadsFile(const std::filesystem::path& file, const ReadOptions& options) {
    return forEachLoadInFile(file, LoadReceiver{}, options);
}

ReadResult readLoads(std::istream& in, const ReadOptions& options) {
    return forEachLoad(in, LoadReceiver{}, options);
}

ReadResult forEachLoad(std::istream& in, std::function<void(Load&&)> each, const ReadOptions& options) {
    return forEachLoad(in, LoadReceiver{std::move(each), {}}, options);
}

ReadResult forEachLoadInFile(const std::filesystem::path& file, std::function<void(Load&&)> each,
                             const ReadOptions& options) {
    return forEachLoadInFile(file, LoadReceiver{std::move(each), {}}, options);
}

// Without a receiver's functions the loads and records are kept, as readLoads gives them.
ReadResult forEachLoad(std::istream& in, LoadReceiver receiver, const ReadOptions& options) {
    Reading reading(options);
    reading.session.root.setEach(std::move(receiver.load));
    reading.session.root.setEachRecord(std::move(receiver.record));
    return collect(reading.session, reading.session.document.readStream(reading.session.root, in));
}

ReadResult forEachLoadInFile(const std::filesystem::path& file, LoadReceiver receiver, const ReadOptions& options) {
    std::error_code code;
    if (std::filesystem::is_directory(file, code)) return unreadable(std::strerror(EISDIR));
    // A reason left from an earlier call must not be taken for this one's.
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) return unreadable(std::strerror(errno ? errno : ENOENT));
    return forEachLoad(in, std::move(receiver), options);
}

WriteResult writeLoads(const std::vector<Load>& loads) {
    WriteResult result;
    hostSession session;
    session.root.m_loads.assign(loads.begin(), loads.end());
    for (const xpReportedError& e : session.document.write(session.root, result.text))
        result.errors.push_back(diagnostic(e));
    if (!result.errors.empty()) result.text.clear();
    return result;
}

std::vector<Diagnostic> writeLoads(const std::vector<Load>& loads, std::ostream& out) {
    hostSession session;
    session.root.m_loads.assign(loads.begin(), loads.end());
    std::vector<Diagnostic> errors;
    for (const xpReportedError& e : session.document.write(session.root, out)) errors.push_back(diagnostic(e));
    return errors;
}

std::string loadsSchema() {
    hostSession session;
    return documentedSchema(xpDocument::schema(session.root));
}

Evaluation evaluate(const Load& load, const pos3d& at, lcLoad::lcCoordinateSystem system) {
    Evaluation evaluation;
    if (!load.intensity) return evaluation;
    const lcLoad model = load.model();
    const lcIntensity value = load.intensity->getIntensity(&model, at, system, 1.0);
    for (std::size_t i = 0; i < value.size(); ++i) evaluation.value.push_back(value.get_complex(i).real());
    if (evaluation.value.empty()) evaluation.error = hostEvaluationError(*load.intensity);
    return evaluation;
}

}  // namespace kestrel
