#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "tools/host/hostDocument.h"

namespace {
// Where libxml2's errors go: recorded up to the limit, counted past it.
struct Sink {
    std::vector<xpReportedError>& errors;
    std::size_t limit;
    std::size_t unlisted = 0;
};

void collect(void* sink, xmlErrorPtr error) {
    if (!error) return;
    auto* to = static_cast<Sink*>(sink);
    if (to->errors.size() >= to->limit) {
        ++to->unlisted;
        return;
    }
    std::string message = error->message ? error->message : "invalid";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    // Quantity patterns run to kilobytes: name the type's pattern rather than quote it.
    constexpr std::string_view quotedPattern = "accepted by the pattern '";
    if (std::size_t at = message.find(quotedPattern); at != std::string::npos)
        message = message.substr(0, at) + "accepted by the pattern of its type";
    to->errors.push_back({error->line, {}, message});
}

// Line of the document type declaration, which libxml2 does not keep.
int doctypeLine(const std::string& xml) {
    const std::size_t at = xml.find("<!DOCTYPE");
    return at == std::string::npos ? 0 : 1 + int(std::count(xml.begin(), xml.begin() + long(at), '\n'));
}

template <class T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
template <class T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Free>>;
}  // namespace

hostValidation hostValidate(const std::string& xml, const std::string& schemaText, std::size_t maxErrors) {
    hostValidation result;
    Sink sink{result.errors, maxErrors};
    Owned<xmlSchemaParserCtxt, xmlSchemaFreeParserCtxt> parser(
        xmlSchemaNewMemParserCtxt(schemaText.data(), int(schemaText.size())));
    xmlSchemaSetParserStructuredErrors(parser.get(), collect, &sink);
    Owned<xmlSchema, xmlSchemaFree> schema(xmlSchemaParse(parser.get()));
    if (!schema) {
        result.errors.insert(result.errors.begin(), {0, {}, "the schema itself is not valid"});
        return result;
    }
    Owned<xmlDoc, xmlFreeDoc> document(xmlReadMemory(xml.data(), int(xml.size()), "document.xml", nullptr,
                                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!document) return result;
    // Reading documents never takes a DTD into account: refused, as the library refuses it.
    if (xmlGetIntSubset(document.get())) {
        result.errors.push_back({doctypeLine(xml), {}, "document type declarations are not accepted"});
        return result;
    }
    result.readable = true;
    Owned<xmlSchemaValidCtxt, xmlSchemaFreeValidCtxt> validator(xmlSchemaNewValidCtxt(schema.get()));
    xmlSchemaSetValidStructuredErrors(validator.get(), collect, &sink);
    if (xmlSchemaValidateDoc(validator.get(), document.get()) < 0 && result.errors.empty())
        result.errors.push_back({0, {}, "validation could not run"});
    if (sink.unlisted > 0)
        result.errors.push_back({0,
                                 {},
                                 std::to_string(sink.unlisted) + " more errors found and not listed (error limit " +
                                     std::to_string(maxErrors) + ")"});
    return result;
}
