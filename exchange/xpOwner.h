#pragma once

#include <exception>
#include <string>
#include <typeinfo>

#include "kestrel/components/exchange/xml_error.h"
#include "kestrel/components/exchange/xpNode.h"
#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/types/mfTypeInfo.h"

// The element of class Owner that a member node reads and writes: the node itself or its nearest
// ancestor of that class. Null, with xml_internal_conversion_error recorded, when there is none.
template <class Owner>
Owner* xpFindOwner(xpNode& node) {
    static_assert(std::is_polymorphic_v<Owner>,
                  "Kestrel: a member's owner must be a node class (an element or container node)");
    if (void* cached = node.cachedOwner(typeid(Owner))) return static_cast<Owner*>(cached);
    for (xpNode* n = &node; n; n = n->getParent())
        if (auto* owner = dynamic_cast<Owner*>(n)) {
            node.cacheOwner(typeid(Owner), owner);
            return owner;
        }
    node.nodeError() << xml_internal_conversion_error(&node, mfTypeInfo(typeid(Owner)));
    return nullptr;
}

// Runs a copy or conversion of `source`; whatever it throws becomes xml_invalid_conversion on
// the node ("Unable to convert from VALUE to TYPE") and a false result.
template <class T, class Operation>
bool xpConversionGuard(xpNode& node, const T& source, Operation&& operation) {
    try {
        operation();
        return true;
    } catch (...) {
        std::string value;
        try {
            value = mfTextFormatter::format_impl(source);
        } catch (...) {
            value = "?";
        }
        node.nodeError() << xml_invalid_conversion(&node, value, mfTextFormatter::format_impl(typeid(T)));
        return false;
    }
}
