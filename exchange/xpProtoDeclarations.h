#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/exchange/xpCDataMember.h"
#include "kestrel/exchange/xpContainerSequence.h"
#include "kestrel/exchange/xpDeduceMemberData.h"
#include "kestrel/exchange/xpMemberDeclaration.h"

// Declarations from which element constructors build nested child elements and sequences:
// plain values composed first, then turned into nodes by xpCreateProtoNode.

// The declared element or attribute binds the entry or member that its context hands down.
struct xpProtoMemberElement {};

// End of a child list.
struct xpProtoNodeListEnd {};

// A child list: the last attached child at its head.
template <class Decl, class Next>
struct xpProtoNodeList {
    Decl head;
    Next next;
};

// What every declaration starts from.
struct xpProtoCommon {
    bool required = true;
    std::string name;
    std::string documentation;
};

// The default declaration: required, no name, no documentation.
KESTREL_API extern const xpProtoCommon xpProtoDefault;

// An element bound through A to a value of class type T, or a plain element for T = void.
template <class T, class A, class Children = xpProtoNodeListEnd>
struct xpProtoElement : xpProtoCommon {
    A access{};
    bool reuseParent = false;
    Children children{};

    // Attaches a child, which becomes required.
    template <class Decl>
    xpProtoElement<T, A, xpProtoNodeList<Decl, Children>> operator<<(Decl child) const {
        child.required = true;
        xpProtoElement<T, A, xpProtoNodeList<Decl, Children>> result;
        static_cast<xpProtoCommon&>(result) = *this;
        result.access = access;
        result.reuseParent = reuseParent;
        result.children = {std::move(child), children};
        return result;
    }
};

// An attribute of type U (a number, a string or a quantity class) bound through A; a constant
// attribute holds its value in an xpMemberConstant<U>.
template <class U, class A>
struct xpProtoAttribute : xpProtoCommon {
    A access{};
};

// The attribute group of xpClass<T> bound through A, on the element that declares it.
template <class T, class A>
struct xpProtoAttributes {
    bool required = true;
    A access{};
};

// Character data bound through A (a member pointer to a std::string).
template <class A>
struct xpProtoCData {
    bool required = true;
    A access{};
};

// Base of the declarations that are handled through a pointer.
template <class Derived>
struct xpProtoNode {
    virtual ~xpProtoNode() = default;
};

// A container member written as a sequence element with one item element per entry.
template <class Item, class MemberPointer, class ItemDecl, class Next = xpProtoNodeListEnd>
struct xpProtoSequence;

template <class Item, class Container, class Owner, class ItemDecl, class Next>
struct xpProtoSequence<Item, Container Owner::*, ItemDecl, Next>
    : xpProtoNode<xpProtoSequence<Item, Container Owner::*, ItemDecl, Next>>, xpProtoCommon {
    // Options bit: entries that are invalid references are skipped on reading.
    static constexpr int ignoreInvalidReferences = 2;

    Container Owner::*member = nullptr;
    ItemDecl item{};
    bool reuseParent = false;
    int options = 0;
};

// --- composing ------------------------------------------------------------------------------

// A declaration of kind Decl with the default settings, named and required as given.
template <class Decl>
Decl xpProtoNamed(std::string name, bool required) {
    Decl declaration;
    static_cast<xpProtoCommon&>(declaration) = xpProtoDefault;
    declaration.name = std::move(name);
    declaration.required = required;
    return declaration;
}

// A plain element.
inline xpProtoElement<void, xpProtoMemberElement> xpDeclareElement(std::string name, bool required = true) {
    return xpProtoNamed<xpProtoElement<void, xpProtoMemberElement>>(std::move(name), required);
}

// An element of value type T bound through `access` (a member pointer or xpProtoMemberElement).
template <class T, class A>
xpProtoElement<T, A> xpDeclareElement(std::string name, A access, bool required = true) {
    auto declaration = xpProtoNamed<xpProtoElement<T, A>>(std::move(name), required);
    declaration.access = access;
    return declaration;
}

