#pragma once

#include <string>

#include "kestrel/components/exchange/xpNode.h"

// The character data of the element that holds it.
class xpCData : public xpNode {
public:
    virtual bool export_cdata(std::string& text) = 0;
    virtual bool import_cdata(const std::string& text) = 0;

    bool get_cdata(std::string& text) override { return export_cdata(text); }
    bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) override;
    // Writes a CDATA section; "]]>" in the text is split across sections.
    bool export_child(pugi::xml_node parent) override;
    void nodes_for_import(xpImportSet&) override {}
    bool do_import(xpImportSet& nodes) override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override;
    using xpNode::buildSchema;
};
