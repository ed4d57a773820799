#pragma once

#include <algorithm>
#include <string>
#include <utility>

#include "kestrel/components/exchange/xpNode.h"
#include "kestrel/components/framework/mfTextFormatter.h"

// Common base of member nodes: a Base node (attribute, attribute group, element, character data
// or sequence) that reads and writes one member through its Access policy. Node is the most
// derived class; it may replace readMember/writeMember when its value type differs from the
// member's (a quantity over a double).
template <class T, class Access, class Node, class Base>
class xpMemberRouter : public Base {
public:
    explicit xpMemberRouter(Access accessPolicy) : access(std::move(accessPolicy)) {}

    // The first call takes the member's current value as default without changing it; every
    // later call puts that default back.
    bool reset() override {
        if (capturePending) {
            capturePending = false;
            return derived().readMember(savedDefault);
        }
        return derived().writeMember(savedDefault);
    }

    // The explicit type name, else the node's default, blanks removed.
    std::string typeName() const override {
        std::string name = xpNode::typeName();
        if (name.empty()) name = Node::defaultTypeName();
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        return name;
    }

    bool isConstant() const override { return Access::constant; }

    bool readMember(T& out) { return access.get(*this, out); }
    bool writeMember(const T& value) { return access.set(*this, value); }

    Access access;
    bool capturePending = true;
    T savedDefault{};

protected:
    Node& derived() { return static_cast<Node&>(*this); }
};
