#pragma once

#include <algorithm>
#include <boost/container/small_vector.hpp>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/schema/xsSchema.h"
#include "kestrel/components/types/mfTypeInfoObject.h"
#include "kestrel/exchange/xpFutureElements.h"
#include "kestrel/exchange/xpMemberDeclaration.h"
#include "kestrel/exchange/xpNodePointerReference.h"

// The node of a pointer member B*: one alternative per prototype registered for B, keyed by the
// alternative's model type. Writing picks the alternative by the object's dynamic type, reading
// takes the alternative whose element the document holds.
template <class B, class Access>
class xpSpecialization : public xpMemberRouter<B*, Access, xpSpecialization<B, Access>, xpElement> {
    using Router = xpMemberRouter<B*, Access, xpSpecialization<B, Access>, xpElement>;

public:
    using Alternatives = std::map<mfTypeInfo, std::unique_ptr<xpIFutureElement>>;

    explicit xpSpecialization(Access access) : Router(std::move(access)) {}

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(B)) + "Type"; }

    // Takes ownership; an alternative for a model type already present replaces it.
    void addAlternative(xpIFutureElement* alternative) {
        alternative->setParent(this);
        m_alternatives[alternative->modelType()].reset(alternative);
        m_byName.clear();
        m_ordered.clear();
    }
    const Alternatives& alternatives() const { return m_alternatives; }

    // The alternative for an object: the one keyed by its exact type, else the first in key
    // order whose type matches; null when none does.
    xpIFutureElement* alternativeFor(B* object) const {
        if (!object) return nullptr;
        const mfTypeInfo type(new impl::mfTypeInfoObject(object));
        if (auto exact = m_alternatives.find(type); exact != m_alternatives.end()) return exact->second.get();
        for (const auto& [key, alternative] : m_alternatives)
            if (key.matches(type)) return alternative.get();
        return nullptr;
    }

    bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) override {
        B* object = nullptr;
        if (!this->readMember(object) || !object) return false;
        xpIFutureElement* alternative = alternativeFor(object);
        if (!alternative) {
            // Dropping the object would write a document that reads back as complete.
            this->nodeError() << xml_error_message(
                this,
                unregistered(m_alternatives.empty() ? std::string() : mfTextFormatter::format_impl(typeid(*object))));
            return false;
        }
        return alternative->export_nodes(attributes, elements);
    }

    void nodes_for_import(xpImportSet& nodes) override {
        for (const auto& entry : m_alternatives) entry.second->nodes_for_import(nodes);
    }

    bool do_import(xpImportSet& nodes) override {
        if (m_alternatives.empty()) {
            // Without alternatives every element of this member would be refused as unknown.
            this->nodeError() << xml_error_message(this, unregistered({}));
            return false;
        }
        const std::size_t before = xpExchangeContext::errorCount();
        // Only the alternatives named by a child that is still there can read anything (and
        // those that read from the parent's element); they are tried in key order.
        if (m_ordered.empty()) buildNameTable();
        boost::container::small_vector<std::size_t, 4> candidates(m_parentReaders.begin(), m_parentReaders.end());
        for (std::size_t i = 0; i < nodes.childCount(); ++i) {
            if (nodes.taken(i)) continue;
            if (auto found = m_byName.find(std::string_view(nodes.child(i).name())); found != m_byName.end())
                candidates.insert(candidates.end(), found->second.begin(), found->second.end());
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        for (std::size_t k : candidates)
            if (m_ordered[k]->do_import(nodes)) return true;
        // An alternative that found its element but could not read it has said so already.
        if (xpExchangeContext::errorCount() != before) return false;
        return xpNode::do_import(nodes);
    }

    // A choice with one entry per alternative.
    void buildSchema(xsSchema& schema, xsGroup* group, const std::string&) override {
        auto* choice = new xsChoice;
        if (!this->documentation().empty()) choice->annotate(new xsDocumentation(this->documentation()));
        if (!this->is_required()) choice->setMinOccurs(0);
        group->push_back(choice);
        buildAlternatives(schema, choice);
    }
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string&) override {
        buildSchema(schema, &type->getDefaultGroup(), "");
    }
    using xpElement::buildSchema;

    // Adds every alternative's element, in key order, to `choice`.
    void buildAlternatives(xsSchema& schema, xsGroup* choice) {
        for (const auto& entry : m_alternatives) entry.second->buildSchema(schema, choice, this->typeName() + "Base");
    }

    void setRepeating(bool repeating) override {
        xpElement::setRepeating(repeating);
        for (const auto& entry : m_alternatives) entry.second->setRepeating(repeating);
    }

    // Alternatives are tried in turn: none of them alone is missing.
    bool isRequiredChild(const xpNode*) const override { return false; }

    xpElement* getNestedElement() override {
        B* object = nullptr;
        if (auto* owner = xpFindOwner<typename Access::owner_type>(*this)) object = owner->*(this->access.member);
        if (xpIFutureElement* alternative = alternativeFor(object)) return alternative;
        return xpElement::getNestedElement();
    }

