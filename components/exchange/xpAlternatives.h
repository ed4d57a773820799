#pragma once

#include <memory>
#include <vector>

#include "kestrel/components/exchange/xpNode.h"

// A choice between sets of attributes on one element. Writing uses the first alternative whose
// nodes can all be written; reading the first whose attributes the element carries and accepts.
class xpAlternatives : public xpNode {
public:
    ~xpAlternatives() override;

    // Takes ownership of one alternative (an attribute group) and becomes its parent.
    void add(xpNode* alternative);
    const std::vector<std::unique_ptr<xpNode>>& alternatives() const { return m_alternatives; }

    bool isAttribute() const override { return true; }
    bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) override;
    void nodes_for_import(xpImportSet& nodes) override;
    bool do_import(xpImportSet& nodes) override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override;
    using xpNode::buildSchema;

private:
    // Per alternative, its attribute nodes, gathered on the first read rather than on every one;
    // gathered again when a group has gained nodes since.
    struct Attributes {
        std::size_t nodes = 0;
        std::vector<const xpAttribute*> list;
    };
    const std::vector<const xpAttribute*>& attributesOf(std::size_t alternative);

    std::vector<std::unique_ptr<xpNode>> m_alternatives;
    std::vector<Attributes> m_attributes;
};
