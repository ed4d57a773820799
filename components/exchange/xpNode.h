#pragma once

#include <pugixml.hpp>

#include <boost/intrusive_ptr.hpp>
#include <string>
#include <typeinfo>
#include <vector>

#include "kestrel/components/exchange/xml_error.h"
#include "kestrel/components/exchange/xpExchangeContext.h"
#include "kestrel/components/exchange/xpForward.h"

// Handler of a streaming reader that drives the same per-node logic as the DOM reader.
class xpNodeHandler {
public:
    virtual ~xpNodeHandler() = default;
    friend void intrusive_ptr_add_ref(xpNodeHandler* h) { ++h->m_refs; }
    friend void intrusive_ptr_release(xpNodeHandler* h) {
        if (--h->m_refs == 0) delete h;
    }

private:
    long m_refs = 0;
};

// How a node's schema type sits in its parent's: 2 keeps it inside the parent's type.
enum xpTypeContainment { xpTypeNamed = 0, xpTypeContained = 2 };

// A node of the exchange tree: it stands for an element, an attribute, a group of attributes,
// character data or a choice, and it reads and writes that part of a document.
class xpNode {
public:
    xpNode() = default;
    xpNode(const xpNode&) = delete;
    xpNode& operator=(const xpNode&) = delete;
    virtual ~xpNode();

    // --- building ---------------------------------------------------------------------------
    void setName(const std::string& name) { m_name = name; }
    const std::string& getName() const { return m_name; }
    // Explicit schema type name; blanks are kept here and dropped by typeName() of members.
    void setTypeName(const std::string& name) { m_typeName = name; }
    void document(const std::string& text) { m_documentation = text; }
    const std::string& documentation() const { return m_documentation; }
    virtual void set_required(bool required) { m_required = required; }
    bool is_required() const { return m_required; }
    virtual void setRepeating(bool repeating) { m_repeating = repeating; }
    virtual bool repeating() const { return m_repeating; }
    void setTypeContainment(int containment) { m_containment = containment; }
    int typeContainment() const { return m_containment; }
    // A node that reuses its parent writes its content into the parent's element.
    virtual void reuseParent(bool reuse) { m_reuseParent = reuse; }
    bool reusesParent() const { return m_reuseParent; }
    xpNode* getParent() const { return m_parent; }
    void setParent(xpNode* parent) {
        m_parent = parent;
        m_ownerType = nullptr;
    }

    // The owner found by the last lookup for `type` from this node, or null. The tree above a
    // node does not change once it is built, so a found owner stays the owner.
    void* cachedOwner(const std::type_info& type) const { return m_ownerType == &type ? m_owner : nullptr; }
    void cacheOwner(const std::type_info& type, void* owner) const {
        m_ownerType = &type;
        m_owner = owner;
    }
    // `node`'s reset() runs on this node's reset_all(). The node is not owned; it leaves the
    // list when it is destroyed, and this node leaves its lists when this node is.
    void add_reset_node(xpNode* node);
    // Runs reset() of every registered node, in registration order.
    void reset_all();

    // --- exchange hooks ---------------------------------------------------------------------
    // Before a node is written; false: nothing is written for it.
    virtual bool export_concrete() { return true; }
    // After a node's content was read; false: the read failed.
    virtual bool import_concrete() { return true; }
    virtual bool reset() { return true; }
    // Before a node's content is read: a node that is read again and again (an item prototype)
    // puts its defaults back here, so that nothing of the previous item leaks into the next.
    virtual void import_begin() {}
    virtual bool backup() { return true; }
    virtual void debug_hook() {}
    virtual bool ignore_invalid_references() const { return false; }
    virtual bool lookup(const std::string& name) const { return name == m_name; }
    virtual xpDocument* getDocument();
    virtual const xpDocument* getDocument() const;

