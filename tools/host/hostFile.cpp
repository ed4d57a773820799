#include "tools/host/hostFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <utility>

#include "kestrel/document/kestrelLoads.h"

namespace {
bool g_wholeText = false;

// Opens FILE for reading; false with the system's reason when it cannot be read.
bool openFile(const std::string& file, std::ifstream& in, std::string& failure) {
    std::error_code code;
    if (std::filesystem::is_directory(file, code)) {
        failure = std::strerror(EISDIR);
        return false;
    }
    errno = 0;
    in.open(file, std::ios::binary);
    if (in) return true;
    failure = std::strerror(errno ? errno : ENOENT);
    return false;
}
}  // namespace

void hostReadWholeText(bool whole) {
    g_wholeText = whole;
}

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

hostFileDocument hostReadFile(const std::string& file, std::size_t maxErrors, std::function<void(hostLoad&&)> each,
                              std::function<void(hostLoadRecord&&)> eachRecord) {
    hostFileDocument loaded;
    std::string failure;
    hostSession session;
    session.document.setMaxErrors(maxErrors);
    session.root.setEach(std::move(each));
    session.root.setEachRecord(std::move(eachRecord));
    if (g_wholeText) {
        std::string text;
        if (!hostSlurp(file, text, failure)) {
            loaded.result.errors.push_back({0, {}, "cannot read file: " + failure});
            return loaded;
        }
        loaded.result = session.document.read(session.root, text);
    } else if (file == "-") {
        loaded.result = session.document.readStream(session.root, std::cin);
    } else {
        std::ifstream in;
        if (!openFile(file, in, failure)) {
            loaded.result.errors.push_back({0, {}, "cannot read file: " + failure});
            return loaded;
        }
        loaded.result = session.document.readStream(session.root, in);
    }
    loaded.readable = true;
    loaded.loads = std::move(session.root.m_loads);
    loaded.records = std::move(session.root.m_records);
    loaded.kinds = std::make_shared<const hostKindNames>();
    const hostKindNames& names = *loaded.kinds;
    loaded.footprints.reserve(loaded.loads.size());
    loaded.intensities.reserve(loaded.loads.size());
    for (const hostLoad& l : loaded.loads) {
        loaded.footprints.push_back(l.footprint ? std::string_view(names.footprint(*l.footprint)) : std::string_view());
        loaded.intensities.push_back(l.intensity ? std::string_view(names.intensity(*l.intensity))
                                                 : std::string_view());
    }
    return loaded;
}