// An attribute of type U bound through `access`.
template <class U, class A>
xpProtoAttribute<U, A> xpDeclareAttribute(std::string name, A access, bool required = true) {
    auto declaration = xpProtoNamed<xpProtoAttribute<U, A>>(std::move(name), required);
    declaration.access = access;
    return declaration;
}

// A constant attribute: writes `value` and accepts only it.
template <class U>
xpProtoAttribute<U, xpMemberConstant<U>> xpDeclareConstant(std::string name, U value) {
    return xpDeclareAttribute<U>(std::move(name), xpMemberConstant<U>{std::move(value)});
}

// Character data bound to the string member `member`.
template <class Owner>
xpProtoCData<std::string Owner::*> xpDeclareCData(std::string Owner::*member) {
    return {true, member};
}

// A sequence of the container member `member`, one `item` element per entry.
template <class Container, class Owner, class ItemDecl>
auto xpDeclareSequence(std::string name, Container Owner::*member, ItemDecl item, bool required = true) {
    auto declaration = xpProtoNamed<xpProtoSequence<typename Container::value_type, Container Owner::*, ItemDecl>>(
        std::move(name), required);
    declaration.member = member;
    declaration.item = std::move(item);
    return declaration;
}

// --- creating nodes -------------------------------------------------------------------------

// No entry or member is handed down.
struct xpProtoNoContext {
    using value_type = void;
};

namespace detail {

template <class T>
concept xpNodeClass = std::is_base_of_v<xpNode, T>;

// An access that holds its value instead of reaching a member.
template <class A>
concept xpConstantAccess = requires {
    requires A::constant;
};

// A member of a node class is a member of the owner element; any other is a member of the
// entry the context reaches.
template <class M, class C, class Context>
auto xpProtoMemberAccess(M C::*member, const Context& context) {
    if constexpr (xpNodeClass<C>) {
        return xpMemberData<M, C>{member};
    } else {
        using Entry = typename Context::value_type;
        return xpDeduceMemberData<M, C, Entry, Context>{member, context};
    }
}

// The access a declaration's A stands for, below a context access Context.
template <class A, class Context>
auto xpProtoAccess(const A& access, const Context& context) {
    if constexpr (std::is_same_v<A, xpProtoMemberElement>) {
        static_assert(!std::is_same_v<Context, xpProtoNoContext>,
                      "Kestrel: xpProtoMemberElement binds what an enclosing sequence hands down; "
                      "outside a sequence bind a member pointer");
        return context;
    } else if constexpr (std::is_member_object_pointer_v<A>) {
        return xpProtoMemberAccess(access, context);
    } else {
        static_assert(std::is_member_object_pointer_v<A>,
                      "Kestrel: bind a declaration through a member pointer or xpProtoMemberElement");
    }
}

template <class U, class Access>
xpNode* xpProtoAttributeNode(Access access) {
    using V = typename Access::value_type;
    if constexpr (std::is_base_of_v<jsQuantity, U>)
        return new xpAttributeQuantity<U, Access>(std::move(access));
    else if constexpr (std::is_same_v<V, std::string>)
        return new xpAttributeString<Access>(std::move(access));
    else
        return new xpAttributeFundamental<V, Access>(std::move(access));
}

}  // namespace detail

template <class Context>
void xpCreateProtoChildren(const xpProtoNodeListEnd&, xpElement*, xpNode*, const Context&) {}

// Children are created from the first attached to the last.
template <class Decl, class Next, class Context>
void xpCreateProtoChildren(const xpProtoNodeList<Decl, Next>& list, xpElement* element, xpNode* owner,
                           const Context& context) {
    xpCreateProtoChildren(list.next, element, owner, context);
    xpNode* child = xpCreateProtoNode(list.head, owner, context);
    child->setTypeContainment(xpTypeContained);
    element->add(child);
}

