#include "tools/view/viewCommands.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string_view>

#include "kestrel/components/framework/mfTextFormatter.h"
#include "tools/host/hostDocument.h"
#include "tools/host/hostFile.h"
#include "tools/view/viewEvaluation.h"
#include "tools/view/viewPlot.h"
#include "tools/view/viewSampling.h"

namespace {
constexpr int kOk = 0;
constexpr int kDocumentErrors = 1;
constexpr int kUnusable = 2;

// A read document: its loads and the element names of their kinds, or why there is none.
struct Document {
    int status = kOk;
    List<hostLoad> loads;
    std::shared_ptr<const hostKindNames> kinds;
    std::vector<std::string_view> intensities;
    std::vector<std::string_view> footprints;
    std::vector<xpReportedError> errors;
};

Document read(const std::string& file, std::size_t maxErrors, std::ostream& err) {
    Document document;
    hostFileDocument loaded = hostReadFile(file, maxErrors);
    for (const auto& e : loaded.result.errors) hostPrintError(err, file, e);
    document.errors = loaded.result.errors;
    if (!loaded.readable || !loaded.result.wellFormed) {
        document.status = kUnusable;
        return document;
    }
    document.status = loaded.result.errors.empty() ? kOk : kDocumentErrors;
    document.loads = std::move(loaded.loads);
    document.kinds = std::move(loaded.kinds);
    document.intensities = std::move(loaded.intensities);
    document.footprints = std::move(loaded.footprints);
    return document;
}

// JSON text whatever the document held: bytes that are no UTF-8 are replaced, not thrown at.
std::string dumpJson(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The index of the first load of that name; -1 with a message listing the names when none.
int find(const Document& document, const std::string& name, const std::string& verb, const std::string& file,
         std::ostream& err) {
    int i = 0;
    for (const hostLoad& l : document.loads) {
        if (l.name == name) return i;
        ++i;
    }
    err << "kestrel " << verb << ": " << hostDisplayName(file) << " has no load named \"" << name << "\"; its loads:";
    for (const hostLoad& l : document.loads) err << " \"" << l.name << '"';
    err << '\n';
    return -1;
}

std::string number(double v) {
    return mfTextFormatter::format_impl(v);
}

// "1000 Pa", "(0, 0, -2500) N/m2", "(0, 0, -120000) N, (0, 15000, 0) N.m".
std::string withUnits(const std::vector<double>& values, const viewQuantity& q) {
    std::string text;
    for (std::size_t first = 0; first < values.size(); first += q.firstPart) {
        const std::size_t count = std::min(q.firstPart, values.size() - first);
        std::string part;
        for (std::size_t i = first; i < first + count; ++i) part += (i > first ? ", " : "") + number(values[i]);
        if (count > 1) part = "(" + part + ")";
        text += (text.empty() ? "" : ", ") + part + " " + q.units[std::min(first, q.units.size() - 1)];
    }
    return text;
}

nlohmann::json listOrNull(const std::optional<std::vector<double>>& values) {
    return values ? nlohmann::json(*values) : nlohmann::json();
}

nlohmann::json unitsOf(const std::optional<viewQuantity>& q) {
    return q ? nlohmann::json(q->units) : nlohmann::json();
}

std::string slug(const std::string& name) {
    std::string s;
    for (char c : name) {
        const bool keep = std::isalnum(static_cast<unsigned char>(c)) != 0;
        if (keep)
            s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!s.empty() && s.back() != '-')
            s += '-';
    }
    while (!s.empty() && s.back() == '-') s.pop_back();
    return s.empty() ? "load" : s;
}

// Output that could not be written (a full disk, a closed pipe) is a failure, not a success.
int finished(std::ostream& out, std::ostream& err, const char* verb, int status) {
    out.flush();
    if (out) return status;
    err << "kestrel " << verb << ": cannot write the output\n";
    return kUnusable;
}

bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return static_cast<bool>(out);
}
}  // namespace

