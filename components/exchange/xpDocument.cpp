#include "kestrel/components/exchange/xpDocument.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/schema/xsSchema.h"

thread_local xpDocument* xpDocument::m_current = nullptr;

xpFutureElementsBase::~xpFutureElementsBase() = default;

xpFutureElementsCollection::xpFutureElementsCollection() = default;
xpFutureElementsCollection::~xpFutureElementsCollection() = default;

std::unique_ptr<xpFutureElementsBase>& xpFutureElementsCollection::get(const mfTypeInfo& base) {
    return m_slots[base];
}

std::size_t xpFutureElementsCollection::size() const {
    std::size_t n = 0;
    for (const auto& [key, registry] : m_slots) n += registry != nullptr;
    return n;
}

xpDocument::xpDocument() = default;

xpDocument::~xpDocument() {
    if (m_current == this) m_current = nullptr;
}

namespace {
xpReadResult refused(std::string message) {
    xpReadResult result;
    result.errors.push_back({0, {}, std::move(message)});
    return result;
}
}  // namespace

xpReadResult xpDocument::readFile(xpElement& root, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return refused("cannot read file \"" + path + "\"");
    return readStream(root, in);
}

std::vector<xpReportedError> xpDocument::write(xpElement& root, std::string& text) {
    std::ostringstream out;
    std::vector<xpReportedError> errors = write(root, out);
    text = std::move(out).str();
    return errors;
}

std::string xpDocument::schema(xpElement& root) {
    xsSchema schema;
    root.buildSchema(schema, &schema.globals(), "");
    return schema.toString();
}
