#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/hostDocument.h"

// A load document read from a file, or why it could not be.
struct hostFileDocument {
    // False when the file could not be read at all; the reason is the one error.
    bool readable = false;
    xpReadResult result;
    List<hostLoad> loads;
    // The names of the kinds, which the two lists below point into.
    std::shared_ptr<const hostKindNames> kinds;
    // Per load: the element names of its footprint and intensity function, empty for none.
    std::vector<std::string_view> footprints;
    std::vector<std::string_view> intensities;
    // Every "load" element, read or not, in document order.
    std::vector<hostLoadRecord> records;
};

// Reads FILE, or standard input for "-", listing at most `maxErrors` errors. The document is
// streamed unless hostReadWholeText(true) chose to read its whole text; both give the same result.
// With `each`, every load goes to it as soon as it is read and `loads` stays empty; a document
// refused later has handed on the loads before the fault. With `eachRecord`, every load element's
// record goes to it likewise, just before its load, and `records` stays empty.
hostFileDocument hostReadFile(const std::string& file, std::size_t maxErrors = xpDocument::kDefaultMaxErrors,
                              std::function<void(hostLoad&&)> each = {},
                              std::function<void(hostLoadRecord&&)> eachRecord = {});

// Whether hostReadFile reads the whole text into memory first rather than streaming it.
void hostReadWholeText(bool whole);

// Reads a whole file, or standard input for "-"; false when it cannot be read, with the
// system's reason in `failure`.
bool hostSlurp(const std::string& file, std::string& text, std::string& failure);

// How messages name a file: "<stdin>" for "-".
std::string hostDisplayName(const std::string& file);

// "FILE:LINE:COLUMN: error: PATH: MESSAGE", without the column where it is unknown.
void hostPrintError(std::ostream& out, const std::string& file, const xpReportedError& error);