int viewEvalCommand(const std::string& file, const pos3d& at, lcLoad::lcCoordinateSystem system, bool json,
                    std::ostream& out, std::ostream& err, std::size_t maxErrors) {
    const Document document = read(file, maxErrors, err);
    nlohmann::json report{{"file", hostDisplayName(file)},
                          {"at", {at.x, at.y, at.z}},
                          {"system", system == lcLoad::local ? "local" : "global"},
                          {"loads", nlohmann::json::array()},
                          {"errors", nlohmann::json::array()}};
    for (const auto& e : document.errors)
        report["errors"].push_back({{"line", e.line}, {"column", e.column}, {"path", e.path}, {"message", e.message}});
    // A program reading the JSON gets JSON whatever became of the document.
    if (document.status == kUnusable) {
        if (json) out << dumpJson(report) << '\n';
        return kUnusable;
    }
    int status = document.status;
    std::size_t index = 0;
    for (const hostLoad& l : document.loads) {
        const std::string_view kind = document.intensities[index++];
        if (!l.intensity) continue;
        const viewEvaluator evaluator(l);
        const viewEvaluation e = evaluator.at(at, system);
        const auto& q = evaluator.quantity();
        // A script that fails is an error of the document, named by its load.
        if (!e.error.empty()) {
            err << hostDisplayName(file) << ": error: load \"" << l.name << "\": " << e.error << '\n';
            status = kDocumentErrors;
        }
        if (json) {
            report["loads"].push_back({{"name", l.name},
                                       {"intensity", kind},
                                       {"value", listOrNull(e.value)},
                                       {"limited", listOrNull(e.limited)},
                                       {"on_footprint", e.onFootprint ? nlohmann::json(*e.onFootprint) : nullptr},
                                       {"unit", q ? nlohmann::json(q->unit()) : nullptr},
                                       {"units", unitsOf(q)}});
            if (!e.error.empty()) report["loads"].back()["error"] = e.error;
            continue;
        }
        out << hostDisplayName(file) << ": load \"" << l.name << "\" " << kind << ": ";
        if (!e.value || !q) {
            out << "no value here";
        } else {
            out << "value " << withUnits(*e.value, *q);
            if (evaluator.hasLimit()) out << ", limited " << (e.limited ? withUnits(*e.limited, *q) : "to no value");
        }
        out << (!e.onFootprint   ? "; no footprint\n"
                : *e.onFootprint ? "; on the footprint\n"
                                 : "; off the footprint\n");
    }
    if (json) out << dumpJson(report) << '\n';
    return finished(out, err, "eval", status);
}

