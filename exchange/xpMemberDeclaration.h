#pragma once

#include <map>
#include <string>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/exchange/xpAttributeFundamental.h"
#include "kestrel/exchange/xpAttributeMapping.h"
#include "kestrel/exchange/xpAttributeQuantity.h"
#include "kestrel/exchange/xpAttributeString.h"
#include "kestrel/exchange/xpMemberConstant.h"
#include "kestrel/exchange/xpMemberData.h"
#include "kestrel/exchange/xpNodeType.h"

// What an element constructor says about one bound member before its node is made.
template <class Member>
struct xpMemberDeclaration {
    bool required = true;
    std::string name;
    std::string documentation;
    Member member{};
    bool reuseParent = false;
};

// The same for an attribute; a mapping adds its text table, a constant holds its value.
template <class Member>
struct xpAttributeDeclaration {
    bool required = true;
    std::string name;
    std::string documentation;
    Member member{};
};

// A plain element that stands for a member whose binding is an attribute group; its reset()
// restores the member through the group it holds.
class xpMemberWrapper : public xpElement {
public:
    bool reset() override {
        reset_all();
        return true;
    }
};

// The value node of a class-typed value reached through `access`: the binding node itself for
// an element binding, a wrapper element holding it for an attribute-group binding.
template <class T, class Access>
xpNode* xpCreateValueNode(Access access) {
    auto* typed = new xpNodeType<T, Access>(std::move(access));
    if constexpr (xpIsAttributeBinding<T>) {
        auto* wrapper = new xpMemberWrapper;
        typed->set_required(true);
        wrapper->add(typed);
        wrapper->add_reset_node(typed);
        return wrapper;
    } else {
        return typed;
    }
}

// Creates the member node of a class-typed member. The node is named, registered for reset
// with `owner` (when given), documented and given the declared flags; the caller adds it.
template <class T, class Owner>
xpNode* xpCreateMemberNode(const xpMemberDeclaration<T Owner::*>& declaration, xpNode* owner) {
    xpNode* node = xpCreateValueNode<T>(xpMemberData<T, Owner>{declaration.member});
    node->setName(declaration.name);
    if (owner) owner->add_reset_node(node);
    node->document(declaration.documentation);
    node->set_required(declaration.required);
    node->reuseParent(declaration.reuseParent);
    return node;
}

namespace detail {
template <class Node, class Member>
Node* xpFinishAttribute(Node* node, const xpAttributeDeclaration<Member>& declaration, xpNode* owner) {
    node->document(declaration.documentation);
    if (owner) owner->add_reset_node(node);
    node->setName(declaration.name);
    node->set_required(declaration.required);
    return node;
}
}  // namespace detail

// A double or int member as a number attribute.
template <class T, class Owner>
auto* xpCreateNumberAttribute(const xpAttributeDeclaration<T Owner::*>& declaration, xpNode* owner) {
    using Node = xpAttributeFundamental<T, xpMemberData<T, Owner>>;
    return detail::xpFinishAttribute(new Node({declaration.member}), declaration, owner);
}

// A string member as an attribute.
template <class Owner>
auto* xpCreateStringAttribute(const xpAttributeDeclaration<std::string Owner::*>& declaration, xpNode* owner) {
    using Node = xpAttributeString<xpMemberData<std::string, Owner>>;
    return detail::xpFinishAttribute(new Node({declaration.member}), declaration, owner);
}

// A double member holding a U in internal units, as an attribute with units.
template <class U, class Owner>
auto* xpCreateQuantityAttribute(const xpAttributeDeclaration<double Owner::*>& declaration, xpNode* owner) {
    using Node = xpAttributeQuantity<U, xpMemberData<double, Owner>>;
    return detail::xpFinishAttribute(new Node({declaration.member}), declaration, owner);
}

// An enumeration member written through a text table.
template <class E, class Owner>
auto* xpCreateMappingAttribute(const xpAttributeDeclaration<E Owner::*>& declaration,
                               const std::map<std::string, E>& table, xpNode* owner) {
    using Node = xpAttributeMapping<E, xpMemberData<E, Owner>>;
    return detail::xpFinishAttribute(new Node({declaration.member}, table), declaration, owner);
}

// A constant attribute: writes `value` and accepts only it.
template <class T>
auto* xpCreateConstantAttribute(const xpAttributeDeclaration<T>& declaration, xpNode* owner) {
    if constexpr (std::is_same_v<T, std::string>) {
        using Node = xpAttributeString<xpMemberConstant<std::string>>;
        return detail::xpFinishAttribute(new Node({declaration.member}), declaration, owner);
    } else {
        using Node = xpAttributeFundamental<T, xpMemberConstant<T>>;
        return detail::xpFinishAttribute(new Node({declaration.member}), declaration, owner);
    }
}
