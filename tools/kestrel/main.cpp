// kestrel: writes, reads, checks and describes load documents through the library's bindings.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "kestrel/components/exchange/xpExchangeContext.h"
#include "kestrel/components/framework/mfLexicalCast.h"
#include "kestrel/document/kestrelIfc.h"
#include "kestrel/document/kestrelLoads.h"
#include "kestrel/elements/kestrelLimits.h"
#include "tools/host/hostDocument.h"
#include "tools/host/hostFile.h"
#include "tools/host/hostHeldOutput.h"
#include "tools/view/viewCommands.h"

namespace {
// Exit codes.
constexpr int kOk = 0;
constexpr int kDocumentErrors = 1;
constexpr int kUnreadable = 2;

// Errors listed per document at most (--max-errors); the rest are counted.
std::size_t g_maxErrors = xpDocument::kDefaultMaxErrors;

// JSON text for any document: bytes that are no UTF-8 (a file name) are replaced, not thrown at.
std::string dumpJson(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

nlohmann::json errorJson(const xpReportedError& e) {
    return {{"line", e.line}, {"column", e.column}, {"path", e.path}, {"message", e.message}};
}

using Loaded = hostFileDocument;

// Reads FILE under the command's error limit; with receivers, loads and records go to them.
Loaded load(const std::string& file, std::function<void(hostLoad&&)> each = {},
            std::function<void(hostLoadRecord&&)> eachRecord = {}) {
    return hostReadFile(file, g_maxErrors, std::move(each), std::move(eachRecord));
}

nlohmann::json orNull(const std::string& text) {
    return text.empty() ? nlohmann::json() : nlohmann::json(text);
}

// "X,Y,Z" in metres.
bool parsePosition(const std::string& text, pos3d& position) {
    double c[3];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find(',', start) : text.size();
        if (end == std::string::npos) return false;
        try {
            c[i] = mfLexicalCast<double>(text.substr(start, end - start));
        } catch (const std::exception&) {
            return false;
        }
        start = end + 1;
    }
    position = pos3d(c[0], c[1], c[2]);
    return true;
}

int worse(int a, int b) {
    return std::max(a, b);
}

// Writes the document of `loads` to standard output; what could not be written is reported and
// nothing is written.
int writeLoads(const List<hostLoad>& loads) {
    hostSession session;
    session.root.m_loads = loads;
    // Written as it is built: a large document is never held whole.
    const std::vector<xpReportedError> errors = session.document.write(session.root, std::cout);
    for (const auto& e : errors) hostPrintError(std::cerr, "<output>", e);
    return errors.empty() ? kOk : kDocumentErrors;
}

std::string schemaText() {
    return kestrel::loadsSchema();
}

// Whether an error at `at` concerns the element at `path` or anything inside it.
bool under(const std::string& at, const std::string& path) {
    return at.compare(0, path.size(), path) == 0 && (at.size() == path.size() || at[path.size()] == '/');
}

// What the JSON report shows of a load read, kept in place of the load.
struct LoadShown {
    std::string footprint;
    std::string intensity;
    std::optional<std::string> description;
};

LoadShown shown(const hostLoad& load, const hostKindNames& kinds) {
    LoadShown s;
    if (load.footprint) s.footprint = kinds.footprint(*load.footprint);
    if (load.intensity) {
        s.intensity = kinds.intensity(*load.intensity);
        const lcLoad model = load.model();
        s.description = load.intensity->description(&model);
    }
    return s;
}

// One load element's entry of the JSON report.
nlohmann::json loadJson(const hostLoadRecord& record, const LoadShown* load,
                        const std::vector<xpReportedError>& errors) {
    nlohmann::json entry{
        {"name", record.name}, {"footprint", nullptr}, {"intensity", nullptr}, {"description", nullptr}};
    if (load) {
        entry["footprint"] = orNull(load->footprint);
        entry["intensity"] = orNull(load->intensity);
        if (load->description) entry["description"] = *load->description;
    }
    entry["read"] = record.read;
    entry["line"] = record.line;
    entry["errors"] = nlohmann::json::array();
    for (const auto& e : errors) entry["errors"].push_back(errorJson(e));
    return entry;
}

// The errors of each load element as its record arrives, in the order the report lists them: a
// load's errors are all found while it is read, so they are those found since the last record.
class ErrorsOfLoads {
public:
    std::vector<xpReportedError> take(const std::string& path) {
        std::vector<xpReportedError> found;
        const xpExchangeContext* context = xpExchangeContext::active();
        if (!context) return found;
        const std::vector<xpReportedError>& all = context->errors();
        for (std::size_t i = m_seen; i < all.size(); ++i)
            if (under(all[i].path, path)) found.push_back(all[i]);
        m_seen = all.size();
        // The report lists errors by line, those of one line in the order they were found.
        std::stable_sort(found.begin(), found.end(),
                         [](const xpReportedError& a, const xpReportedError& b) { return a.line < b.line; });
        return found;
    }

private:
    std::size_t m_seen = 0;
};

// One file's check; every load element is listed, a load that could not be read with its errors.
// Loads and their records go as soon as they are read: each listing is held until the document
// proved readable (a refused one lists none), on disk past a block, so that the check of a
// document of any size holds little memory. Only the JSON report describes the loads, since
// describing every load costs more than reading it.
int checkFile(const std::string& file, bool json) {
    const std::string name = hostDisplayName(file);
    hostHeldOutput held;
    std::size_t count = 0;
    std::optional<hostKindNames> kinds;
    ErrorsOfLoads errorsOf;
    // A load's record comes just before the load, if it was read: its JSON entry waits for it.
    struct Entry {
        hostLoadRecord record;
        std::vector<xpReportedError> errors;
    };
    std::optional<Entry> waiting;
    bool first = true;
    auto entry = [&](const Entry& e, const LoadShown* load) {
        if (!first) held.append(",");
        first = false;
        held.append(dumpJson(loadJson(e.record, load, e.errors)));
    };
    // A record left without a load is listed without one.
    auto unpaired = [&] {
        if (waiting) entry(*waiting, nullptr);
        waiting.reset();
    };
    auto each = [&](hostLoad&& l) {
        ++count;
        if (!json || !waiting || !waiting->record.read) return;
        // The kinds' names are those of the document being read.
        if (!kinds) kinds.emplace();
        const LoadShown load = shown(l, *kinds);
        entry(*waiting, &load);
        waiting.reset();
    };
    std::string line;
    auto eachRecord = [&](hostLoadRecord&& record) {
        std::vector<xpReportedError> errors = errorsOf.take(record.path);
        if (json) {
            unpaired();
            waiting = Entry{std::move(record), std::move(errors)};
            return;
        }
        line = name;
        if (!record.read) line += ':' + std::to_string(record.line);
        line += ": load \"";
        line += record.name;
        line += '"';
        if (!record.read) line += " not read";
        if (!errors.empty())
            line += " (" + std::to_string(errors.size()) + (errors.size() == 1 ? " error)" : " errors)");
        line += '\n';
        held.append(line);
    };
    Loaded loaded = load(file, each, eachRecord);
    unpaired();
    int status = !loaded.readable || !loaded.result.wellFormed ? kUnreadable
                 : loaded.result.errors.empty()                ? kOk
                                                               : kDocumentErrors;
    std::string failure;
    if (json) {
        nlohmann::json errors = nlohmann::json::array();
        for (const auto& e : loaded.result.errors) errors.push_back(errorJson(e));
        // The report's members in the order the JSON library writes an object's: by name.
        std::cout << "{\"errors\":" << dumpJson(errors) << ",\"file\":" << dumpJson(name) << ",\"loads\":[";
        if (status != kUnreadable && !held.writeTo(std::cout, failure)) status = kUnreadable;
        std::cout << "],\"valid\":" << (status == kOk ? "true" : "false") << "}\n";
    } else {
        if (status != kUnreadable && !held.writeTo(std::cout, failure)) status = kUnreadable;
        for (const auto& e : loaded.result.errors) hostPrintError(std::cerr, file, e);
        if (status == kOk) std::cout << name << ": ok, " << count << " loads\n";
    }
    if (!failure.empty())
        std::cerr << name << ":0: error: the report could not be held in a temporary file: " << failure << '\n';
    return status;
}

int check(const std::vector<std::string>& files, bool json) {
    int status = kOk;
    for (const std::string& file : files) {
        try {
            status = worse(status, checkFile(file, json));
        } catch (const std::exception& e) {
            // One file's failure must not cost the other files their reports.
            const xpReportedError error{0, {}, e.what()};
            if (json)
                std::cout << dumpJson({{"file", hostDisplayName(file)},
                                       {"valid", false},
                                       {"loads", nlohmann::json::array()},
                                       {"errors", {errorJson(error)}}})
                          << '\n';
            else
                hostPrintError(std::cerr, file, error);
            status = kUnreadable;
        }
    }
    return status;
}

int validate(const std::vector<std::string>& files) {
    const std::string schema = schemaText();
    int status = kOk;
    for (const std::string& file : files) {
        std::string text;
        std::string failure;
        if (!hostSlurp(file, text, failure)) {
            std::cerr << hostDisplayName(file) << ":0: error: cannot read file: " << failure << '\n';
            status = worse(status, kUnreadable);
            continue;
        }
        hostValidation result = hostValidate(text, schema, g_maxErrors);
        for (const auto& e : result.errors) hostPrintError(std::cerr, file, e);
        if (!result.readable) {
            if (result.errors.empty()) std::cerr << hostDisplayName(file) << ":0: error: not well-formed XML\n";
            status = worse(status, kUnreadable);
        } else if (!result.errors.empty()) {
            status = worse(status, kDocumentErrors);
        } else {
            std::cout << hostDisplayName(file) << ": valid\n";
        }
    }
    return status;
}

int roundtrip(const std::string& file) {
    Loaded loaded = load(file);
    for (const auto& e : loaded.result.errors) hostPrintError(std::cerr, file, e);
    if (!loaded.readable || !loaded.result.wellFormed) return kUnreadable;
    // Writing a document read with errors would drop what could not be read.
    if (!loaded.result.errors.empty()) return kDocumentErrors;
    return writeLoads(loaded.loads);
}

// The document as an IFC structural analysis model, into `output` or standard output. A load IFC
// cannot carry is named with the reason; the rest is written. Each action is written as its load
// arrives and the load dropped, so the document is never held (the writer's first block waits in
// its buffer, so an unreadable input writes nothing). A new or regular output file is written
// beside it and replaced once the document was read, so that a document refused as malformed
// leaves it as it was; standard output, a device or a link is written in place and left cut short.
int ifc(const std::string& file, const std::string& output, double step, bool strict) {
    kestrel::IfcOptions options;
    options.step = step;
    if (file != "-") options.name = std::filesystem::path(file).stem().string();
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::symlink_status(output, code);
    const bool replace =
        !output.empty() && (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status));
    const std::string written = replace ? output + ".kestrel-" + std::to_string(::getpid()) : output;
    std::ofstream file_out;
    if (!output.empty()) {
        file_out.open(written, std::ios::binary | std::ios::trunc);
        if (!file_out) {
            std::cerr << "kestrel ifc: cannot write " << output << ": " << std::strerror(errno) << '\n';
            return kUnreadable;
        }
        // The replaced file's permissions stay.
        if (replace && std::filesystem::exists(status))
            std::filesystem::permissions(written, status.permissions(), code);
    }
    std::ostream& out = output.empty() ? std::cout : file_out;
    const auto discard = [&] {
        if (!replace) return;
        file_out.close();
        std::filesystem::remove(written, code);
    };
    kestrel::IfcResult result;
    Loaded loaded;
    try {
        kestrel::IfcWriter writer(out, options);
        // Neither the loads nor their records are kept: a script's engine state goes with its load.
        loaded = load(
            file, [&](hostLoad&& l) { writer.add(l); }, [](hostLoadRecord&&) {});
        for (const auto& e : loaded.result.errors) hostPrintError(std::cerr, file, e);
        if (!loaded.readable || !loaded.result.wellFormed) {
            discard();
            return kUnreadable;
        }
        result = writer.finish();
    } catch (...) {
        discard();
        throw;
    }
    if (!output.empty()) {
        file_out.close();
        int error = file_out ? 0 : (errno ? errno : EIO);
        if (!error && replace) {
            std::filesystem::rename(written, output, code);
            error = code.value();
        }
        if (error) {
            discard();
            std::cerr << "kestrel ifc: cannot write " << output << ": " << std::strerror(error) << '\n';
            return kUnreadable;
        }
    }
    for (const auto& s : result.skipped)
        std::cerr << hostDisplayName(file) << ": warning: load \"" << s.load << "\" not written: " << s.reason << '\n';
    if (!loaded.result.errors.empty()) return kDocumentErrors;
    return strict && !result.complete() ? kDocumentErrors : kOk;
}