int viewSampleCommand(const std::string& file, const std::string& name, double step, viewFormat format,
                      std::ostream& out, std::ostream& err, std::size_t maxErrors) {
    const Document document = read(file, maxErrors, err);
    if (document.status == kUnusable) return kUnusable;
    const int index = find(document, name, "sample", file, err);
    if (index < 0) return kUnusable;
    const hostLoad& load = *std::next(document.loads.begin(), index);
    if (!load.footprint || !load.intensity) {
        err << "kestrel sample: load \"" << name << "\" has no "
            << (load.footprint ? "intensity function" : "footprint") << " to sample\n";
        return kUnusable;
    }
    std::vector<pos3d> positions;
    std::string error;
    if (!viewSamplePositions(*load.footprint, step, positions, error)) {
        err << "kestrel sample: load \"" << name << "\": " << error << '\n';
        return kUnusable;
    }
    const viewEvaluator evaluator(load);
    const auto& q = evaluator.quantity();
    const std::size_t width = q ? q->components.size() : 0;
    // A failing script is reported once, not per row.
    std::string failure;
    if (format == viewFormat::csv) {
        out << "x [m],y [m],z [m]";
        for (const char* column : {"value", "limited"})
            for (std::size_t c = 0; c < width; ++c)
                out << ',' << column << ' ' << q->components[c] << " [" << q->units[c] << ']';
        out << '\n';
        for (const pos3d& p : positions) {
            const viewEvaluation e = evaluator.at(p);
            if (failure.empty()) failure = e.error;
            out << number(p.x) << ',' << number(p.y) << ',' << number(p.z);
            for (const auto* values : {&e.value, &e.limited})
                for (std::size_t c = 0; c < width; ++c)
                    out << ',' << (*values && c < (*values)->size() ? number((**values)[c]) : "");
            out << '\n';
        }
    } else {
        // Written row by row, so that a large sampling is never held whole in memory.
        nlohmann::json head{{"file", hostDisplayName(file)},
                            {"load", name},
                            {"intensity", document.intensities[static_cast<std::size_t>(index)]},
                            {"footprint", document.footprints[static_cast<std::size_t>(index)]},
                            {"step", step},
                            {"system", "global"},
                            {"components", q ? nlohmann::json(q->components) : nlohmann::json()},
                            {"unit", q ? nlohmann::json(q->unit()) : nlohmann::json()},
                            {"units", unitsOf(q)}};
        std::string text = dumpJson(head);
        text.pop_back();
        out << text << ",\"samples\":[";
        bool first = true;
        for (const pos3d& p : positions) {
            const viewEvaluation e = evaluator.at(p);
            if (failure.empty()) failure = e.error;
            const nlohmann::json row{
                {"at", {p.x, p.y, p.z}}, {"value", listOrNull(e.value)}, {"limited", listOrNull(e.limited)}};
            out << (first ? "" : ",") << row.dump();
            first = false;
        }
        out << "]}\n";
    }
    int status = document.status;
    if (!failure.empty()) {
        err << hostDisplayName(file) << ": error: load \"" << name << "\": " << failure << '\n';
        status = kDocumentErrors;
    }
    return finished(out, err, "sample", status);
}

int viewPlotCommand(const std::string& file, const std::string& name, const std::string& output, std::ostream& out,
                    std::ostream& err, std::size_t maxErrors) {
    namespace fs = std::filesystem;
    const Document document = read(file, maxErrors, err);
    if (document.status == kUnusable) return kUnusable;
    std::error_code ec;
    if (!name.empty()) {
        const int index = find(document, name, "plot", file, err);
        if (index < 0) return kUnusable;
        viewPicture picture;
        std::string error;
        if (!viewPlot(*std::next(document.loads.begin(), index), picture, error)) {
            err << "kestrel plot: " << error << '\n';
            return kUnusable;
        }
        const fs::path path =
            fs::is_directory(output, ec) ? fs::path(output) / (slug(name) + ".svg") : fs::path(output);
        if (!writeFile(path, picture.svg)) {
            err << "kestrel plot: cannot write " << path.string() << '\n';
            return kUnusable;
        }
        out << "wrote " << path.string() << '\n';
        return document.status;
    }
    fs::create_directories(output, ec);
    if (!fs::is_directory(output, ec)) {
        err << "kestrel plot: " << output << " is no folder and cannot be made one\n";
        return kUnusable;
    }
    std::set<std::string> taken;
    for (const hostLoad& l : document.loads) {
        viewPicture picture;
        std::string error;
        if (!viewPlot(l, picture, error)) {
            err << "kestrel plot: skipped: " << error << '\n';
            continue;
        }
        // Loads whose names differ only in punctuation get numbered files.
        const std::string base = slug(l.name);
        std::string stem = base;
        for (int n = 2; !taken.insert(stem).second; ++n) stem = base + "-" + std::to_string(n);
        const fs::path path = fs::path(output) / (stem + ".svg");
        if (!writeFile(path, picture.svg)) {
            err << "kestrel plot: cannot write " << path.string() << '\n';
            return kUnusable;
        }
        out << "wrote " << path.string() << '\n';
    }
    return document.status;
}
