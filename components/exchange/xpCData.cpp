#include "kestrel/components/exchange/xpCData.h"

#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/schema/xsSchema.h"

bool xpCData::export_nodes(std::vector<xpNode*>&, std::vector<xpNode*>& elements) {
    if (!export_concrete()) return false;
    elements.push_back(this);
    return true;
}

bool xpCData::export_child(pugi::xml_node parent) {
    std::string text;
    if (!export_cdata(text)) return false;
    // A CDATA section cannot hold "]]>": end the section inside it and open the next one.
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("]]>", start)) != std::string::npos; start = at + 2)
        parent.append_child(pugi::node_cdata).set_value(text.substr(start, at + 2 - start).c_str());
    parent.append_child(pugi::node_cdata).set_value(text.substr(start).c_str());
    return true;
}

bool xpCData::do_import(xpImportSet& nodes) {
    if (!nodes.hasText()) {
        if (is_required() && isRequiredField()) reportMissing();
        return false;
    }
    nodes.takeText();
    try {
        if (!import_cdata(nodes.text())) {
            nodeError() << xml_error_message(this, "character data refused");
            return false;
        }
    } catch (const std::exception& e) {
        nodeError() << xml_error_message(this, e.what());
        return false;
    }
    return guardedImportConcrete();
}

void xpCData::buildSchema(xsSchema&, xsComplexType* type, const std::string&) {
    type->setMixed(true);
}