// Output that could not be written is a failure, whatever the verb: a full disk must not pass
// for a written document.
int finishOutput(int status) {
    std::cout.flush();
    // A write that failed earlier left its errno; a flush that fails now sets a newer one.
    const int earlier = errno;
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno ? errno : earlier;
    if (std::cout && flushed && !std::ferror(stdout)) return status;
    std::cerr << "kestrel: cannot write the output: " << (error ? std::strerror(error) : "write error") << '\n';
    return kUnreadable;
}
}  // namespace

int run(int argc, char** argv) {
    CLI::App app{"kestrel: load documents in XML"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("kestrel ") + kestrel::version());
    // Given before or after the verb; every verb that reads documents honours it.
    app.fallthrough();
    std::size_t maxGridNodes = kestrel::kDefaultMaxGridNodes;
    app.add_option("--max-grid-nodes", maxGridNodes, "Grid nodes the grids of one document may hold together")
        ->capture_default_str();

    app.add_subcommand("example", "Write a document that uses every kind the library knows");
    auto* checkCommand = app.add_subcommand("check", "Read documents, list their loads and report errors");
    std::vector<std::string> checkFiles;
    bool json = false;
    checkCommand->add_option("FILE", checkFiles, "Documents to check; - reads standard input")->required();
    checkCommand->add_flag("--json", json, "One JSON object per file");
    const std::string maxErrorsHelp = "Errors listed per document at most; the rest are counted (default " +
                                      std::to_string(xpDocument::kDefaultMaxErrors) + ")";
    checkCommand->add_option("--max-errors", g_maxErrors, maxErrorsHelp)->check(CLI::NonNegativeNumber);
    app.add_subcommand("schema", "Write the XML Schema of the documents");
    auto* validateCommand = app.add_subcommand("validate", "Validate documents against the XML Schema");
    std::vector<std::string> validateFiles;
    validateCommand->add_option("FILE", validateFiles, "Documents to validate; - reads standard input")->required();
    validateCommand->add_option("--max-errors", g_maxErrors, maxErrorsHelp)->check(CLI::NonNegativeNumber);
    auto* roundtripCommand = app.add_subcommand("roundtrip", "Read a document and write it again");
    std::string roundtripFile;
    roundtripCommand->add_option("FILE", roundtripFile, "Document; - reads standard input")->required();
    roundtripCommand->add_option("--max-errors", g_maxErrors, maxErrorsHelp)->check(CLI::NonNegativeNumber);

    auto* evalCommand = app.add_subcommand("eval", "Evaluate each load's intensity function at a position");
    std::string evalFile;
    std::string evalAt;
    std::string evalSystem = "global";
    bool evalJson = false;
    evalCommand->add_option("FILE", evalFile, "Document; - reads standard input")->required();
    evalCommand->add_option("--at", evalAt, "Global position X,Y,Z in metres")->required();
    evalCommand->add_option("--system", evalSystem, "System of the values: global or local")
        ->check(CLI::IsMember({"global", "local"}));
    evalCommand->add_flag("--json", evalJson, "One JSON object");
    evalCommand->add_option("--max-errors", g_maxErrors, maxErrorsHelp)->check(CLI::NonNegativeNumber);

    // Every verb that reads a document through the library streams it; --text reads its whole text
    // into memory first, as readLoads(text) does (the same result, for comparison). --dom, its
    // former name, stays for the scripts that use it.
    bool wholeText = false;
    for (CLI::App* verb : {checkCommand, roundtripCommand, evalCommand}) {
        verb->add_flag("--text", wholeText, "Read the whole text into memory first instead of streaming it");
        verb->add_flag("--dom", wholeText, "The former name of --text")->group("");
    }
    auto* sampleCommand = app.add_subcommand("sample", "Evaluate a load at regular positions over its footprint");
    std::string sampleFile;
    std::string sampleLoad;
    double sampleStep = 0.0;
    bool sampleJson = false;
    bool sampleCsv = false;
    sampleCommand->add_option("FILE", sampleFile, "Document; - reads standard input")->required();
    sampleCommand->add_option("--load", sampleLoad, "Name of the load")->required();
    sampleCommand->add_option("--step", sampleStep, "Distance between positions in metres")->required();
    auto* sampleCsvFlag =
        sampleCommand->add_flag("--csv", sampleCsv, "Comma-separated rows with a header (the default)");
    sampleCommand->add_flag("--json", sampleJson, "One JSON object")->excludes(sampleCsvFlag);
    sampleCommand->add_option("--max-errors", g_maxErrors, maxErrorsHelp)->check(CLI::NonNegativeNumber);

    auto* plotCommand = app.add_subcommand("plot", "Draw loads as SVG pictures");
    std::string plotFile;
    std::string plotLoad;
    std::string plotOutput;
    plotCommand->add_option("FILE", plotFile, "Document; - reads standard input")->required();
    plotCommand->add_option("--load", plotLoad, "Name of the load; without it every load is drawn into the folder -o");
    plotCommand->add_option("-o,--output", plotOutput, "SVG file, or folder for the pictures")->required();
    plotCommand->add_option("--max-errors", g_maxErrors, maxErrorsHelp)->check(CLI::NonNegativeNumber);

    auto* ifcCommand = app.add_subcommand("ifc", "Write the loads as an IFC 4.3 structural analysis model");
    std::string ifcFile;
    std::string ifcOutput;
    double ifcStep = 0.0;
    bool ifcStrict = false;
    ifcCommand->add_option("FILE", ifcFile, "Document; - reads standard input")->required();
    ifcCommand->add_option("-o,--output", ifcOutput, "IFC file to write; standard output without it");
    ifcCommand
        ->add_option("--step", ifcStep,
                     "Distance in metres between sampled positions (default: a twentieth of "
                     "the footprint's longer side)")
        ->check(CLI::PositiveNumber);
    ifcCommand->add_flag("--strict", ifcStrict, "Exit with 1 when a load cannot be written");
    ifcCommand->add_option("--max-errors", g_maxErrors, maxErrorsHelp)->check(CLI::NonNegativeNumber);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? kOk : kUnreadable;
    }
    kestrel::setMaxGridNodes(maxGridNodes);
    hostReadWholeText(wholeText);

    try {
        if (app.got_subcommand("example")) {
            return writeLoads(hostExampleLoads());
        }
        if (app.got_subcommand("check")) return check(checkFiles, json);
        if (app.got_subcommand("schema")) {
            std::cout << schemaText();
            return kOk;
        }
        if (app.got_subcommand("validate")) return validate(validateFiles);
        if (app.got_subcommand("roundtrip")) return roundtrip(roundtripFile);
        if (app.got_subcommand("eval")) {
            pos3d at;
            if (!parsePosition(evalAt, at)) {
                std::cerr << "kestrel eval: --at needs X,Y,Z in metres, not \"" << evalAt << "\"\n";
                return kUnreadable;
            }
            return viewEvalCommand(evalFile, at, evalSystem == "local" ? lcLoad::local : lcLoad::global, evalJson,
                                   std::cout, std::cerr, g_maxErrors);
        }
        if (app.got_subcommand("sample"))
            return viewSampleCommand(sampleFile, sampleLoad, sampleStep,
                                     sampleJson ? viewFormat::json : viewFormat::csv, std::cout, std::cerr,
                                     g_maxErrors);
        if (app.got_subcommand("ifc")) return ifc(ifcFile, ifcOutput, ifcStep, ifcStrict);
        if (app.got_subcommand("plot"))
            return viewPlotCommand(plotFile, plotLoad, plotOutput, std::cout, std::cerr, g_maxErrors);
    } catch (const std::exception& e) {
        std::cerr << "kestrel: " << e.what() << '\n';
        return kUnreadable;
    }
    return kUnreadable;
}

int main(int argc, char** argv) {
    return finishOutput(run(argc, argv));
}
