// kestrel: writes, reads, checks and describes load documents through the library's bindings.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "components/framework/mfLexicalCast.h"
#include "tools/host/hostDocument.h"
#include "tools/inspect/inspectCommands.h"

namespace {
// Exit codes.
constexpr int kOk = 0;
constexpr int kDocumentErrors = 1;
constexpr int kUnreadable = 2;

// Reads a file, or standard input for "-"; false when it cannot be read.
bool slurp(const std::string& file, std::string& text) {
    if (file == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

std::string displayName(const std::string& file) {
    return file == "-" ? "<stdin>" : file;
}

void printError(std::ostream& out, const std::string& file, const xpReportedError& error) {
    out << displayName(file) << ':' << error.line << ": error: ";
    if (!error.path.empty()) out << error.path << ": ";
    out << error.message << '\n';
}

// A read document, or why there is none.
struct Loaded {
    bool readable = false;
    xpReadResult result;
    List<hostLoad> loads;
    // Per load: the element names of its footprint and intensity function, empty for none.
    std::vector<std::string> footprints;
    std::vector<std::string> intensities;
};

Loaded load(const std::string& file) {
    Loaded loaded;
    std::string text;
    if (!slurp(file, text)) {
        loaded.result.errors.push_back({0, {}, "cannot read file"});
        return loaded;
    }
    loaded.readable = true;
    hostSession session;
    loaded.result = session.document.read(session.root, text);
    loaded.loads = session.root.m_loads;
    for (const hostLoad& l : loaded.loads) {
        loaded.footprints.push_back(l.footprint ? hostFootprintName(*l.footprint) : "");
        loaded.intensities.push_back(l.intensity ? hostIntensityName(*l.intensity) : "");
    }
    return loaded;
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

std::string writeLoads(const List<hostLoad>& loads) {
    hostSession session;
    session.root.m_loads = loads;
    std::string text;
    session.document.write(session.root, text);
    return text;
}

std::string schemaText() {
    hostSession session;
    return xpDocument::schema(session.root);
}

int check(const std::vector<std::string>& files, bool json) {
    int status = kOk;
    for (const std::string& file : files) {
        Loaded loaded = load(file);
        int fileStatus = !loaded.readable || !loaded.result.wellFormed ? kUnreadable
                         : loaded.result.errors.empty()                ? kOk
                                                                       : kDocumentErrors;
        status = worse(status, fileStatus);
        if (json) {
            nlohmann::json report{{"file", file}, {"valid", fileStatus == kOk}};
            report["loads"] = nlohmann::json::array();
            std::size_t i = 0;
            for (const hostLoad& l : loaded.loads) {
                const lcLoad model = l.model();
                report["loads"].push_back(
                    {{"name", l.name},
                     {"footprint", orNull(loaded.footprints[i])},
                     {"intensity", orNull(loaded.intensities[i])},
                     {"description",
                      l.intensity ? nlohmann::json(l.intensity->description(&model)) : nlohmann::json()}});
                ++i;
            }
            report["errors"] = nlohmann::json::array();
            for (const auto& e : loaded.result.errors)
                report["errors"].push_back({{"line", e.line}, {"path", e.path}, {"message", e.message}});
            std::cout << report.dump() << '\n';
            continue;
        }
        for (const hostLoad& l : loaded.loads) std::cout << displayName(file) << ": load \"" << l.name << "\"\n";
        for (const auto& e : loaded.result.errors) printError(std::cerr, file, e);
        if (fileStatus == kOk) std::cout << displayName(file) << ": ok, " << loaded.loads.size() << " loads\n";
    }
    return status;
}

int validate(const std::vector<std::string>& files) {
    const std::string schema = schemaText();
    int status = kOk;
    for (const std::string& file : files) {
        std::string text;
        if (!slurp(file, text)) {
            std::cerr << displayName(file) << ":0: error: cannot read file\n";
            status = worse(status, kUnreadable);
            continue;
        }
        hostValidation result = hostValidate(text, schema);
        for (const auto& e : result.errors) printError(std::cerr, file, e);
        if (!result.readable) {
            if (result.errors.empty()) std::cerr << displayName(file) << ":0: error: not well-formed XML\n";
            status = worse(status, kUnreadable);
        } else if (!result.errors.empty()) {
            status = worse(status, kDocumentErrors);
        } else {
            std::cout << displayName(file) << ": valid\n";
        }
    }
    return status;
}

int roundtrip(const std::string& file) {
    Loaded loaded = load(file);
    for (const auto& e : loaded.result.errors) printError(std::cerr, file, e);
    if (!loaded.readable || !loaded.result.wellFormed) return kUnreadable;
    // Writing a document read with errors would drop what could not be read.
    if (!loaded.result.errors.empty()) return kDocumentErrors;
    std::cout << writeLoads(loaded.loads);
    return kOk;
}
}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"kestrel: load documents in XML"};
    app.require_subcommand(1);

    app.add_subcommand("example", "Write a document that uses every kind the library knows");
    auto* checkCommand = app.add_subcommand("check", "Read documents, list their loads and report errors");
    std::vector<std::string> checkFiles;
    bool json = false;
    checkCommand->add_option("FILE", checkFiles, "Documents to check; - reads standard input")->required();
    checkCommand->add_flag("--json", json, "One JSON object per file");
    app.add_subcommand("schema", "Write the XML Schema of the documents");
    auto* validateCommand = app.add_subcommand("validate", "Validate documents against the XML Schema");
    std::vector<std::string> validateFiles;
    validateCommand->add_option("FILE", validateFiles, "Documents to validate; - reads standard input")->required();
    auto* roundtripCommand = app.add_subcommand("roundtrip", "Read a document and write it again");
    std::string roundtripFile;
    roundtripCommand->add_option("FILE", roundtripFile, "Document; - reads standard input")->required();

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

    auto* plotCommand = app.add_subcommand("plot", "Draw loads as SVG pictures");
    std::string plotFile;
    std::string plotLoad;
    std::string plotOutput;
    plotCommand->add_option("FILE", plotFile, "Document; - reads standard input")->required();
    plotCommand->add_option("--load", plotLoad, "Name of the load; without it every load is drawn into the folder -o");
    plotCommand->add_option("-o,--output", plotOutput, "SVG file, or folder for the pictures")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? kOk : kUnreadable;
    }

    try {
        if (app.got_subcommand("example")) {
            std::cout << writeLoads(hostExampleLoads());
            return kOk;
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
            return inspectEvalCommand(evalFile, at, evalSystem == "local" ? lcLoad::local : lcLoad::global, evalJson,
                                      std::cout, std::cerr);
        }
        if (app.got_subcommand("sample"))
            return inspectSampleCommand(sampleFile, sampleLoad, sampleStep,
                                        sampleJson ? inspectFormat::json : inspectFormat::csv, std::cout, std::cerr);
        if (app.got_subcommand("plot")) return inspectPlotCommand(plotFile, plotLoad, plotOutput, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "kestrel: " << e.what() << '\n';
        return kUnreadable;
    }
    return kUnreadable;
}
