#include "tools/host/hostFile.h"

#include <iostream>
#include <iterator>
#include <sstream>
#include <utility>

#include "kestrel/document/kestrelLoads.h"

bool hostSlurp(const std::string& file, std::string& text, std::string& failure) {
    failure = "read error";
    if (file == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    return kestrel::readFileText(file, text, failure);
}

std::string hostDisplayName(const std::string& file) {
    return file == "-" ? "<stdin>" : file;
}

void hostPrintError(std::ostream& out, const std::string& file, const xpReportedError& error) {
    out << hostDisplayName(file) << ':' << error.line;
    if (error.column > 0) out << ':' << error.column;
    out << ": error: ";
    if (!error.path.empty()) out << error.path << ": ";
    out << error.message << '\n';
}

hostFileDocument hostReadFile(const std::string& file, std::size_t maxErrors) {
    hostFileDocument loaded;
    std::string text;
    std::string failure;
    if (!hostSlurp(file, text, failure)) {
        loaded.result.errors.push_back({0, {}, "cannot read file: " + failure});
        return loaded;
    }
    loaded.readable = true;
    hostSession session;
    session.document.setMaxErrors(maxErrors);
    loaded.result = session.document.read(session.root, std::move(text));
    loaded.loads = std::move(session.root.m_loads);
    loaded.records = std::move(session.root.m_records);
    const hostKindNames names;
    loaded.footprints.reserve(loaded.loads.size());
    loaded.intensities.reserve(loaded.loads.size());
    for (const hostLoad& l : loaded.loads) {
        loaded.footprints.push_back(l.footprint ? names.footprint(*l.footprint) : std::string());
        loaded.intensities.push_back(l.intensity ? names.intensity(*l.intensity) : std::string());
    }
    return loaded;
}
