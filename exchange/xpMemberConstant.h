#pragma once

#include "kestrel/components/exchange/xpNode.h"

// A value held by the node itself: it always writes that value, and a read succeeds only when
// the value read equals it. Nothing is ever stored.
template <class T>
struct xpMemberConstant {
    using value_type = T;
    static constexpr bool constant = true;

    T value;

    bool get(xpNode&, T& out) const {
        out = value;
        return true;
    }
    bool set(xpNode&, const T& other) const { return other == value; }
};