private:
    // The alternatives in key order, and for each element name the positions of those read
    // from an element of that name; built on the first read after the alternatives change.
    void buildNameTable() {
        m_byName.clear();
        m_parentReaders.clear();
        for (const auto& entry : m_alternatives) {
            xpIFutureElement* alternative = entry.second.get();
            const std::size_t k = m_ordered.size();
            m_ordered.push_back(alternative);
            if (alternative->reusesParent())
                m_parentReaders.push_back(k);
            else
                m_byName[std::string_view(alternative->getElementName())].push_back(k);
        }
    }

    // Why an object of `kind` (empty: any) has no element to be written or read as.
    static std::string unregistered(const std::string& kind) {
        const std::string base = mfTextFormatter::format_impl(typeid(B));
        return (kind.empty() ? "no element class is registered for " + base
                             : "no element class is registered for " + kind + " (a kind of " + base + ")") +
               ": call kestrel::register_futures() with the document current before building the elements";
    }

    Alternatives m_alternatives;
    std::vector<xpIFutureElement*> m_ordered;
    std::unordered_map<std::string_view, boost::container::small_vector<std::size_t, 2>> m_byName;
    std::vector<std::size_t> m_parentReaders;
};

// Builds the specialisation of a pointer member from the current document's registry for B:
// one alternative per prototype, each with its own clone, registered for reset with `owner`.
// Without a current document the member has no alternatives.
template <class B, class Owner>
xpSpecialization<B, xpMemberData<B*, Owner>>* xpCreateSpecialization(
    const xpMemberDeclaration<B * Owner::*>& declaration, xpNode* owner) {
    using Access = xpMemberData<B*, Owner>;
    auto* specialization = new xpSpecialization<B, Access>(Access{declaration.member});
    if (xpFutureElements<B>* registry = xpGetFutureElements<B>()) {
        for (const auto& entry : registry->prototypes()) {
            auto* alternative =
                new xpNodePointerReference<B*, Access, xpFutureElementWrapper<B>>(Access{declaration.member});
            if (owner) owner->add_reset_node(alternative);
            alternative->setElement(entry.second->clone());
            alternative->setName(alternative->element()->getName());
            alternative->set_required(declaration.required);
            alternative->element()->set_required(declaration.required);
            alternative->reuseParent(declaration.reuseParent);
            specialization->addAlternative(alternative);
        }
    }
    specialization->document(declaration.documentation);
    specialization->set_required(declaration.required);
    return specialization;
}

// The member node of a pointer member: an element named by the declaration holding the
// specialisation. The caller adds it, and may make it optional.
template <class B, class Owner>
xpNode* xpCreateMemberNode(const xpMemberDeclaration<B * Owner::*>& declaration, xpNode* owner) {
    auto* specialization = xpCreateSpecialization(declaration, owner);
    auto* element = new xpElement;
    element->setName(declaration.name);
    if (owner) owner->add_reset_node(element);
    specialization->setTypeContainment(xpTypeContained);
    element->add(specialization);
    return element;
}
