#include "kestrel/components/exchange/xpSequence.h"

#include <boost/container/small_vector.hpp>
#include <cstdint>

#include "kestrel/components/exchange/detail/xpExportLists.h"
#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/exchange/xpStreamedItems.h"
#include "kestrel/components/schema/xsSchema.h"

namespace {
thread_local const std::function<void(pugi::xml_node)>* t_streamedItemSink = nullptr;
}  // namespace

xpSequence::~xpSequence() = default;

void xpSequence::setStreamedItemSink(const std::function<void(pugi::xml_node)>* sink) {
    t_streamedItemSink = sink;
}

void xpSequence::set_node(xpNode* item) {
    if (item) item->setParent(this);
    m_item.reset(item);
}

bool xpSequence::export_dom_node(pugi::xml_node dom, int) {
    if (!m_item) return false;
    xpExportLists lists;
    std::vector<xpNode*>& attributes = lists.attributes();
    std::vector<xpNode*>& elements = lists.elements();
    if (!m_item->export_nodes(attributes, elements)) return false;
    for (xpNode* node : attributes) node->export_child(dom);
    bool written = false;
    for (xpNode* node : elements) written = node->export_child(dom) || written;
    if (m_itemSink)
        m_itemSink(dom);
    else if (m_streamItems && t_streamedItemSink)
        (*t_streamedItemSink)(dom);
    return written || !attributes.empty();
}

bool xpSequence::export_child(pugi::xml_node parent) {
    // The items of a sequence that reuses its parent join the parent's element.
    if (reusesParent()) return exportContent(parent);
    return xpElement::export_child(parent);
}

void xpSequence::nodes_for_import(xpImportSet& nodes) {
    if (reusesParent()) {
        if (m_item) nodes.announce(m_item->getElementName());
        return;
    }
    nodes.announce(getElementName());
}

bool xpSequence::do_import(xpImportSet& nodes) {
    if (reusesParent()) return importItems(nodes);
    return xpElement::do_import(nodes);
}

bool xpSequence::importContent(xpImportSet& nodes) {
    import_begin();
    bool ok = importItems(nodes);
    nodes.reportLeftovers(this);
    return ok;
}

bool xpSequence::readItem(const xpFrame& frame) {
    auto* item = dynamic_cast<xpElement*>(m_item.get());
    return item && readItem(*item, frame);
}

bool xpSequence::readItem(xpElement& item, const xpFrame& frame) {
    // An item with errors is reported and left out rather than added half read.
    if (!item.importFrom(frame)) return false;
    if (m_keepPlaces) m_places.push_back({frame.line(), frame.column()});
    return addItem();
}

bool xpSequence::addItem() {
    if (!append_item()) return false;
    if (m_itemRead) m_itemRead();
    return true;
}

namespace {
// Reports the problems of items read ahead as their reading would have reported them here.
void replay(const xpStreamedItems& streamed, const xpFrame& frame, const std::string& itemName) {
    xpExchangeContext* context = xpExchangeContext::active();
    if (!context || (streamed.problems.empty() && !streamed.unkept)) return;
    const std::string prefix = frame.path();
    // Items were numbered as they came; a lone item has no number.
    const std::string numbered = "/" + itemName + "[1]";
    for (const auto& problem : streamed.problems) {
        std::string path = problem.error.path;
        if (streamed.items == 1 && path.starts_with(numbered) &&
            (path.size() == numbered.size() || path[numbered.size()] == '/'))
            path.erase(itemName.size() + 1, 3);
        xml_error_message error(nullptr, problem.error.message, prefix + path, problem.error.line,
                                problem.error.column);
        context->report(error.setFatal(problem.fatal));
    }
    for (std::size_t i = 0; i < streamed.unkept; ++i) {
        xml_error_message error(nullptr, std::string(), prefix, 0);
        context->report(error.setFatal(i < streamed.unkeptFatal));
    }
}
}  // namespace

bool xpSequence::importItems(xpImportSet& nodes) {
    clear();
    m_places.clear();
    m_itemCount = 0;
    auto* item = dynamic_cast<xpElement*>(m_item.get());
    if (!item) return false;
    const std::string& name = item->getElementName();
    nodes.announce(name);
    bool ok = true;
    if (xpStreamedItems* streamed = nodes.element().streamed) {
        // The items were read as they arrived; their elements are gone.
        replay(*streamed, nodes.frame(), name);
        if (streamed->sequence && adopt(*streamed->sequence)) {
            m_places = std::move(streamed->sequence->m_places);
            m_itemCount = streamed->items;
        }
        ok = streamed->ok;
    }
    // Which children are items is decided once; their ordinals among same-named siblings (taken
    // or not) follow from it, so that a long sequence costs no per-child name lookups.
    boost::container::small_vector<std::uint8_t, 64> named(nodes.childCount());
    std::size_t count = 0;
    std::size_t sameNamed = 0;
    for (std::size_t i = 0; i < nodes.childCount(); ++i) {
        if (!xpSameName(nodes.child(i).nameView(), name)) continue;
        ++sameNamed;
        named[i] = nodes.taken(i) ? 1 : 2;
        count += !nodes.taken(i);
    }
    if (sameNamed) m_itemCount = sameNamed;
    // Room for every item at once: a container grown item by item holds up to twice its size
    // while it moves, which for a large sequence is most of what the read costs in memory.
    if (count > 1) reserve(count);
    int ordinal = 0;
    for (std::size_t i = 0; i < nodes.childCount(); ++i) {
        if (!named[i]) continue;
        ++ordinal;
        if (named[i] != 2 || nodes.taken(i)) continue;
        nodes.take(i);
        const xpFrame frame =
            xpFrame::reading(&nodes.frame(), nodes.frame().context, nodes.child(i), sameNamed > 1 ? ordinal : 0);
        ok = readItem(*item, frame) && ok;
    }
    return ok;
}

void xpSequence::buildSchema(xsSchema& schema, xsGroup* group, const std::string&) {
    auto* element = new xsElement(getElementName());
    if (!is_required()) element->setMinOccurs(0);
    if (!documentation().empty()) element->annotate(new xsDocumentation(documentation()));
    buildItems(schema, &element->localType()->getDefaultGroup());
    group->push_back(element);
}

void xpSequence::buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) {
    if (reusesParent())
        buildItems(schema, &type->getDefaultGroup());
    else
        buildSchema(schema, &type->getDefaultGroup(), name);
}

void xpSequence::buildItems(xsSchema& schema, xsGroup* group) {
    if (!m_item) return;
    std::size_t before = group->particles().size();
    m_item->buildSchema(schema, group, "");
    if (group->particles().size() > before) {
        group->particles().back()->setMinOccurs(0);
        group->particles().back()->setMaxOccurs(-1);
    }
}
