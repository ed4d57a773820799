#pragma once

#include <boost/container/small_vector.hpp>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/schema/xsSchema.h"
#include "kestrel/components/types/mfTypeInfoObject.h"
#include "kestrel/exchange/xpFutureElements.h"
#include "kestrel/exchange/xpMemberDeclaration.h"
#include "kestrel/exchange/xpNodePointerReference.h"

// What the node of a pointer member does whatever its base, compiled once: it holds one
// alternative per registered prototype, keyed by the alternative's model type, reads through the
// alternatives a child names, and offers them all as one choice in the schema.
class KESTREL_API xpPolymorphicNode : public xpElement {
public:
    using Alternatives = std::map<mfTypeInfo, std::unique_ptr<xpIFutureElement>>;

    xpPolymorphicNode();
    ~xpPolymorphicNode() override;

    // Takes ownership; an alternative for a model type already present replaces it.
    void addAlternative(xpIFutureElement* alternative);
    const Alternatives& alternatives() const { return m_alternatives; }

    // The alternative for an object: the one keyed by its exact type, else the first in key
    // order whose type matches; null when none does.
    xpIFutureElement* alternativeFor(mfMetaObject* object) const;

    void nodes_for_import(xpImportSet& nodes) override;
    bool do_import(xpImportSet& nodes) override;
    // The element names its alternatives read from a child element, in key order.
    std::vector<std::string_view> childElementNames();
    // Whether do_import() can read or report something whatever the children are: a missing
    // member is reported, an alternative reads the parent's element, or there is none.
    bool readsWithoutChild();

    // A choice with one entry per alternative.
    void buildSchema(xsSchema& schema, xsGroup* group, const std::string&) override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string&) override;
    using xpElement::buildSchema;

    // Adds every alternative's element, in key order, to `choice`.
    void buildAlternatives(xsSchema& schema, xsGroup* choice);

    void setRepeating(bool repeating) override;

    // Alternatives are tried in turn: none of them alone is missing.
    bool isRequiredChild(const xpNode*) const override { return false; }

protected:
    // The name of the member's base, for the errors.
    virtual std::string baseName() const = 0;
    // Writes `object` through its alternative; without one, says so rather than drop it.
    bool exportObject(mfMetaObject* object, std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements);

private:
    // The alternatives in key order, and for each element name the positions of those read
    // from an element of that name; built on the first read after the alternatives change.
    void buildNameTable();

    // Why an object of `kind` (empty: any) has no element to be written or read as.
    std::string unregistered(const std::string& kind) const;

    Alternatives m_alternatives;
    std::vector<xpIFutureElement*> m_ordered;
    // A member has a few alternatives: their names are compared one by one, in key order.
    struct Named {
        std::string_view name;
        std::size_t alternative;
    };
    std::vector<Named> m_byName;
    std::vector<std::size_t> m_parentReaders;
};

// The node of a pointer member B*: the alternatives of xpPolymorphicNode, and the member they
// write from and read into.
template <class B, class Access>
class xpSpecialization : public xpMemberRouter<B*, Access, xpSpecialization<B, Access>, xpPolymorphicNode> {
    using Router = xpMemberRouter<B*, Access, xpSpecialization<B, Access>, xpPolymorphicNode>;

public:
    explicit xpSpecialization(Access access) : Router(std::move(access)) {}

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(B)) + "Type"; }

    bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) override {
        B* object = nullptr;
        if (!this->readMember(object) || !object) return false;
        return this->exportObject(object, attributes, elements);
    }

    xpElement* getNestedElement() override {
        B* object = nullptr;
        if (auto* owner = xpFindOwner<typename Access::owner_type>(*this)) object = owner->*(this->access.member);
        if (xpIFutureElement* alternative = this->alternativeFor(object)) return alternative;
        return xpElement::getNestedElement();
    }

protected:
    std::string baseName() const override { return mfTextFormatter::format_impl(typeid(B)); }
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