    // Collects what this node writes into its parent's element: attribute nodes into
    // `attributes`, element, character-data and reused-parent nodes into `elements`.
    // False: the node contributes nothing.
    virtual bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements);
    // Writes a node collected by export_nodes into the parent's element.
    virtual bool export_child(pugi::xml_node parent);
    // Announces the element names this node reads from its parent's content.
    virtual void nodes_for_import(xpImportSet& nodes);
    // Reads this node's part of its parent's content; true when it was found and read.
    virtual bool do_import(xpImportSet& nodes);
    // Character data this node writes (only character-data nodes have any).
    virtual bool get_cdata(std::string& text);
    virtual boost::intrusive_ptr<xpNodeHandler> create_sax_handler_import();

    // --- schema -----------------------------------------------------------------------------
    // Contributes an element particle to a content model.
    virtual void buildSchema(xsSchema& schema, xsGroup* group, const std::string& name);
    // Contributes to the type of the parent element (attributes or particles).
    virtual void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name);
    // Contributes attributes to an attribute group.
    virtual void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name);

    // --- kinds and names --------------------------------------------------------------------
    // Lets the node complete itself once its base parts are built.
    virtual void completePrimitive() {}
    virtual bool isPrimitive() const { return false; }
    virtual bool isAttribute() const { return false; }
    // Whether the node stands for a fixed value (an attribute whose text must match, not be read).
    virtual bool isConstant() const { return false; }
    virtual bool hasEmbeddedBase() const { return false; }
    virtual bool hasEmbeddedDerived() const { return false; }
    // Schema type name; empty unless set.
    virtual std::string typeName() const { return m_typeName; }
    virtual bool isRequiredChild(const xpNode* child) const;
    // Whether the constant attributes this node stands for accept the element `dom`; otherwise
    // `reason` says which attribute refused which text. Only attribute nodes have any.
    virtual bool acceptsConstants(const xpRecord&, std::string&) const { return true; }
    // Whether acceptsConstants() can refuse anything: the node stands for constant attributes.
    virtual bool holdsConstants() const { return false; }
    // Whether a missing node is reported as "Required field not found".
    virtual bool isRequiredField() const;
    virtual const std::string& getElementName() const { return m_name; }
    // Path of the element (or "/@name" attribute) this node stands for, as in the document
    // being read or written, e.g. /loads/load[2]/intensity.
    virtual std::string getElementPath() const;
    // Source line of that element; 0 when unknown.
    int getLine() const;
    // 1-based column of the element being read, in characters; 0 when unknown.
    int getColumn() const;

    // --- errors -----------------------------------------------------------------------------
    xpErrorMap& nodeError() { return m_errors; }
    const xpErrorMap& nodeError() const { return m_errors; }

protected:
    // Reads a document element by element, driving the same per-node logic.
    friend class xpStreamImport;
    // Binds the node to the element it is reading or writing for as long as the guard lives.
    class FrameGuard {
    public:
        FrameGuard(const xpNode* node, const xpFrame* frame) : m_node(node), m_saved(node->m_frame) {
            node->m_frame = frame;
        }
        ~FrameGuard() { m_node->m_frame = m_saved; }
        FrameGuard(const FrameGuard&) = delete;
        FrameGuard& operator=(const FrameGuard&) = delete;

    private:
        const xpNode* m_node;
        const xpFrame* m_saved;
    };
    const xpFrame* frame() const { return m_frame; }
    // The frame of this node or of its nearest bound ancestor.
    const xpFrame* nearestFrame() const;

    // Records "Required field not found" against this node.
    void reportMissing();
    // import_concrete() with whatever it throws recorded against this node as a failure.
    bool guardedImportConcrete();

private:
    std::string m_name;
    std::string m_typeName;
    std::string m_documentation;
    xpNode* m_parent = nullptr;
    std::vector<xpNode*> m_resetNodes;
    // The nodes whose reset lists hold this one.
    std::vector<xpNode*> m_resetOwners;
    xpErrorMap m_errors;
    mutable const xpFrame* m_frame = nullptr;
    mutable const std::type_info* m_ownerType = nullptr;
    mutable void* m_owner = nullptr;
    int m_containment = xpTypeNamed;
    bool m_required = false;
    bool m_repeating = false;
    bool m_reuseParent = false;
};
