#pragma once

#include <memory>
#include <span>
#include <vector>

#include "kestrel/components/exchange/xpNode.h"

// An element of the document. It owns the nodes added to it; the order of `add` calls is the
// order of attributes and children in the written document.
class xpElement : public xpNode {
public:
    xpElement() = default;
    ~xpElement() override;

    // Takes ownership of the node and becomes its parent.
    virtual void add(xpNode* node);
    // Writes this element's attributes, children and text into its DOM element. False: the
    // element should not be kept.
    virtual bool export_dom(pugi::xml_node dom);
    // Restores the defaults of every node registered with add_reset_node.
    virtual void reset_all() { xpNode::reset_all(); }
    // The element that stands for this one's current content; itself by default.
    virtual xpElement* getNestedElement() { return this; }
    virtual bool import_complete() { return true; }

    bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) override;
    bool export_child(pugi::xml_node parent) override;
    void nodes_for_import(xpImportSet& nodes) override;
    bool do_import(xpImportSet& nodes) override;
    void buildSchema(xsSchema& schema, xsGroup* group, const std::string& name) override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override;
    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name) override;

    const std::vector<std::unique_ptr<xpNode>>& children() const { return m_children; }

    // Reads this element from the DOM element of `frame`, reporting errors with its path.
    bool importFrom(const xpFrame& frame);
    // Reads the content offered by `nodes`: the children's do_import, then what no child took
    // is reported, then import_concrete() unless an error was recorded meanwhile.
    virtual bool importContent(xpImportSet& nodes);
    // importContent() through `members` alone, children of this element: the others are known
    // to find nothing in `nodes` and to have nothing to report of it.
    bool importContentOf(xpImportSet& nodes, std::span<xpNode* const> members);
    // Writes the children's contributions into `dom`.
    virtual bool exportContent(pugi::xml_node dom);
    // Whether `dom` carries the values that the constant attributes of this element demand;
    // otherwise `reason` says which attribute refused which text.
    bool acceptsElement(const xpRecord& element, std::string& reason) const;
    // Fills `type` with the children's contributions.
    void buildContent(xsSchema& schema, xsComplexType* type);

private:
    template <class ReadMembers>
    bool importWith(xpImportSet& nodes, ReadMembers&& readMembers);

    std::vector<std::unique_ptr<xpNode>> m_children;
    // The children that stand for constant attributes, found on the first element offered.
    mutable std::vector<const xpNode*> m_constantChildren;
    mutable bool m_constantsFound = false;
};