// An attribute.
template <class U, class A, class Context = xpProtoNoContext>
xpNode* xpCreateProtoNode(const xpProtoAttribute<U, A>& declaration, xpNode* owner, const Context& context = {}) {
    xpNode* node = nullptr;
    if constexpr (detail::xpConstantAccess<A>)
        node = detail::xpProtoAttributeNode<U>(declaration.access);
    else
        node = detail::xpProtoAttributeNode<U>(detail::xpProtoAccess(declaration.access, context));
    node->setName(declaration.name);
    if (owner) owner->add_reset_node(node);
    node->document(declaration.documentation);
    node->set_required(declaration.required);
    return node;
}

// An attribute group.
template <class T, class A, class Context = xpProtoNoContext>
xpNode* xpCreateProtoNode(const xpProtoAttributes<T, A>& declaration, xpNode* owner, const Context& context = {}) {
    static_assert(xpIsAttributeBinding<T>, "Kestrel: xpProtoAttributes needs a type bound as attributes");
    auto access = detail::xpProtoAccess(declaration.access, context);
    auto* node = new xpNodeType<T, decltype(access)>(std::move(access));
    if (owner) owner->add_reset_node(node);
    node->set_required(declaration.required);
    return node;
}

// Character data.
template <class A, class Context = xpProtoNoContext>
xpNode* xpCreateProtoNode(const xpProtoCData<A>& declaration, xpNode* owner, const Context& context = {}) {
    auto access = detail::xpProtoAccess(declaration.access, context);
    auto* node = new xpCDataMember<decltype(access)>(std::move(access));
    if (owner) owner->add_reset_node(node);
    node->set_required(declaration.required);
    return node;
}

// An element with its children.
template <class T, class A, class Children, class Context = xpProtoNoContext>
xpNode* xpCreateProtoNode(const xpProtoElement<T, A, Children>& declaration, xpNode* owner,
                          const Context& context = {}) {
    xpElement* element = nullptr;
    if constexpr (std::is_void_v<T>) {
        element = new xpElement;
    } else {
        xpNode* node = xpCreateValueNode<T>(detail::xpProtoAccess(declaration.access, context));
        element = dynamic_cast<xpElement*>(node);
        static_assert(std::is_base_of_v<xpElement, xpClass<T>> || xpIsAttributeBinding<T>,
                      "Kestrel: an element declaration needs an element or attribute-group binding");
    }
    element->setName(declaration.name);
    if (owner) owner->add_reset_node(element);
    xpCreateProtoChildren(declaration.children, element, owner, context);
    element->document(declaration.documentation);
    element->set_required(declaration.required);
    element->reuseParent(declaration.reuseParent);
    return element;
}

// A container sequence; its item element is created below it, bound to the entry being read or
// written.
template <class Item, class Container, class Owner, class ItemDecl, class Next, class Context = xpProtoNoContext>
xpNode* xpCreateProtoNode(const xpProtoSequence<Item, Container Owner::*, ItemDecl, Next>& declaration, xpNode* owner,
                          const Context& = {}) {
    using Sequence = xpContainerSequence<Item, Container, xpMemberData<Container, Owner>>;
    auto* sequence = new Sequence({declaration.member});
    const xpMemberData<typename Sequence::current_type, Sequence> entry{&Sequence::current};
    sequence->set_node(xpCreateProtoNode(declaration.item, sequence, entry));
    if (owner) owner->add_reset_node(sequence);
    sequence->setName(declaration.name);
    if (declaration.options & declaration.ignoreInvalidReferences) sequence->set_ignore_invalid_references(true);
    sequence->document(declaration.documentation);
    sequence->set_required(declaration.required);
    sequence->reuseParent(declaration.reuseParent);
    return sequence;
}

// Creates the node of a container member whose entries are values of class type: the sequence
// element named by the declaration, with one item element named `itemName` per entry.
template <class Owner, class Container>
xpNode* xpCreateSequence(const xpMemberDeclaration<Container Owner::*>& declaration, const std::string& itemName,
                         xpNode* owner) {
    auto sequence = xpDeclareSequence(
        declaration.name, declaration.member,
        xpDeclareElement<typename Container::value_type>(itemName, xpProtoMemberElement{}), declaration.required);
    sequence.documentation = declaration.documentation;
    sequence.reuseParent = declaration.reuseParent;
    return xpCreateProtoNode(sequence, owner);
}
