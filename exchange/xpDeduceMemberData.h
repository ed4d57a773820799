#pragma once

#include <type_traits>

#include "kestrel/exchange/xpMemberData.h"

// Access to one member of the entry that a parent access reaches: the key or the value of the
// map entry a container node is reading or writing. The entry is used in place, not copied.
template <class T, class Class, class Entry, class ParentAccess>
struct xpDeduceMemberData {
    static_assert(std::is_base_of_v<Class, Entry>, "Kestrel: the member must belong to the entry the parent reaches");
    static_assert(std::is_same_v<typename ParentAccess::value_type, Entry>,
                  "Kestrel: the parent access must reach the entry whose member is bound");

    using value_type = T;
    using owner_type = typename ParentAccess::owner_type;
    static constexpr bool constant = false;

    T Class::*member;
    ParentAccess parent;

    bool get(xpNode& node, T& out) const {
        Entry* entry = find(node);
        return entry && xpConversionGuard(node, entry->*member, [&] { out = entry->*member; });
    }
    bool set(xpNode& node, const T& value) const {
        Entry* entry = find(node);
        return entry && xpConversionGuard(node, value, [&] { entry->*member = value; });
    }

private:
    Entry* find(xpNode& node) const {
        owner_type* owner = xpFindOwner<owner_type>(node);
        return owner ? &(owner->*(parent.member)) : nullptr;
    }
};
