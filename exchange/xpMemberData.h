#pragma once

#include "kestrel/exchange/xpOwner.h"

// Access to a data member of type T in the owner element class Owner.
template <class T, class Owner>
struct xpMemberData {
    using value_type = T;
    using owner_type = Owner;
    static constexpr bool constant = false;

    T Owner::*member;

    // Copies the member into `out`; false without an owner or when the copy throws.
    bool get(xpNode& node, T& out) const {
        Owner* owner = xpFindOwner<Owner>(node);
        return owner && xpConversionGuard(node, owner->*member, [&] { out = owner->*member; });
    }
    // Assigns the member; false without an owner or when the assignment throws.
    bool set(xpNode& node, const T& value) const {
        Owner* owner = xpFindOwner<Owner>(node);
        return owner && xpConversionGuard(node, value, [&] { owner->*member = value; });
    }
};
