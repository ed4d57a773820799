#pragma once

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/geometry/locsys3d.h"

// Readable failure output for the geometry values the tests compare.
inline void PrintTo(const vec3d& v, std::ostream* os) {
    *os << mf_format(v);
}
inline void PrintTo(const pos3d& p, std::ostream* os) {
    *os << mf_format(p);
}
inline void PrintTo(const locsys3d& s, std::ostream* os) {
    *os << mf_format(s);
}

namespace kestrel_test {

// One line per error, "LINE PATH: MESSAGE", so a whole report compares as one string.
inline std::string describe(const std::vector<xpReportedError>& errors) {
    std::string text;
    for (const auto& e : errors) text += std::to_string(e.line) + " " + e.path + ": " + e.message + "\n";
    return text;
}

// What libxml2 finds wrong with the schema, or with the document against it; empty when both
// are fine. An empty document only checks the schema.
inline std::string schemaComplaints(const std::string& xsd, const std::string& xml = {}) {
    std::string complaints;
    xmlStructuredErrorFunc collect = [](void* sink, xmlErrorPtr error) {
        *static_cast<std::string*>(sink) += error->message;
    };
    auto* parser = xmlSchemaNewMemParserCtxt(xsd.data(), static_cast<int>(xsd.size()));
    xmlSchemaSetParserStructuredErrors(parser, collect, &complaints);
    xmlSchemaPtr schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) return "schema refused: " + complaints;
    if (!xml.empty()) {
        xmlDocPtr doc =
            xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "written.xml", nullptr, XML_PARSE_NONET);
        if (!doc) {
            complaints += "document not well-formed";
        } else {
            auto* validator = xmlSchemaNewValidCtxt(schema);
            xmlSchemaSetValidStructuredErrors(validator, collect, &complaints);
            if (xmlSchemaValidateDoc(validator, doc) != 0 && complaints.empty()) complaints = "invalid";
            xmlSchemaFreeValidCtxt(validator);
            xmlFreeDoc(doc);
        }
    }
    xmlSchemaFree(schema);
    return complaints;
}

// Reads snippets into elements and writes elements out, with a current document in place.
class XmlFixture : public ::testing::Test {
protected:
    xpReadResult read(xpElement& root, std::string_view text) { return document.read(root, text); }

    // Reads `text`, expecting it to be read without any error.
    void readClean(xpElement& root, std::string_view text) {
        xpReadResult result = read(root, text);
        EXPECT_TRUE(result.wellFormed);
        EXPECT_EQ(describe(result.errors), "") << text;
    }

    // Writes `root`, expecting no error and a document that its schema accepts.
    std::string write(xpElement& root) {
        std::string text;
        EXPECT_EQ(describe(document.write(root, text)), "");
        const std::string xsd = xpDocument::schema(root);
        EXPECT_EQ(schemaComplaints(xsd, text), "") << text << "\n" << xsd;
        return text;
    }

    xpDocument document;
    xpCurrentDocument current{document};
};

}  // namespace kestrel_test
