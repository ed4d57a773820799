#include "kestrel/components/exchange/xpNode.h"

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/exchange/xpImportSet.h"

namespace {
void forget(std::vector<xpNode*>& list, const xpNode* node) {
    std::erase(list, node);
}
}  // namespace

xpNode::~xpNode() {
    // A node replaced or destroyed before its owner must not be reset through a stale pointer.
    for (xpNode* owner : m_resetOwners) forget(owner->m_resetNodes, this);
    for (xpNode* node : m_resetNodes) forget(node->m_resetOwners, this);
}

void xpNode::add_reset_node(xpNode* node) {
    m_resetNodes.push_back(node);
    node->m_resetOwners.push_back(this);
}

void xpNode::reset_all() {
    for (xpNode* node : m_resetNodes) node->reset();
}

xpDocument* xpNode::getDocument() {
    return xpDocument::m_current;
}
const xpDocument* xpNode::getDocument() const {
    return xpDocument::m_current;
}

bool xpNode::export_nodes(std::vector<xpNode*>&, std::vector<xpNode*>&) {
    return false;
}

bool xpNode::export_child(pugi::xml_node) {
    return false;
}

void xpNode::nodes_for_import(xpImportSet&) {}

bool xpNode::do_import(xpImportSet&) {
    if (is_required() && isRequiredField()) reportMissing();
    return false;
}

bool xpNode::get_cdata(std::string&) {
    return false;
}

boost::intrusive_ptr<xpNodeHandler> xpNode::create_sax_handler_import() {
    return boost::intrusive_ptr<xpNodeHandler>(new xpNodeHandler);
}

void xpNode::buildSchema(xsSchema&, xsGroup*, const std::string&) {}
void xpNode::buildSchema(xsSchema&, xsComplexType*, const std::string&) {}
void xpNode::buildSchema(xsSchema&, xsAttributeGroup*, const std::string&) {}

bool xpNode::isRequiredChild(const xpNode* child) const {
    return child && child->is_required();
}

bool xpNode::isRequiredField() const {
    return m_required && (!m_parent || m_parent->isRequiredChild(this));
}

std::string xpNode::getElementPath() const {
    if (m_frame) return m_frame->path();
    std::string path = m_parent ? m_parent->getElementPath() : std::string();
    if (!m_name.empty()) path += "/" + m_name;
    return path;
}

int xpNode::getLine() const {
    if (m_frame) return m_frame->line();
    return m_parent ? m_parent->getLine() : 0;
}

int xpNode::getColumn() const {
    if (m_frame) return m_frame->column();
    return m_parent ? m_parent->getColumn() : 0;
}

bool xpNode::guardedImportConcrete() {
    try {
        return import_concrete();
    } catch (const std::exception& e) {
        nodeError() << xml_error_message(this, e.what());
    } catch (...) {
        nodeError() << xml_error_message(this, "unknown failure while reading");
    }
    return false;
}

void xpNode::reportMissing() {
    nodeError() << xml_schema_validation_error(this, "Required field not found");
}

const xpFrame* xpNode::nearestFrame() const {
    for (const xpNode* n = this; n; n = n->m_parent)
        if (n->m_frame) return n->m_frame;
    return nullptr;
}
