#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <memory>

#include "tools/host/hostDocument.h"

namespace {
void collect(void* sink, xmlErrorPtr error) {
    if (!error) return;
    std::string message = error->message ? error->message : "invalid";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    static_cast<std::vector<xpReportedError>*>(sink)->push_back({error->line, {}, message});
}

template <class T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
template <class T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Free>>;
}  // namespace

hostValidation hostValidate(const std::string& xml, const std::string& schemaText) {
    hostValidation result;
    Owned<xmlSchemaParserCtxt, xmlSchemaFreeParserCtxt> parser(
        xmlSchemaNewMemParserCtxt(schemaText.data(), int(schemaText.size())));
    xmlSchemaSetParserStructuredErrors(parser.get(), collect, &result.errors);
    Owned<xmlSchema, xmlSchemaFree> schema(xmlSchemaParse(parser.get()));
    if (!schema) {
        result.errors.insert(result.errors.begin(), {0, {}, "the schema itself is not valid"});
        return result;
    }
    Owned<xmlDoc, xmlFreeDoc> document(xmlReadMemory(xml.data(), int(xml.size()), "document.xml", nullptr,
                                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!document) return result;
    result.readable = true;
    Owned<xmlSchemaValidCtxt, xmlSchemaFreeValidCtxt> validator(xmlSchemaNewValidCtxt(schema.get()));
    xmlSchemaSetValidStructuredErrors(validator.get(), collect, &result.errors);
    if (xmlSchemaValidateDoc(validator.get(), document.get()) < 0 && result.errors.empty())
        result.errors.push_back({0, {}, "validation could not run"});
    return result;
}
