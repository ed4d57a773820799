#pragma once

#include <memory>
#include <typeinfo>
#include <vector>

#include "kestrel/components/exchange/xpAttribute.h"

// A group of attributes that joins the element holding it.
class xpAttributes : public xpNode {
public:
    ~xpAttributes() override;

    // Takes ownership of the attribute node and becomes its parent.
    void add(xpNode* attribute);
    virtual const std::type_info& attributeType() const { return typeid(void); }

    bool isAttribute() const override { return true; }
    bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) override;
    void nodes_for_import(xpImportSet& nodes) override;
    bool do_import(xpImportSet& nodes) override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override;
    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name) override;
    using xpNode::buildSchema;

    const std::vector<std::unique_ptr<xpNode>>& attributes() const { return m_attributes; }
    // Whether the attributes that tell elements apart accept what `dom` carries.
    bool acceptsConstants(const xpRecord& element, std::string& reason) const override;
    bool holdsConstants() const override;

private:
    std::vector<std::unique_ptr<xpNode>> m_attributes;
};
